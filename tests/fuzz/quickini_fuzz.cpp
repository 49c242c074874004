// libFuzzer: any bytes loaded into TmhQuickIni, then every read and a run of edits chosen by the
// same bytes. After each edit the section index must name the header line at its position.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "store/mhquickini.h"

using kestrova::rtl::TMemoryStream;
using kestrova::rtl::TStringList;
using kestrova::store::TmhQuickIni;

namespace {

void CheckIndex(const TmhQuickIni& ini) {
  for (int i = 0; i < ini.Sections().Count(); ++i) {
    const int at = ini.Sections().Objects(i);
    if (at < 0 || at >= ini.Lines().Count() || ini.Lines().Strings(at) != ini.Sections().Strings(i)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<std::int64_t>(size));
  stream.SetPosition(0);
  TmhQuickIni ini(stream);
  CheckIndex(ini);
  for (int i = 0; i < ini.Lines().Count(); ++i) {
    const std::string& line = ini.Lines().Strings(i);
    if (line.empty() || line[0] == ';') std::abort();  // loaded lines are trimmed data lines
  }

  TStringList sections, names, values;
  ini.ReadSections(&sections);
  for (int s = 0; s < sections.Count(); ++s) {
    const std::string& section = sections.Strings(s);
    ini.ReadSection(section, &names);
    ini.ReadSectionValues(section, &values);
    for (int n = 0; n < names.Count(); ++n) {
      ini.ReadString(section, names.Strings(n), "d");
      ini.ReadInteger(section, names.Strings(n), 7);
      ini.ReadBool(section, names.Strings(n), true);
    }
  }

  // Edits: each input byte picks an operation on a section and a name taken from the store.
  const std::string pick[] = {"", "a", "[x]", " Main ", "k"};
  for (std::size_t i = 0; i < size && i < 64; ++i) {
    const std::uint8_t b = data[i];
    const std::string section = sections.Count() > 0 && (b & 8) ? sections.Strings(b % sections.Count()) : pick[b % 5];
    const std::string name = names.Count() > 0 && (b & 16) ? names.Strings(b % names.Count()) : pick[(b >> 2) % 5];
    switch (b % 4) {
      case 0:
        ini.WriteString(section, name, pick[(b >> 5) % 5]);
        break;
      case 1:
        ini.DeleteKey(section, name);
        break;
      case 2:
        ini.EraseSection(section);
        break;
      case 3:
        ini.WriteInteger(section, name, b);
        break;
    }
    CheckIndex(ini);
    ini.ReadString(section, name, "d");
  }
  return 0;
}
