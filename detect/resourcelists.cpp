// The two enciphered lists the program carries: the signature rules and the probe's file names.
// Both are deciphered in place in a memory stream and read as INI text.
#include "crypto/imgutils.h"
#include "detect/blockedlaunch.h"
#include "detect/signatures.h"
#include "detect/tables.h"
#include "framework/rtl/streams.h"
#include "store/mhquickini.h"

namespace kestrova::detect {

namespace {

// The resource's bytes, deciphered; an absent resource gives an empty stream.
void LoadDeciphered(const char* name, platform::IResources& resources, rtl::TMemoryStream& stream) {
  std::string data;
  try {
    if (!resources.Find(name, data)) data.clear();
  } catch (...) {
    data.clear();
  }
  stream.WriteBuffer(data.data(), static_cast<std::int64_t>(data.size()));
  stream.SetPosition(0);
  // The stream keeps room past its size, which the last block's decipherment relies on.
  if (stream.Size() > 0) crypto::BFDecryptBinary(stream.Memory(), static_cast<int>(stream.Size()));
}

}  // namespace

void LoadSignatureTable(platform::IResources& resources) {
  if (!SignatureTable) return;
  // An error ends the loading; the rules read so far stay.
  try {
    rtl::TStringList names;
    rtl::TMemoryStream stream;
    LoadDeciphered(kRulesResource, resources, stream);
    store::TmhQuickIni ini(stream);
    ini.ReadSection("Root", &names);
    for (int i = 0; i < names.Count(); ++i) {
      const std::string& name = names.Strings(i);
      if (name.empty()) continue;
      auto rule = std::make_unique<_svir_def>();
      rule->Name = name;
      rule->RootValue = ini.ReadInteger("Root", name, 0);
      if (rule->RootValue <= 0) continue;
      rule->Pattern = ini.ReadString(name, "S", "");
      if (rule->Pattern.empty()) continue;
      rule->Compare = ini.ReadInteger(name, "Compare", 1);
      rule->Paladin = ini.ReadBool(name, "Paladin", true);
      rule->FileVirus = ini.ReadBool(name, "FileVirus", false);
      rule->Objtype = ini.ReadInteger(name, "Objtype", 0);
      SignatureTable->push_back(std::move(rule));
    }
  } catch (...) {
  }
}

void LoadProcessNames(rtl::TStringList* names, platform::IResources& resources) {
  if (names == nullptr) return;
  try {
    rtl::TStringList keys;
    rtl::TMemoryStream stream;
    LoadDeciphered(kProbeNamesResource, resources, stream);
    store::TmhQuickIni ini(stream);
    ini.ReadSection("Root", &keys);
    for (int i = 0; i < keys.Count(); ++i) {
      if (keys.Strings(i).empty()) continue;
      std::string value = ini.ReadString("Root", keys.Strings(i), "");
      if (!value.empty()) names->Add(std::move(value));
    }
  } catch (...) {
  }
}

}  // namespace kestrova::detect
