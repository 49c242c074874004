#include "store/mhquickini.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "framework/rtl/errors.h"
#include "framework/rtl/strutils.h"

namespace kestrova::store {

namespace {

constexpr char kUnit[] = "mhQuickIni";

void CheckTarget(const rtl::TStringList* strings, int line) {
  if (strings == nullptr) rtl::AssertFailed(kStringsUnassigned, kUnit, line);
}

bool LooksLikeHeader(std::string_view s) { return !s.empty() && s.front() == '[' && s.back() == ']'; }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The runtime's conversion of a text to a 32-bit signed integer: decimal with an optional sign
// and within range, or "$"/"x"/"X" and one to eight significant hexadecimal digits taken as a
// bit pattern. Anything else fails.
bool TryStrToInt(std::string_view s, std::int32_t& value) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i == s.size()) return false;
  if (s[i] == '$' || s[i] == 'x' || s[i] == 'X') {
    ++i;
    if (i == s.size()) return false;
    std::uint32_t v = 0;
    int significant = 0;
    for (; i < s.size(); ++i) {
      const int d = HexDigit(s[i]);
      if (d < 0) return false;
      if (significant > 0 || d != 0) ++significant;
      if (significant > 8) return false;
      v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    value = static_cast<std::int32_t>(v);
    return true;
  }
  bool negative = false;
  if (s[i] == '+' || s[i] == '-') {
    negative = s[i] == '-';
    ++i;
  }
  if (i == s.size()) return false;
  std::int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

}  // namespace

TmhQuickIni::TmhQuickIni(const std::string& fileName)
    : FFileName(fileName), FLines(std::make_unique<rtl::TStringList>()), FSections(std::make_unique<rtl::TStringList>()) {
  if (rtl::FileExists(FFileName)) LoadFromFile();
}

TmhQuickIni::TmhQuickIni(rtl::TStream& stream)
    : FLines(std::make_unique<rtl::TStringList>()), FSections(std::make_unique<rtl::TStringList>()) {
  LoadFromStream(stream);
}

TmhQuickIni::~TmhQuickIni() {
  FSections.reset();
  FLines.reset();
}

void TmhQuickIni::LoadFromFile() {
  rtl::TFileStream file(FFileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
  LoadFromStream(file);
}

void TmhQuickIni::LoadFromStream(rtl::TStream& stream) {
  const std::int64_t position = stream.Position();
  const std::int64_t size = stream.Size();
  std::int64_t length = size > position ? size - position : 0;
  std::string text;
  if (auto* memory = dynamic_cast<rtl::TMemoryStream*>(&stream)) {
    // Straight from the stream's own storage: no second copy of a large text.
    const char* data = reinterpret_cast<const char*>(memory->Memory()) + position;
    stream.Seek(length, rtl::soCurrent);
    rtl::TUpdateGuard lines(*FLines), sections(*FSections);
    FLines->Clear();
    FSections->Clear();
    if (length > 0) Parse(data, static_cast<std::size_t>(length));
    return;
  }
  text.resize(static_cast<std::size_t>(length));
  // A read that fails leaves the old content: the lists are cleared only after it.
  if (length > 0) stream.ReadBuffer(text.data(), length);
  rtl::TUpdateGuard lines(*FLines), sections(*FSections);
  FLines->Clear();
  FSections->Clear();
  if (length > 0) Parse(text.data(), text.size());
}

void TmhQuickIni::Parse(const char* text, std::size_t length) {
  // A NUL ends the whole text.
  if (const void* nul = std::memchr(text, 0, length)) length = static_cast<std::size_t>(static_cast<const char*>(nul) - text);
  FLines->SetCapacity(static_cast<int>(std::count(text, text + length, '\n') + 1));
  std::size_t pos = 0;
  while (pos < length) {
    std::size_t end = pos;
    while (end < length && text[end] != '\r' && text[end] != '\n') ++end;
    const std::string_view line = rtl::TrimView(std::string_view(text + pos, end - pos));
    pos = end;
    if (pos < length && text[pos] == '\r') ++pos;
    if (pos < length && text[pos] == '\n') ++pos;
    if (line.empty() || line.front() == ';') continue;
    const int index = FLines->Add(std::string(line));
    if (LooksLikeHeader(line)) FSections->AddObject(std::string(line), index);
  }
}

void TmhQuickIni::SaveToFile() {
  if (!FAutoSave) return;
  std::string text;
  for (int i = 0; i < FLines->Count(); ++i) {
    text += FLines->Strings(i);
    text += "\r\n";
  }
  rtl::TFileStream file(FFileName, rtl::fmCreate);
  file.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

std::string TmhQuickIni::GetName(const std::string& line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos) return {};
  return rtl::Trim(std::string_view(line).substr(0, eq));
}

std::string TmhQuickIni::GetValue(const std::string& line, const std::string& name) {
  if (line.empty() || name.empty()) return {};
  const std::size_t eq = line.find('=');
  if (eq == std::string::npos) return {};
  if (rtl::TrimView(std::string_view(line).substr(0, eq)) != name) return {};
  return rtl::Trim(std::string_view(line).substr(eq + 1));
}

bool TmhQuickIni::IsSection(const std::string& line) { return LooksLikeHeader(rtl::TrimView(line)); }

int TmhQuickIni::GetSectionIndex(const std::string& section) const {
  const std::string header = "[" + section + "]";
  for (int i = 0; i < FSections->Count(); ++i) {
    if (rtl::AnsiSameText(FSections->Strings(i), header)) return FSections->Objects(i);
  }
  return -1;
}

TmhQuickIni::TSectionSpan TmhQuickIni::FindSection(const std::string& section) const {
  TSectionSpan span;
  if (FLines->Count() == 0) return span;
  const int header = GetSectionIndex(section);
  if (header < 0 || header >= FLines->Count()) return span;
  span.First = header + 1;
  span.End = span.First;
  while (span.End < FLines->Count() && !IsSection(FLines->Strings(span.End))) ++span.End;
  return span;
}

int TmhQuickIni::FindKey(const TSectionSpan& span, const std::string& name) const {
  for (int i = span.First; i < span.End; ++i) {
    if (GetName(FLines->Strings(i)) == name) return i;
  }
  return -1;
}

void TmhQuickIni::ShiftSections(int from, int delta) {
  for (int i = 0; i < FSections->Count(); ++i) {
    if (FSections->Objects(i) >= from) FSections->SetObjects(i, FSections->Objects(i) + delta);
  }
}

void TmhQuickIni::ReadSection(const std::string& section, rtl::TStringList* strings) const {
  CheckTarget(strings, __LINE__);
  rtl::TUpdateGuard update(*strings);
  strings->Clear();
  const TSectionSpan span = FindSection(section);
  for (int i = span.First; span.Present() && i < span.End; ++i) {
    std::string name = GetName(FLines->Strings(i));
    if (!name.empty()) strings->Add(std::move(name));
  }
}

void TmhQuickIni::ReadSections(rtl::TStringList* strings) const {
  CheckTarget(strings, __LINE__);
  rtl::TUpdateGuard update(*strings);
  strings->Assign(*FSections);
  for (int i = 0; i < strings->Count(); ++i) {
    std::string_view s = rtl::TrimView(strings->Strings(i));
    s = s.size() >= 2 ? s.substr(1, s.size() - 2) : std::string_view();
    strings->SetStrings(i, rtl::Trim(s));
    strings->SetObjects(i, 0);
  }
}

void TmhQuickIni::ReadSectionValues(const std::string& section, rtl::TStringList* strings) const {
  CheckTarget(strings, __LINE__);
  rtl::TUpdateGuard update(*strings);
  strings->Clear();
  const TSectionSpan span = FindSection(section);
  for (int i = span.First; span.Present() && i < span.End; ++i) {
    if (!FLines->Strings(i).empty()) strings->Add(FLines->Strings(i));
  }
}

std::string TmhQuickIni::ReadString(const std::string& section, const std::string& name,
                                    const std::string& defaultValue) const {
  if (name.empty()) return defaultValue;
  const TSectionSpan span = FindSection(section);
  if (!span.Present()) return defaultValue;
  const int key = FindKey(span, name);
  if (key < 0) return defaultValue;
  std::string value = GetValue(FLines->Strings(key), name);
  return value.empty() ? defaultValue : value;
}

std::int32_t TmhQuickIni::ReadInteger(const std::string& section, const std::string& name,
                                      std::int32_t defaultValue) const {
  std::string text = ReadString(section, name, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
  std::int32_t value = 0;
  return TryStrToInt(text, value) ? value : defaultValue;
}

bool TmhQuickIni::ReadBool(const std::string& section, const std::string& name, bool defaultValue) const {
  return ReadInteger(section, name, defaultValue ? 1 : 0) != 0;
}

void TmhQuickIni::WriteString(const std::string& section, const std::string& name, const std::string& value) {
  const std::string keyLine = name + "=" + value;
  const TSectionSpan span = FindSection(section);
  if (!span.Present()) {
    const std::string header = "[" + section + "]";
    const int at = FLines->Add(header);
    FSections->AddObject(header, at);
    if (!name.empty()) FLines->Add(keyLine);
  } else if (!name.empty()) {
    const int key = FindKey(span, name);
    if (key >= 0) {
      FLines->SetStrings(key, keyLine);
    } else if (span.End < FLines->Count()) {
      // The key ends its section: it goes just before the next header, which moves down.
      FLines->Insert(span.End, keyLine);
      ShiftSections(span.End, 1);
    } else {
      FLines->Add(keyLine);
    }
  }
  SaveToFile();
}

void TmhQuickIni::WriteInteger(const std::string& section, const std::string& name, std::int32_t value) {
  WriteString(section, name, std::to_string(value));
}

void TmhQuickIni::WriteBool(const std::string& section, const std::string& name, bool value) {
  WriteString(section, name, value ? "1" : "0");
}

void TmhQuickIni::DeleteKey(const std::string& section, const std::string& name) {
  const TSectionSpan span = FindSection(section);
  if (!span.Present()) return;
  const int key = FindKey(span, name);
  if (key < 0) return;
  FLines->Delete(key);
  ShiftSections(key + 1, -1);
  SaveToFile();
}

void TmhQuickIni::EraseSection(const std::string& section) {
  const int header = FLines->Count() == 0 ? -1 : GetSectionIndex(section);
  if (header < 0 || header >= FLines->Count()) return;
  FLines->Delete(header);
  int removed = 1;
  while (header < FLines->Count() && !IsSection(FLines->Strings(header))) {
    FLines->Delete(header);
    ++removed;
  }
  // An empty line stands where the section was, unless it was at the very top.
  const int inserted = header > 0 ? 1 : 0;
  if (inserted) FLines->Insert(header, std::string());
  for (int i = FSections->Count() - 1; i >= 0; --i) {
    if (FSections->Objects(i) == header) FSections->Delete(i);
  }
  ShiftSections(header + 1, inserted - removed);
  SaveToFile();
}

void TmhQuickIni::SetFileName(const std::string& fileName) {
  if (fileName == FFileName) return;
  FFileName = fileName;
  if (FAutoSave && rtl::FileExists(FFileName)) LoadFromFile();
}

void TmhQuickIni::SetIniFile(const rtl::TStringList& source) {
  FLines->Assign(source);
  for (int i = 0; i < FLines->Count(); ++i) FLines->SetObjects(i, 0);
  RebuildSections();
}

void TmhQuickIni::RebuildSections() {
  rtl::TUpdateGuard update(*FSections);
  FSections->Clear();
  const int count = FLines->Count();
  for (int i = 0; i < count; ++i) {
    const std::string& line = FLines->Strings(i);
    if (LooksLikeHeader(line)) FSections->AddObject(rtl::Trim(line), i);
  }
}

void TmhQuickIni::Clear() {
  FLines->Clear();
  FSections->Clear();
}

}  // namespace kestrova::store
