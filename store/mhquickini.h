// TmhQuickIni: INI text held in memory as its lines plus an index of the section headers, read
// from a stream (the deciphered rule resources) or bound to a file and edited.
// Section names match case-insensitively (the user locale's way), key names byte for byte.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "framework/rtl/classes.h"
#include "framework/rtl/streams.h"

namespace kestrova::store {

inline constexpr char kStringsUnassigned[] = "The parameter Strings is unassigned!";

class TmhQuickIni {
 public:
  // Loads the file when it exists; a missing file gives an empty store.
  explicit TmhQuickIni(const std::string& fileName);
  // Loads from the stream's position to its end; the stream stays the caller's.
  explicit TmhQuickIni(rtl::TStream& stream);
  ~TmhQuickIni();
  TmhQuickIni(const TmhQuickIni&) = delete;
  TmhQuickIni& operator=(const TmhQuickIni&) = delete;

  void LoadFromFile();
  void LoadFromStream(rtl::TStream& stream);
  // Writes the lines, each ended by CR LF, only while FAutoSave is set.
  void SaveToFile();

  static std::string GetName(const std::string& line);
  static std::string GetValue(const std::string& line, const std::string& name);
  static bool IsSection(const std::string& line);
  int GetSectionIndex(const std::string& section) const;

  // A null target raises EAssertionFailed with kStringsUnassigned.
  void ReadSection(const std::string& section, rtl::TStringList* strings) const;
  void ReadSections(rtl::TStringList* strings) const;
  void ReadSectionValues(const std::string& section, rtl::TStringList* strings) const;
  std::string ReadString(const std::string& section, const std::string& name, const std::string& defaultValue) const;
  std::int32_t ReadInteger(const std::string& section, const std::string& name, std::int32_t defaultValue) const;
  bool ReadBool(const std::string& section, const std::string& name, bool defaultValue) const;

  void WriteString(const std::string& section, const std::string& name, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& name, std::int32_t value);
  void WriteBool(const std::string& section, const std::string& name, bool value);
  void DeleteKey(const std::string& section, const std::string& name);
  void EraseSection(const std::string& section);

  void SetFileName(const std::string& fileName);
  const std::string& FileName() const { return FFileName; }
  void SetIniFile(const rtl::TStringList& source);
  void RebuildSections();
  void Clear();

  const rtl::TStringList& Lines() const { return *FLines; }
  const rtl::TStringList& Sections() const { return *FSections; }

  // Set by the owner: saving writes the file, and a new file name reloads.
  bool FAutoSave = false;

 private:
  // The lines of a section: [First, End); First is -1 when the section is absent.
  struct TSectionSpan {
    int First = -1;
    int End = -1;
    bool Present() const { return First >= 0; }
  };
  TSectionSpan FindSection(const std::string& section) const;
  // The first line of the span whose name is name, or -1.
  int FindKey(const TSectionSpan& span, const std::string& name) const;
  // Every header at or after position from moves by delta.
  void ShiftSections(int from, int delta);
  void Parse(const char* text, std::size_t length);

  std::string FFileName;
  std::unique_ptr<rtl::TStringList> FLines;
  std::unique_ptr<rtl::TStringList> FSections;
};

}  // namespace kestrova::store
