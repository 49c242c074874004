// The toolkit's message box and file dialog, shown modally on the headless host and answered
// with scripted input.
#include <gtest/gtest.h>

#include <functional>

#include "framework/ui/dialogs.h"
#include "framework/ui/headlesshost.h"
#include "platform/filelisting.h"
#include "tests/support/childprocess.h"
#include "tests/support/testfont.h"

namespace kestrova::ui {
namespace {

using platform::MessageBoxKind;

struct Dialogs : ::testing::Test {
  void SetUp() override { Application().SetHost(&Host); }
  void TearDown() override { Application().SetHost(nullptr); }
  THeadlessWindow& Shown() { return *Host.Windows.back(); }
  template <class T>
  T& ActiveAs() {
    auto* form = dynamic_cast<T*>(Screen().ActiveForm());
    if (!form) throw std::logic_error("the dialog is not the active form");
    return *form;
  }

  testing::UseTestFont Font;
  THeadlessHost Host;
  TToolkitDialogs Toolkit;
};

TEST_F(Dialogs, MessageBoxAnswers) {
  struct Case {
    const char* What;
    MessageBoxKind Kind;
    std::function<void(THeadlessWindow&)> Answer;
    bool Result;
    std::vector<std::string> Buttons;
  };
  const Case cases[] = {
      {"Enter: OK", MessageBoxKind::Information, [](THeadlessWindow& w) { w.Key(VK_RETURN); }, true, {"OK"}},
      {"Escape: OK", MessageBoxKind::Error, [](THeadlessWindow& w) { w.Key(VK_ESCAPE); }, true, {"OK"}},
      {"close box: OK", MessageBoxKind::Information, [](THeadlessWindow& w) { w.CloseBox(); }, true, {"OK"}},
      {"Enter: Yes", MessageBoxKind::Question, [](THeadlessWindow& w) { w.Key(VK_RETURN); }, true, {"&Yes", "&No"}},
      {"Escape: No", MessageBoxKind::Question, [](THeadlessWindow& w) { w.Key(VK_ESCAPE); }, false, {"&Yes", "&No"}},
      {"close box: No", MessageBoxKind::Question, [](THeadlessWindow& w) { w.CloseBox(); }, false, {"&Yes", "&No"}},
      {"Alt+N: No", MessageBoxKind::Question, [](THeadlessWindow& w) { w.Char('n', ssAlt); }, false, {"&Yes", "&No"}},
      {"a click on No", MessageBoxKind::Question,
       [](THeadlessWindow& w) {
         TButton& no = dynamic_cast<TMessageForm*>(Screen().ActiveForm())->Buttons(1);
         w.Click(no.Left() + 5, no.Top() + 5);
       },
       false, {"&Yes", "&No"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    std::vector<std::string> buttons;
    Host.Steps = {[&] {
      auto& form = ActiveAs<TMessageForm>();
      for (int i = 0; i < form.ButtonCount(); ++i) buttons.push_back(form.Buttons(i).Caption());
      c.Answer(Shown());
    }};
    EXPECT_EQ(Toolkit.MessageBox("Remove it?", "Kestrova", c.Kind), c.Result);
    EXPECT_EQ(buttons, c.Buttons);
    EXPECT_TRUE(Host.Windows.empty()) << "the box is gone";
  }
}

TEST_F(Dialogs, MessageBoxFitsItsTextAndIsCentred) {
  struct Case {
    std::string Text;
    int LabelWidth, LabelHeight;
  };
  std::string longText;
  for (int i = 0; i < 40; ++i) longText += "rootkit ";
  const Case cases[] = {
      {"Done", 4 * 6, 13},
      {"one\r\ntwo\nthree\rfour", 5 * 6, 4 * 13},  // every kind of line break
      {longText, 8 * 48 - 6, 5 * 13},  // 40 words of 48 pixels wrapped at 400: 8 to a line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Text);
    Host.Steps = {[&] {
      auto& form = ActiveAs<TMessageForm>();
      EXPECT_EQ(form.TextLabel().Caption(), c.Text);
      EXPECT_EQ(form.TextLabel().Height(), c.LabelHeight);
      EXPECT_LE(form.TextLabel().Width(), TMessageForm::kMaxTextWidth);
      EXPECT_GE(form.TextLabel().Width(), c.LabelWidth);
      THeadlessWindow& w = Shown();
      EXPECT_EQ(w.Options.Caption, "Caption");
      EXPECT_FALSE(w.Options.Sizeable);
      EXPECT_EQ(w.Left, (Host.ScreenWidth - form.Width()) / 2);
      EXPECT_EQ(w.Top, (Host.ScreenHeight - form.Height()) / 2);
      EXPECT_GE(form.Buttons(0).Top(), form.TextLabel().Top() + form.TextLabel().Height()) << "buttons below the text";
      // The error icon: a red disc with a white cross through its middle.
      EXPECT_EQ(w.Picture.PixelColor(12 + 5, 12 + 16), gfx::ColorToRGB(gfx::clRed));
      EXPECT_EQ(w.Picture.PixelColor(12 + 16, 12 + 16), gfx::ColorToRGB(gfx::clWhite));
      w.Key(VK_RETURN);
    }};
    EXPECT_TRUE(Toolkit.MessageBox(c.Text, "Caption", MessageBoxKind::Error));
  }
}

TEST(FileFilters, PatternsAndDefaultExtensions) {
  const std::vector<TFileFilter> f = ParseFileFilter("Logs (*.loc)|*.loc; *.LOG|All files|*.*");
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].Name, "Logs (*.loc)");
  EXPECT_EQ(f[0].Patterns, (std::vector<std::string>{"*.loc", "*.LOG"}));
  EXPECT_EQ(DefaultExtension(f[0]), ".loc");
  EXPECT_EQ(DefaultExtension(f[1]), "");
  EXPECT_EQ(ParseFileFilter("").size(), 1u) << "no filter: every file";
  struct Case {
    const char* Name;
    const char* Pattern;
    bool Match;
  };
  const Case cases[] = {
      {"scan.loc", "*.loc", true}, {"SCAN.LOC", "*.loc", true}, {"scan.loc.bak", "*.loc", false},
      {"scan", "*.*", true},       {"a.b.loc", "*.loc", true},  {"x1.txt", "x?.txt", true},
      {"x12.txt", "x?.txt", false}, {"report", "rep*", true},   {"loc", "*.loc", false},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchesPattern(c.Name, c.Pattern), c.Match) << c.Name << " " << c.Pattern;
}

// A folder with files the filter lets through or not, a hidden one, and a sub-folder.
struct FileDialog : Dialogs {
  void SetUp() override {
    Dialogs::SetUp();
    Root = testing::MakeTempFolder();
    const char sep = testing::FolderSeparator();
    for (const char* name : {"b.loc", "A.LOC", "notes.txt"}) testing::WriteWholeFile(Root + name, "x");
    testing::CreateFolder(Root + "sub");
    testing::WriteWholeFile(Root + "sub" + sep + "inner.loc", "x");
    Sub = Root + "sub" + sep;
#ifndef _WIN32
    testing::WriteWholeFile(Root + ".hidden.loc", "x");
#endif
  }
  std::vector<std::string> Listed() {
    TListBox& list = ActiveAs<TFileForm>().FileList();
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.Items().Strings(i));
    return out;
  }
  int IndexOf(const std::string& item) {
    const std::vector<std::string> all = Listed();
    return static_cast<int>(std::find(all.begin(), all.end(), item) - all.begin());
  }
  // A row of the file list, in the form's client coordinates.
  void ClickRow(const std::string& item, bool twice = false) {
    TListBox& list = ActiveAs<TFileForm>().FileList();
    const int y = list.Top() + 2 + (IndexOf(item) - list.TopIndex()) * list.ItemHeight() + 5;
    if (twice) Shown().DoubleClick(list.Left() + 20, y);
    else Shown().Click(list.Left() + 20, y);
  }
  void Type(const std::string& text) {
    TEdit& name = ActiveAs<TFileForm>().NameEdit();
    name.SetFocus();
    name.SelectAll();
    for (char c : text) Shown().Char(c);
  }
  static constexpr const char* kFilter = "Logs|*.loc|All files|*.*";
  std::string Root, Sub;
};

TEST_F(FileDialog, OpenListsFoldersFirstFiltersEntersAFolderAndPicksAFile) {
  Host.Steps = {
      [&] {
        auto& form = ActiveAs<TFileForm>();
        EXPECT_EQ(Shown().Options.Caption, "Open");
        EXPECT_EQ(form.FolderLabel().Caption(), Root);
        EXPECT_EQ(Listed(), (std::vector<std::string>{"[..]", "[sub]", "A.LOC", "b.loc"})) << "no hidden files, no .txt";
        form.FilterList().SetFocus();
        Shown().Key(VK_DOWN);  // All files
        EXPECT_EQ(Listed(), (std::vector<std::string>{"[..]", "[sub]", "A.LOC", "b.loc", "notes.txt"}));
        Shown().Key(VK_UP);
        ClickRow("[sub]", true);
        EXPECT_EQ(form.Folder(), Sub);
        EXPECT_EQ(Listed(), (std::vector<std::string>{"[..]", "inner.loc"}));
        ClickRow("inner.loc");
        EXPECT_EQ(form.NameEdit().Text(), "inner.loc") << "a file picked in the list is the name";
        Shown().Key(VK_RETURN);
      },
  };
  EXPECT_EQ(Toolkit.FileDialog(false, kFilter, Root), Sub + "inner.loc");
}

TEST_F(FileDialog, KeyboardUpAndIntoFoldersAndAFolderTypedAsTheName) {
  Host.Steps = {[&] {
    auto& form = ActiveAs<TFileForm>();
    EXPECT_EQ(form.Folder(), Sub);
    EXPECT_EQ(form.NameEdit().Text(), "inner.loc") << "the initial name's file";
    form.FileList().SetFocus();
    Shown().Key(VK_HOME);  // [..]
    Shown().Key(VK_RETURN);
    EXPECT_EQ(form.Folder(), Root) << "Enter on a folder in the list opens it";
    Type("sub");
    Shown().Key(VK_RETURN);
    EXPECT_EQ(form.Folder(), Sub) << "a folder's name opens it";
    EXPECT_EQ(form.NameEdit().Text(), "");
    Type("nothing.loc");
    Shown().Key(VK_RETURN);
    EXPECT_TRUE(form.IsShown()) << "Open takes only a file that exists";
    ASSERT_EQ(Host.MessageBoxes.size(), 1u);
    EXPECT_NE(Host.MessageBoxes[0].find("File not found"), std::string::npos);
    Shown().Key(VK_ESCAPE);
  }};
  EXPECT_EQ(Toolkit.FileDialog(false, kFilter, Sub + "inner.loc"), "") << "cancelled";
}

TEST_F(FileDialog, SaveAddsTheFiltersExtensionAndAsksBeforeReplacing) {
  struct Case {
    const char* What;
    int Filter;
    const char* Typed;
    std::deque<bool> Answers;  // to "replace it?"
    const char* Result;        // in Root; nullptr: cancelled
  };
  const Case cases[] = {
      {"a name without extension gets the filter's", 0, "report", {}, "report.loc"},
      {"a name with one keeps it", 0, "report.csv", {}, "report.csv"},
      {"All files adds nothing", 1, "report", {}, "report"},
      {"an existing file when replacing is allowed", 0, "b", {true}, "b.loc"},
      {"an existing file, not replaced: the dialog stays", 0, "b", {false}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    Host.MessageBoxes.clear();
    Host.MessageBoxAnswers = c.Answers;
    Host.Steps = {[&] {
      auto& form = ActiveAs<TFileForm>();
      EXPECT_EQ(Shown().Options.Caption, "Save As");
      form.FilterList().SetItemIndex(c.Filter);
      Type(c.Typed);
      Shown().Key(VK_RETURN);
      if (form.ModalResult() == mrNone) Shown().Key(VK_ESCAPE);
    }};
    const std::string chosen = Toolkit.FileDialog(true, kFilter, Root);
    EXPECT_EQ(chosen, c.Result ? Root + c.Result : "");
    EXPECT_EQ(Host.MessageBoxes.size(), c.Answers.size()) << "asked only about an existing file";
  }
}

TEST_F(FileDialog, CancelAndTheCloseBoxAnswerNothing) {
  for (int how = 0; how < 2; ++how) {
    Host.Steps = {[&] {
      auto& form = ActiveAs<TFileForm>();
      ClickRow("b.loc");
      if (how == 0) Shown().Click(form.CancelButton().Left() + 5, form.CancelButton().Top() + 5);
      else Shown().CloseBox();
    }};
    EXPECT_EQ(Toolkit.FileDialog(false, kFilter, Root), "");
  }
}

}  // namespace
}  // namespace kestrova::ui
