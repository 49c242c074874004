// The push button, the edit and the list box through the headless host, and what modal forms
// do: OnCloseQuery, and the other forms taking no input while one runs.
#include <gtest/gtest.h>

#include <functional>

#include "framework/ui/forms.h"
#include "framework/ui/headlesshost.h"
#include "framework/ui/layoutreader.h"
#include "framework/ui/stdctrls.h"
#include "tests/support/testfont.h"

namespace kestrova::ui {
namespace {

const char* const kLayout = R"(object frmControls: TForm
  Caption = 'Controls'
  ClientHeight = 200
  ClientWidth = 300
  object edtName: TEdit
    Left = 10
    Top = 10
    Width = 100
    Text = 'abc'
    TabOrder = 0
  end
  object lstItems: TListBox
    Left = 10
    Top = 40
    Width = 100
    Height = 56
    ItemIndex = -1
    Items.Strings = (
      'one'
      'two'
      'three'
      'four'
      'five'
      'six')
    TabOrder = 1
  end
  object btnGo: TButton
    Left = 200
    Top = 10
    Caption = '&Go'
    Default = True
    ModalResult = 1
    TabOrder = 2
  end
  object btnCancel: TButton
    Left = 200
    Top = 40
    Caption = 'Cancel'
    Cancel = True
    ModalResult = 2
    TabOrder = 3
  end
end
)";

struct Controls : ::testing::Test {
  static void SetUpTestSuite() { RegisterStandardControls(); }
  void SetUp() override {
    Application().SetHost(&Host);
    Form = std::make_unique<TForm>(nullptr);
    ReadLayout(kLayout, *Form);
    Edit = dynamic_cast<TEdit*>(Form->FindComponent("edtName"));
    List = dynamic_cast<TListBox*>(Form->FindComponent("lstItems"));
    Go = dynamic_cast<TButton*>(Form->FindComponent("btnGo"));
    Cancel = dynamic_cast<TButton*>(Form->FindComponent("btnCancel"));
    ASSERT_TRUE(Edit && List && Go && Cancel);
    for (TButton* b : {Go, Cancel}) b->OnClick = [this](TComponent* s) { Clicked.push_back(s->Name()); };
    List->OnClick = [this](TComponent*) { ++ListClicks; };
    List->OnDblClick = [this](TComponent*) { ++ListDoubleClicks; };
    Form->Show();
    Window = Host.Windows.at(0);
  }
  void TearDown() override {
    Form.reset();
    Application().SetHost(nullptr);
  }
  gfx::TColorRef At(int x, int y) const { return Window->Picture.PixelColor(x, y); }

