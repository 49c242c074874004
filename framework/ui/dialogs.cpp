#include "framework/ui/dialogs.h"

#include <algorithm>

#include "framework/rtl/strutils.h"
#include "platform/filelisting.h"

namespace kestrova::ui {

using gfx::TRect;
using platform::MessageBoxKind;

// --- Filters ----------------------------------------------------------------------------------

std::vector<TFileFilter> ParseFileFilter(const std::string& filter) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (at <= filter.size()) {
    const std::size_t bar = std::min(filter.find('|', at), filter.size());
    parts.push_back(filter.substr(at, bar - at));
    at = bar + 1;
  }
  std::vector<TFileFilter> filters;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    TFileFilter f;
    f.Name = parts[i];
    std::size_t p = 0;
    const std::string& list = parts[i + 1];
    while (p <= list.size()) {
      const std::size_t semi = std::min(list.find(';', p), list.size());
      std::string pattern = rtl::Trim(std::string_view(list).substr(p, semi - p));
      if (!pattern.empty()) f.Patterns.push_back(std::move(pattern));
      p = semi + 1;
    }
    if (f.Patterns.empty()) f.Patterns.push_back("*.*");
    filters.push_back(std::move(f));
  }
  if (filters.empty()) filters.push_back({"All files (*.*)", {"*.*"}});
  return filters;
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  // The usual wildcard walk: on a mismatch, the last "*" takes one more character.
  std::size_t n = 0, p = 0, star = std::string::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && upper(pattern[p]) == upper(name[n])))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string DefaultExtension(const TFileFilter& filter) {
  if (filter.Patterns.empty()) return {};
  const std::string& first = filter.Patterns.front();
  if (first.size() < 3 || first.compare(0, 2, "*.") != 0) return {};
  const std::string ext = first.substr(2);
  if (ext.find_first_of("*?.") != std::string::npos) return {};
  return "." + ext;
}

// --- Message box ------------------------------------------------------------------------------

TMessageIcon::TMessageIcon(TComponent* owner, MessageBoxKind kind) : TGraphicControl(owner), FKind(kind) {
  SetBounds(0, 0, 32, 32);
}

void TMessageIcon::Paint() {
  gfx::TCanvas& c = Canvas();
  const bool error = FKind == MessageBoxKind::Error;
  c.Pen.SetColor(error ? gfx::clMaroon : gfx::clNavy);
  c.Brush.SetStyle(gfx::TBrushStyle::bsSolid);
  c.Brush.SetColor(error ? gfx::clRed : gfx::clWhite);
  c.RoundRect(0, 0, 32, 32, 32, 32);
  switch (FKind) {
    case MessageBoxKind::Error:
      // A white cross, three pixels thick.
      c.Brush.SetColor(gfx::clWhite);
      for (int i = 0; i < 13; ++i) {
        c.FillRect({9 + i, 9 + i, 12 + i, 10 + i});
        c.FillRect({20 - i, 9 + i, 23 - i, 10 + i});
      }
      break;
    case MessageBoxKind::Information:
      // The dot and the stem of an "i".
      c.Brush.SetColor(gfx::clBlue);
      c.FillRect({14, 6, 18, 10});
      c.FillRect({14, 12, 18, 26});
      c.FillRect({12, 24, 20, 26});
      break;
    case MessageBoxKind::Question: {
      // A "?" of blocks: the hook, the stem and the dot.
      c.Brush.SetColor(gfx::clBlue);
      c.FillRect({11, 7, 21, 10});
      c.FillRect({18, 10, 21, 15});
      c.FillRect({14, 15, 20, 18});
      c.FillRect({14, 18, 17, 21});
      c.FillRect({14, 23, 17, 26});
      break;
    }
  }
}

namespace {
constexpr int kMargin = 12, kIconSize = 32, kButtonWidth = 75, kButtonHeight = 23, kButtonGap = 6;

TButton* AddButton(TForm& form, const std::string& caption, TModalResult result, bool isDefault, bool isCancel) {
  auto* b = new TButton(&form);
  b->SetCaption(caption);
  b->SetModalResult(result);
  b->SetDefault(isDefault);
  b->SetCancel(isCancel);
  b->SetBounds(0, 0, kButtonWidth, kButtonHeight);
  b->SetParent(&form);
  return b;
}
}  // namespace

