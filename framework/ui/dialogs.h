// The toolkit's own message box and file dialog, built from its controls and shown modally, and
// the desktop dialogs they give a desktop that has none of its own (X11).
#pragma once
#include <string>
#include <vector>

#include "framework/ui/forms.h"
#include "framework/ui/stdctrls.h"
#include "platform/desktopdialogs.h"

namespace kestrova::ui {

// One entry of a filter in the Windows form "Logs|*.loc;*.log|All files|*.*".
struct TFileFilter {
  std::string Name;
  std::vector<std::string> Patterns;
};
// The entries in order; an empty filter is one entry that shows every file.
std::vector<TFileFilter> ParseFileFilter(const std::string& filter);
// Letter case ignored; "*" any run of characters, "?" one; "*.*" every name, as on Windows.
bool MatchesPattern(const std::string& name, const std::string& pattern);
// ".loc" for a filter whose first pattern is "*.loc"; empty when it names no plain extension.
std::string DefaultExtension(const TFileFilter& filter);

// The icon of a message box: a circle with "i", a cross or "?", drawn on the canvas.
class TMessageIcon : public TGraphicControl {
 public:
  TMessageIcon(TComponent* owner, platform::MessageBoxKind kind);
  const char* ClassName() const override { return "TMessageIcon"; }

 protected:
  void Paint() override;

 private:
  platform::MessageBoxKind FKind;
};

// The text (wrapped, lines broken at CR, LF or CR LF) beside its icon, OK or Yes and No below;
// sized to the text within limits and centred on the screen.
class TMessageForm : public TForm {
 public:
  TMessageForm(TComponent* owner, const std::string& text, const std::string& caption, platform::MessageBoxKind kind);
  const char* ClassName() const override { return "TMessageForm"; }
  // True for OK or Yes; the close box and Escape answer OK, or No for a question.
  bool Execute();

  TLabel& TextLabel() { return *FText; }
  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TButton& Buttons(int index) { return *FButtons.at(static_cast<std::size_t>(index)); }

  static constexpr int kMaxTextWidth = 400, kMaxTextHeight = 480;

 private:
  platform::MessageBoxKind FKind;
  TLabel* FText = nullptr;
  std::vector<TButton*> FButtons;
};

// Open and save: the folder, its sub-folders ("[..]" to go up) and the files the chosen filter
// lets through, the file name, the filters. Enter or a double-click on a folder opens it; a name
// that is a folder opens it too. Save adds the filter's extension to a name without one and asks
// before replacing a file; Open takes only a file that exists.
class TFileForm : public TForm {
 public:
  TFileForm(TComponent* owner, bool save, const std::string& filter, const std::string& initialName);
  const char* ClassName() const override { return "TFileForm"; }
  // The chosen file's path, or empty when cancelled.
  std::string Execute();

  const std::string& Folder() const { return FFolder; }
  void SetFolder(const std::string& folder);
  // Lists the folder again.
  void Refresh();
  // OK: opens a folder, or takes the file name when it is acceptable.
  void Accept();
  const std::string& FileName() const { return FFileName; }

  TLabel& FolderLabel() { return *FFolderLabel; }
  TListBox& FileList() { return *FFiles; }
  TEdit& NameEdit() { return *FName; }
  TListBox& FilterList() { return *FFilterList; }
  TButton& OkButton() { return *FOk; }
  TButton& CancelButton() { return *FCancel; }

 private:
  struct Entry {
    std::string Name;
    bool IsFolder = false;
  };
  void OpenEntry(int index);
  const TFileFilter& CurrentFilter() const;

  bool FSave;
  std::vector<TFileFilter> FFilters;
  std::string FFolder;
  std::string FFileName;
  std::vector<Entry> FEntries;
  TLabel* FFolderLabel = nullptr;
  TListBox* FFiles = nullptr;
  TEdit* FName = nullptr;
  TListBox* FFilterList = nullptr;
  TButton* FOk = nullptr;
  TButton* FCancel = nullptr;
};

// The desktop dialogs as these forms, shown modally on the application's host.
class TToolkitDialogs final : public platform::DesktopDialogs {
 public:
  bool MessageBox(const std::string& text, const std::string& caption, platform::MessageBoxKind kind) override;
  std::string FileDialog(bool save, const std::string& filter, const std::string& initialName) override;
};

// Offers them to the window host; the Win32 host keeps the system's own dialogs.
void RegisterToolkitDialogs();

}  // namespace kestrova::ui