  testing::UseTestFont Font;
  THeadlessHost Host;
  std::unique_ptr<TForm> Form;
  THeadlessWindow* Window = nullptr;
  TEdit* Edit = nullptr;
  TListBox* List = nullptr;
  TButton *Go = nullptr, *Cancel = nullptr;
  std::vector<std::string> Clicked;
  int ListClicks = 0, ListDoubleClicks = 0;
};

TEST_F(Controls, LayoutSetsThePublishedProperties) {
  EXPECT_EQ(Edit->Text(), "abc");
  EXPECT_EQ(List->Count(), 6);
  EXPECT_EQ(List->ItemIndex(), -1);
  EXPECT_TRUE(Go->Default());
  EXPECT_EQ(Go->ModalResult(), mrOk);
  EXPECT_TRUE(Cancel->Cancel());
  EXPECT_EQ(Go->Width(), 75);
  EXPECT_EQ(Form->FocusedControl(), Edit) << "first in tab order";
}

TEST_F(Controls, ButtonClicksOnReleaseInsideAndLooksPressedWhileHeldInside) {
  const gfx::TColorRef frame = gfx::ColorToRGB(gfx::clWindowFrame), shadow = gfx::ColorToRGB(gfx::clBtnShadow),
                       light = gfx::ColorToRGB(gfx::clBtnHighlight), dark = gfx::ColorToRGB(gfx::cl3DDkShadow);
  // Not focused, not default: the plain raised bevel of Cancel.
  EXPECT_EQ(At(200, 40), light);
  EXPECT_EQ(At(200 + 74, 40 + 24), dark);
  // The default button has the black frame around its bevel.
  EXPECT_EQ(At(200, 10), frame);
  EXPECT_EQ(At(201, 11), light);

  Window->MouseDown(230, 50);
  EXPECT_TRUE(Cancel->Pressed());
  EXPECT_EQ(Form->FocusedControl(), Cancel);
  EXPECT_EQ(At(200, 40), frame) << "the focused button takes the default frame";
  EXPECT_EQ(At(201, 41), shadow) << "pressed: one shadow line inside the frame";
  EXPECT_EQ(At(202, 42), gfx::ColorToRGB(gfx::clBtnFace));
  EXPECT_EQ(At(200, 10), light) << "Go lost its frame to the focused button";
  Window->MouseMove(100, 150);
  EXPECT_FALSE(Cancel->Pressed()) << "out of the button while held";
  EXPECT_EQ(At(201, 41), light);
  Window->MouseMove(230, 50);
  EXPECT_TRUE(Cancel->Pressed());
  Window->MouseUp(230, 50);
  EXPECT_FALSE(Cancel->Pressed());
  EXPECT_EQ(Clicked, std::vector<std::string>{"btnCancel"});

  Window->MouseDown(230, 50);
  Window->MouseUp(100, 150);
  EXPECT_EQ(Clicked.size(), 1u) << "released outside: no click";
}

TEST_F(Controls, DialogKeysSpaceAndAcceleratorsClickTheRightButton) {
  struct Case {
    const char* What;
    const char* Focus;
    std::function<void(THeadlessWindow&)> Input;
    std::vector<std::string> Clicked;
  };
  const Case cases[] = {
      {"Enter in the edit: the default button", "edtName", [](THeadlessWindow& w) { w.Key(VK_RETURN); }, {"btnGo"}},
      {"Escape: the cancel button", "edtName", [](THeadlessWindow& w) { w.Key(VK_ESCAPE); }, {"btnCancel"}},
      {"Enter on a button: that button", "btnCancel", [](THeadlessWindow& w) { w.Key(VK_RETURN); }, {"btnCancel"}},
      {"Space on a button: on release", "btnCancel", [](THeadlessWindow& w) { w.Key(VK_SPACE); }, {"btnCancel"}},
      {"Space in the edit types a blank", "edtName", [](THeadlessWindow& w) { w.Key(VK_SPACE); w.Char(' '); }, {}},
      {"Alt+G: the accelerator", "lstItems", [](THeadlessWindow& w) { w.Char('g', ssAlt); }, {"btnGo"}},
      {"G alone in the list: the accelerator too", "lstItems", [](THeadlessWindow& w) { w.Char('g'); }, {"btnGo"}},
      {"g typed in the edit stays there", "edtName", [](THeadlessWindow& w) { w.Char('g'); }, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    Clicked.clear();
    ASSERT_TRUE(Form->FocusControl(dynamic_cast<TWinControl*>(Form->FindComponent(c.Focus))));
    c.Input(*Window);
    EXPECT_EQ(Clicked, c.Clicked);
  }
  Clicked.clear();
  Edit->SetFocus();
  Go->SetEnabled(false);
  Window->Key(VK_RETURN);
  EXPECT_TRUE(Clicked.empty()) << "a disabled default button is not clicked";
}

TEST_F(Controls, SpaceHeldShowsThePressedButton) {
  Cancel->SetFocus();
  Cancel->Perform(WM_KEYDOWN, VK_SPACE);
  Host.ProcessMessages();
  EXPECT_TRUE(Cancel->Pressed());
  EXPECT_EQ(At(201, 41), gfx::ColorToRGB(gfx::clBtnShadow));
  EXPECT_TRUE(Clicked.empty());
  Cancel->Perform(WM_KEYUP, VK_SPACE);
  EXPECT_FALSE(Cancel->Pressed());
  EXPECT_EQ(Clicked, std::vector<std::string>{"btnCancel"});
}

// Edits: keys and characters from a start text, and what is left.
TEST_F(Controls, EditTypingSelectionAndDeletion) {
  struct Case {
    const char* What;
    int MaxLength;
    bool ReadOnly;
    std::function<void(THeadlessWindow&)> Input;
    const char* Text;
    int SelStart, SelLength;
  };
  auto type = [](const char* s) {
    return [s](THeadlessWindow& w) {
      for (const char* p = s; *p; ++p) w.Char(*p);
    };
  };
  const Case cases[] = {
      {"typing goes in at the caret", 0, false, type("xy"), "xyabc", 2, 0},
      {"End, then typing appends", 0, false, [&](THeadlessWindow& w) { w.Key(VK_END); type("d")(w); }, "abcd", 4, 0},
      {"Backspace at the end", 0, false, [](THeadlessWindow& w) { w.Key(VK_END); w.Char('\b'); }, "ab", 2, 0},
      {"Backspace at the start does nothing", 0, false, [](THeadlessWindow& w) { w.Char('\b'); }, "abc", 0, 0},
      {"Delete at the start", 0, false, [](THeadlessWindow& w) { w.Key(VK_DELETE); }, "bc", 0, 0},
      {"Delete at the end does nothing", 0, false, [](THeadlessWindow& w) { w.Key(VK_END); w.Key(VK_DELETE); }, "abc", 3, 0},
      {"Shift+Right selects, typing replaces", 0, false,
       [&](THeadlessWindow& w) { w.Key(VK_RIGHT); w.Key(VK_RIGHT, ssShift); w.Key(VK_RIGHT, ssShift); type("Z")(w); }, "aZ", 2, 0},
      {"Shift+Left from the end selects backwards", 0, false,
       [](THeadlessWindow& w) { w.Key(VK_END); w.Key(VK_LEFT, ssShift); w.Key(VK_LEFT, ssShift); }, "abc", 1, 2},
      {"Shift+Home then Delete", 0, false, [](THeadlessWindow& w) { w.Key(VK_END); w.Key(VK_HOME, ssShift); w.Key(VK_DELETE); }, "", 0, 0},
      {"Left collapses a selection to its start", 0, false,
       [](THeadlessWindow& w) { w.Key('A', ssCtrl); w.Key(VK_LEFT); }, "abc", 0, 0},
      {"Right collapses it to its end", 0, false, [](THeadlessWindow& w) { w.Key('A', ssCtrl); w.Key(VK_RIGHT); }, "abc", 3, 0},
      {"MaxLength stops typing", 4, false, type("xyz"), "xabc", 1, 0},
      {"MaxLength still lets a selection be replaced", 3, false,
       [&](THeadlessWindow& w) { w.Key('A', ssCtrl); type("qr")(w); }, "qr", 2, 0},
      {"ReadOnly: nothing changes, the caret still moves", 0, true,
       [&](THeadlessWindow& w) { type("x")(w); w.Key(VK_DELETE); w.Key(VK_END); w.Char('\b'); }, "abc", 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    Edit->SetText("abc");
    Edit->SetMaxLength(c.MaxLength);
    Edit->SetReadOnly(c.ReadOnly);
    Edit->SetFocus();
    Edit->SetSelStart(0);
    c.Input(*Window);
    EXPECT_EQ(Edit->Text(), c.Text);
    EXPECT_EQ(Edit->SelStart(), c.SelStart);
    EXPECT_EQ(Edit->SelLength(), c.SelLength);
  }
}

TEST_F(Controls, EditFiresOnChangeForEachEdit) {
  int changes = 0;
  Edit->OnChange = [&](TComponent*) { ++changes; };
  Edit->SetFocus();
  Window->Char('x');
  Window->Char('\b');
  Window->Key(VK_LEFT);
  EXPECT_EQ(changes, 2) << "moving the caret changes nothing";
  Edit->SetText("new");
  EXPECT_EQ(changes, 3);
}

TEST_F(Controls, EditScrollsToKeepTheCaretInView) {
  // 100 wide: 94 pixels of text area, 15 characters of 6 pixels (the caret needs one more).
  Edit->SetText("");
  Edit->SetFocus();
  const int left = 3, right = Edit->Width() - 3;
  for (int i = 0; i < 40; ++i) {
    Window->Char(static_cast<char>('a' + i % 26));
    ASSERT_GE(Edit->CaretX(), left) << i;
    ASSERT_LT(Edit->CaretX(), right) << i;
  }
  EXPECT_EQ(Edit->ScrollOffset(), 40 * 6 - 94 + 1);
  Window->Key(VK_HOME);
  EXPECT_EQ(Edit->ScrollOffset(), 0);
  EXPECT_EQ(Edit->CaretX(), left);
  Window->Key(VK_END);
  EXPECT_EQ(Edit->CaretX(), right - 1);
  // On screen: the caret's column in the text colour, the last character just left of it.
  const int caret = 10 + Edit->CaretX();
  EXPECT_EQ(At(caret, 10 + 10), gfx::ColorToRGB(gfx::clWindowText));
  EXPECT_EQ(At(caret - 3, 10 + 10), gfx::ColorToRGB(gfx::clWindowText));
  EXPECT_EQ(At(caret + 1, 10 + 10), gfx::ColorToRGB(gfx::clWindow));
  // Deleting text scrolls back as far as the caret allows.
  for (int i = 0; i < 30; ++i) Window->Char('\b');
  EXPECT_EQ(Edit->ScrollOffset(), 0);
}

TEST_F(Controls, EditMouseSetsTheCaretAndDragsASelection) {
  Edit->SetText("abcdefgh");
  // Characters start at x 3 of the edit (10 on the form), 6 pixels each.
  Window->MouseDown(10 + 3 + 2 * 6 + 1, 20);
  EXPECT_EQ(Form->FocusedControl(), Edit);
  EXPECT_EQ(Edit->SelStart(), 2);
  Window->MouseMove(10 + 3 + 5 * 6 - 2, 20);
  Window->MouseUp(10 + 3 + 5 * 6 - 2, 20);
  EXPECT_EQ(Edit->SelText(), "cde");
  Window->MouseDown(10 + 3 + 7 * 6, 20, TMouseButton::mbLeft, ssShift);
  Window->MouseUp(10 + 3 + 7 * 6, 20);
  EXPECT_EQ(Edit->SelText(), "cdefg") << "Shift+click extends from the anchor";
  // The selection in the highlight colours, with the text in the highlight text colour.
  const int y = 10 + 2 + (17 - 13) / 2;
  EXPECT_EQ(At(10 + 3 + 2 * 6, y), gfx::ColorToRGB(gfx::clHighlight));
  EXPECT_EQ(At(10 + 3 + 2 * 6 + 2, y + 5), gfx::ColorToRGB(gfx::clHighlightText));
  EXPECT_EQ(At(10 + 3 + 1 * 6 + 2, y + 5), gfx::ColorToRGB(gfx::clWindowText));
}

TEST_F(Controls, ListBoxKeysMoveTheSelectionAndScrollIt) {
  // 56 high: four items of 13 show, and a scroll bar.
  ASSERT_EQ(List->VisibleItems(), 4);
  ASSERT_TRUE(List->HasScrollBar());
  List->SetFocus();
  struct Step {
    unsigned Key;
    int Index, Top, Clicks;
  };
  const Step steps[] = {
      {VK_DOWN, 0, 0, 1}, {VK_DOWN, 1, 0, 2}, {VK_END, 5, 2, 3}, {VK_DOWN, 5, 2, 3}, {VK_PRIOR, 2, 2, 4},
      {VK_PRIOR, 0, 0, 5}, {VK_UP, 0, 0, 5},  {VK_NEXT, 3, 0, 6}, {VK_NEXT, 5, 2, 7}, {VK_HOME, 0, 0, 8},
  };
  for (const Step& s : steps) {
    Window->Key(s.Key);
    EXPECT_EQ(List->ItemIndex(), s.Index) << s.Key;
    EXPECT_EQ(List->TopIndex(), s.Top) << s.Key;
    EXPECT_EQ(ListClicks, s.Clicks) << "OnClick only when the selection changed";
  }
}

TEST_F(Controls, ListBoxClicksSelectDoubleClicksAndTheScrollBarScrolls) {
  // Items from y 42 of the form (the border is 2), 13 each; the scroll bar's 16 pixels at the right.
  Window->Click(30, 42 + 13 + 5);
  EXPECT_EQ(List->ItemIndex(), 1);
  EXPECT_EQ(ListClicks, 1);
  EXPECT_EQ(Form->FocusedControl(), List);
  Window->Click(30, 42 + 13 + 5);
  EXPECT_EQ(ListClicks, 1) << "the same item again: no change";
  Window->DoubleClick(30, 42 + 2 * 13 + 5);
  EXPECT_EQ(List->ItemIndex(), 2);
  EXPECT_EQ(ListDoubleClicks, 1);
  // The selected row in the highlight colour.
  EXPECT_EQ(At(30, 42 + 2 * 13 + 1), gfx::ColorToRGB(gfx::clHighlight));

  const int barX = 10 + 100 - 2 - 8;
  Window->Click(barX, 96 - 2 - 8);  // the down arrow
  EXPECT_EQ(List->TopIndex(), 1);
  Window->DoubleClick(barX, 96 - 2 - 8);
  EXPECT_EQ(List->TopIndex(), 2) << "a quick second press scrolls again; it is no double-click";
  EXPECT_EQ(ListDoubleClicks, 1);
  Window->Click(barX, 42 + 8);  // the up arrow
  EXPECT_EQ(List->TopIndex(), 1);
  EXPECT_EQ(List->ItemIndex(), 2) << "scrolling leaves the selection";
  Window->Click(30, 42 + 5);
  EXPECT_EQ(List->ItemIndex(), 1) << "the first row shown is item TopIndex";
}

// --- Modal forms -------------------------------------------------------------------------------

struct Modal : Controls {
  void SetUp() override {
    Controls::SetUp();
    Dialog = std::make_unique<TForm>(nullptr);
    Dialog->SetCaption("Dialog");
    Ok = new TButton(Dialog.get());
    Ok->SetModalResult(mrOk);
    Ok->SetBounds(10, 10, 75, 25);
    Ok->SetParent(Dialog.get());
  }
  void TearDown() override {
    Dialog.reset();
    Controls::TearDown();
  }
  THeadlessWindow& DialogWindow() { return *Host.Windows.back(); }
  std::unique_ptr<TForm> Dialog;
  TButton* Ok = nullptr;
};

TEST_F(Modal, CloseQueryCanRefuseAResultAndTheCloseBox) {
  std::vector<std::string> asked;
  bool allow = false;
  Dialog->OnCloseQuery = [&](TComponent*, bool& canClose) {
    asked.push_back(std::to_string(Dialog->ModalResult()));
    canClose = allow;
  };
  int closes = 0;
  Dialog->OnClose = [&](TComponent*) { ++closes; };
  Host.Steps = {
      [&] { DialogWindow().Click(20, 20); },
      [&] {
        EXPECT_TRUE(Dialog->IsShown()) << "refused: still open";
        EXPECT_EQ(Dialog->ModalResult(), mrNone);
        DialogWindow().CloseBox();
      },
      [&] {
        EXPECT_TRUE(Dialog->IsShown());
        allow = true;
        DialogWindow().Click(20, 20);
      },
  };
  EXPECT_EQ(Dialog->ShowModal(), mrOk);
  EXPECT_EQ(asked, (std::vector<std::string>{"1", "2", "1"}));
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(Dialog->IsShown());

  // A form that is not modal asks too.
  allow = false;
  Form->OnCloseQuery = Dialog->OnCloseQuery;
  Window->CloseBox();
  EXPECT_TRUE(Form->IsShown());
}

TEST_F(Modal, OtherFormsTakeNoInputWhileItRunsAndGetItBackAfter) {
  Host.Steps = {[&] {
    EXPECT_FALSE(Window->Enabled);
    EXPECT_TRUE(DialogWindow().Enabled);
    Window->Click(230, 50);  // Cancel on the other form
    Window->Key(VK_ESCAPE);
    EXPECT_TRUE(Clicked.empty()) << "the other form took input";
    DialogWindow().Key(VK_RETURN);  // the focused OK button
  }};
  EXPECT_EQ(Dialog->ShowModal(), mrOk);
  EXPECT_TRUE(Window->Enabled);
  Window->Click(230, 50);
  EXPECT_EQ(Clicked, std::vector<std::string>{"btnCancel"});
}

TEST_F(Modal, AnExceptionInTheLoopStillGivesTheInputBackAndHidesTheForm) {
  Host.Steps = {[] { throw std::runtime_error("handler failed"); }};
  EXPECT_THROW(Dialog->ShowModal(), std::runtime_error);
  EXPECT_TRUE(Window->Enabled);
  EXPECT_FALSE(Dialog->IsShown());
  EXPECT_FALSE(Dialog->Modal());
  // And a loop left waiting with nothing scripted ends the same way instead of hanging.
  Host.IdleWaitLimit = 5;
  EXPECT_THROW(Dialog->ShowModal(), std::runtime_error);
  EXPECT_TRUE(Window->Enabled);
}

TEST_F(Modal, NestedModalFormsGiveBackOnlyWhatTheyTook) {
  TForm inner(nullptr);
  Host.Steps = {
      [&] {
        Host.Steps.push_back([&] {
          EXPECT_FALSE(Window->Enabled);
          EXPECT_FALSE(Dialog->WindowEnabled());
          inner.Close();
        });
        EXPECT_EQ(inner.ShowModal(), mrCancel);
        EXPECT_FALSE(Window->Enabled) << "still the outer dialog's";
        EXPECT_TRUE(Dialog->WindowEnabled());
        Dialog->SetModalResult(mrOk);
      },
  };
  EXPECT_EQ(Dialog->ShowModal(), mrOk);
  EXPECT_TRUE(Window->Enabled);
}

TEST_F(Modal, ShowExceptionUsesTheHostsMessageBox) {
  Application().ShowException(std::runtime_error("Cannot read the rules"));
  EXPECT_EQ(Host.MessageBoxes, std::vector<std::string>{"kestrova: Cannot read the rules."});
}

}  // namespace
}  // namespace kestrova::ui