TMessageForm::TMessageForm(TComponent* owner, const std::string& text, const std::string& caption, MessageBoxKind kind)
    : TForm(owner), FKind(kind) {
  SetCaption(caption);
  BorderStyle = TFormBorderStyle::bsDialog;
  BorderIcons = biSystemMenu;
  Position = TPosition::poScreenCenter;

  auto* icon = new TMessageIcon(this, kind);
  icon->SetBounds(kMargin, kMargin, kIconSize, kIconSize);
  icon->SetParent(this);

  // The text's size, wrapped at the widest a line may be.
  gfx::TBitmap scratch(1, 1);
  gfx::TCanvas& measure = scratch.Canvas();
  measure.Font.Assign(Font());
  TRect box{0, 0, kMaxTextWidth, 0};
  measure.DrawText(text.empty() ? " " : text, box, gfx::DT_CALCRECT | gfx::DT_WORDBREAK | gfx::DT_NOPREFIX);
  const int textWidth = std::min(box.Width(), kMaxTextWidth);
  const int textHeight = std::min(box.Height(), kMaxTextHeight);

  FText = new TLabel(this);
  FText->SetAutoSize(false);
  FText->SetWordWrap(true);
  FText->SetShowAccelChar(false);
  FText->SetTransparent(true);
  FText->SetCaption(text);
  const int textLeft = kMargin + kIconSize + kMargin;
  FText->SetBounds(textLeft, kMargin + std::max(0, (kIconSize - textHeight) / 2), textWidth, textHeight);
  FText->SetParent(this);

  if (kind == MessageBoxKind::Question) {
    FButtons.push_back(AddButton(*this, "&Yes", mrYes, true, false));
    FButtons.push_back(AddButton(*this, "&No", mrNo, false, true));
  } else {
    FButtons.push_back(AddButton(*this, "OK", mrOk, true, true));
  }
  const int count = static_cast<int>(FButtons.size());
  const int row = count * kButtonWidth + (count - 1) * kButtonGap;
  const int width = std::max({textLeft + textWidth + kMargin, row + 2 * kMargin, 180});
  const int buttonsTop = kMargin + std::max(kIconSize, textHeight) + kMargin + 2;
  SetBounds(0, 0, width, buttonsTop + kButtonHeight + kMargin);
  int x = (width - row) / 2;
  for (TButton* b : FButtons) {
    b->SetBounds(x, buttonsTop, kButtonWidth, kButtonHeight);
    x += kButtonWidth + kButtonGap;
  }
  SetActiveControl(FButtons.front());
}

bool TMessageForm::Execute() {
  const TModalResult r = ShowModal();
  return FKind == MessageBoxKind::Question ? r == mrYes : true;
}

// --- File dialog ------------------------------------------------------------------------------

namespace {
TLabel* AddLabel(TForm& form, const std::string& caption, int x, int y) {
  auto* l = new TLabel(&form);
  l->SetCaption(caption);
  l->SetLeft(x);
  l->SetTop(y);
  l->SetParent(&form);
  return l;
}

// Where the file name starts: after the last separator.
std::size_t NameStart(const std::string& path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i)
    if (platform::IsPathSeparator(path[i])) start = i + 1;
  return start;
}

bool HasExtension(const std::string& path) { return path.find('.', NameStart(path)) != std::string::npos; }
}  // namespace

TFileForm::TFileForm(TComponent* owner, bool save, const std::string& filter, const std::string& initialName)
    : TForm(owner), FSave(save), FFilters(ParseFileFilter(filter)) {
  SetCaption(save ? "Save As" : "Open");
  BorderStyle = TFormBorderStyle::bsDialog;
  BorderIcons = biSystemMenu;
  Position = TPosition::poScreenCenter;

  AddLabel(*this, "Folder:", 8, 10);
  FFolderLabel = AddLabel(*this, "", 56, 10);
  FFolderLabel->SetAutoSize(false);
  FFolderLabel->SetShowAccelChar(false);
  FFolderLabel->SetBounds(56, 10, 336, 15);

  FFiles = new TListBox(this);
  FFiles->SetBounds(8, 30, 384, 160);
  FFiles->SetParent(this);
  FFiles->OnClick = [this](TComponent*) {
    const int i = FFiles->ItemIndex();
    if (i >= 0 && !FEntries[static_cast<std::size_t>(i)].IsFolder) FName->SetText(FEntries[static_cast<std::size_t>(i)].Name);
  };
  FFiles->OnDblClick = [this](TComponent*) {
    if (FFiles->ItemIndex() >= 0) OpenEntry(FFiles->ItemIndex());
  };

  AddLabel(*this, "File name:", 8, 202);
  FName = new TEdit(this);
  FName->SetBounds(84, 198, 224, 21);
  FName->SetParent(this);

  AddLabel(*this, "Files of type:", 8, 230);
  FFilterList = new TListBox(this);
  const int shown = std::min(static_cast<int>(FFilters.size()), 3);
  FFilterList->SetBounds(84, 226, 224, shown * FFilterList->ItemHeight() + 4);
  for (const TFileFilter& f : FFilters) FFilterList->Items().Add(f.Name);
  FFilterList->ItemsChanged();
  FFilterList->SetItemIndex(0);
  FFilterList->SetParent(this);
  FFilterList->OnClick = [this](TComponent*) { Refresh(); };

  FOk = AddButton(*this, save ? "&Save" : "&Open", mrNone, true, false);
  FOk->SetBounds(317, 197, kButtonWidth, kButtonHeight);
  FOk->OnClick = [this](TComponent*) { Accept(); };
  FCancel = AddButton(*this, "Cancel", mrCancel, false, true);
  FCancel->SetBounds(317, 226, kButtonWidth, kButtonHeight);
  SetBounds(0, 0, 400, std::max(FFilterList->Top() + FFilterList->Height(), FCancel->Top() + kButtonHeight) + 10);

  // The initial name may be a folder, a file in a folder, or a bare file name.
  std::string folder = platform::CurrentFolder(), name;
  if (!initialName.empty()) {
    const std::string full = platform::JoinPath(folder, initialName);
    if (platform::FolderExists(full)) {
      folder = full;
    } else {
      const std::size_t start = NameStart(full);
      name = full.substr(start);
      if (start > 0 && platform::FolderExists(full.substr(0, start))) folder = full.substr(0, start);
    }
  }
  SetFolder(folder);
  FName->SetText(name);
  FName->SelectAll();
  SetActiveControl(FName);
}

const TFileFilter& TFileForm::CurrentFilter() const {
  const int i = FFilterList->ItemIndex();
  return FFilters.at(static_cast<std::size_t>(i < 0 ? 0 : i));
}

void TFileForm::SetFolder(const std::string& folder) {
  FFolder = platform::WithSeparator(folder);
  FFolderLabel->SetCaption(FFolder);
  Refresh();
}

void TFileForm::Refresh() {
  std::vector<platform::FolderEntry> found;
  platform::ListFolder(FFolder, found);
  auto blindLess = [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
      return lower(x) < lower(y);
    });
  };
  std::vector<Entry> folders, files;
  for (const platform::FolderEntry& e : found) {
    if (e.Hidden) continue;
    if (e.IsFolder) folders.push_back({e.Name, true});
    else if (std::any_of(CurrentFilter().Patterns.begin(), CurrentFilter().Patterns.end(),
                         [&](const std::string& p) { return MatchesPattern(e.Name, p); }))
      files.push_back({e.Name, false});
  }
  auto byName = [&](const Entry& a, const Entry& b) { return blindLess(a.Name, b.Name); };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  FEntries.clear();
  if (!platform::ParentFolder(FFolder).empty()) FEntries.push_back({"..", true});
  FEntries.insert(FEntries.end(), folders.begin(), folders.end());
  FEntries.insert(FEntries.end(), files.begin(), files.end());
  rtl::TStringList& items = FFiles->Items();
  items.Clear();
  for (const Entry& e : FEntries) items.Add(e.IsFolder ? "[" + e.Name + "]" : e.Name);
  FFiles->SetItemIndex(-1);
  FFiles->SetTopIndex(0);
  FFiles->ItemsChanged();
}

void TFileForm::OpenEntry(int index) {
  const Entry entry = FEntries.at(static_cast<std::size_t>(index));
  if (!entry.IsFolder) {
    FName->SetText(entry.Name);
    Accept();
    return;
  }
  SetFolder(entry.Name == ".." ? platform::ParentFolder(FFolder) : platform::JoinPath(FFolder, entry.Name));
}

void TFileForm::Accept() {
  // Enter in the list on a folder opens it.
  if (ActiveControl() == FFiles && FFiles->ItemIndex() >= 0 && FEntries[static_cast<std::size_t>(FFiles->ItemIndex())].IsFolder) {
    OpenEntry(FFiles->ItemIndex());
    return;
  }
  const std::string name = rtl::Trim(FName->Text());
  if (name.empty()) return;
  if (name == "..") {
    if (!platform::ParentFolder(FFolder).empty()) SetFolder(platform::ParentFolder(FFolder));
    FName->SetText({});
    return;
  }
  std::string path = platform::JoinPath(FFolder, name);
  if (platform::FolderExists(path)) {
    SetFolder(path);
    FName->SetText({});
    return;
  }
  platform::WindowHost& host = Application().Host();
  if (FSave) {
    if (!HasExtension(name)) path += DefaultExtension(CurrentFilter());
    if (platform::FileExists(path) && !host.MessageBox(path + " already exists.\nDo you want to replace it?", Caption(), MessageBoxKind::Question))
      return;
  } else if (!platform::FileExists(path)) {
    host.MessageBox(path + "\nFile not found.\nCheck the file name and try again.", Caption(), MessageBoxKind::Error);
    return;
  }
  FFileName = path;
  SetModalResult(mrOk);
}

std::string TFileForm::Execute() {
  FFileName.clear();
  return ShowModal() == mrOk ? FFileName : std::string();
}

// --- Registration -----------------------------------------------------------------------------

bool TToolkitDialogs::MessageBox(const std::string& text, const std::string& caption, MessageBoxKind kind) {
  TMessageForm form(nullptr, text, caption, kind);
  return form.Execute();
}

std::string TToolkitDialogs::FileDialog(bool save, const std::string& filter, const std::string& initialName) {
  TFileForm form(nullptr, save, filter, initialName);
  return form.Execute();
}

void RegisterToolkitDialogs() {
  static TToolkitDialogs dialogs;
  platform::SetDesktopDialogs(&dialogs);
}

}  // namespace kestrova::ui
