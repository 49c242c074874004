#include <gtest/gtest.h>

#include <cstdio>

#include "framework/gfx/bmpcodec.h"
#include "framework/ui/forms.h"
#include "framework/ui/headlesshost.h"
#include "framework/ui/layoutreader.h"
#include "framework/ui/menus.h"
#include "framework/ui/stdctrls.h"
#include "tests/support/demoform.h"
#include "tests/support/testfont.h"

namespace kestrova::ui {
namespace {

std::vector<std::string> gLog;

// Records what it is told; answers the dialog keys and accelerator characters it is given.
class TProbe : public TCustomControl {
 public:
  explicit TProbe(TComponent* owner) : TCustomControl(owner) {
    SetTabStop(true);
    SetBounds(0, 0, 20, 20);
  }
  const char* ClassName() const override { return "TProbe"; }
  static const TPropertyTable& ClassProperties() {
    using P = Published<TProbe>;
    static const TPropertyTable table(&TWinControl::ClassProperties(), {
        P::Integer("First", [](TProbe& p) { return p.First; }, [](TProbe& p, std::int64_t v) { p.First = v; gLog.push_back(p.Name() + ".First"); }),
        P::Integer("Second", [](TProbe& p) { return p.Second; }, [](TProbe& p, std::int64_t v) { p.Second = v; gLog.push_back(p.Name() + ".Second"); }),
        P::Integer("AnswerKey", [](TProbe& p) { return p.AnswerKey; }, [](TProbe& p, std::int64_t v) { p.AnswerKey = static_cast<unsigned>(v); }),
        P::Object<rtl::TStringList>("Items", [](TProbe& p) { return &p.Items; }),
    });
    return table;
  }
  const TPropertyTable& Properties() const override { return ClassProperties(); }
  void Loaded() override {
    TCustomControl::Loaded();
    gLog.push_back(Name() + ".Loaded");
  }
  void Dispatch(TMessage& m) override {
    switch (m.Msg) {
      case CM_DIALOGKEY:
      case CM_DIALOGCHAR:
        gLog.push_back(Name() + (m.Msg == CM_DIALOGKEY ? ".key" : ".char"));
        if (m.WParam == AnswerKey) {
          m.Result = 1;
          return;
        }
        break;
      case CM_FOCUSCHANGED: gLog.push_back(Name() + ".focuschanged"); break;
      case WM_SETFOCUS: gLog.push_back(Name() + ".setfocus"); break;
      case WM_KILLFOCUS: gLog.push_back(Name() + ".killfocus"); break;
      case WM_LBUTTONDOWN:
      case WM_MOUSEMOVE:
      case WM_LBUTTONUP:
        gLog.push_back(Name() + (m.Msg == WM_LBUTTONDOWN ? ".down " : m.Msg == WM_LBUTTONUP ? ".up " : ".move ") +
                       std::to_string(LParamX(m.LParam)) + "," + std::to_string(LParamY(m.LParam)));
        break;
      default: break;
    }
    TCustomControl::Dispatch(m);
  }
  std::int64_t First = 0, Second = 0;
  unsigned AnswerKey = 0;
  rtl::TStringList Items;
};

class TProbeLabel : public TLabel {
 public:
  explicit TProbeLabel(TComponent* owner) : TLabel(owner) {}
  const char* ClassName() const override { return "TProbeLabel"; }
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_DIALOGKEY || m.Msg == CM_DIALOGCHAR) gLog.push_back(Name() + (m.Msg == CM_DIALOGKEY ? ".key" : ".char"));
    TLabel::Dispatch(m);
  }
};

class TfrmDemo : public TForm {
 public:
  explicit TfrmDemo(TComponent* owner) : TForm(owner) {
    PublishMethod("lblLinkClick", [this](TComponent* sender) { Clicked.push_back(static_cast<TControl*>(sender)->Name()); });
    PublishMethod<TMouseEvent>("pnlMouseDown", [this](TComponent* sender, TMouseButton, TShiftState, int x, int y) {
      Clicked.push_back(sender->Name() + "@" + std::to_string(x) + "," + std::to_string(y));
    });
  }
  const char* ClassName() const override { return "TfrmDemo"; }
  std::vector<std::string> Clicked;
};

struct UiFixture : ::testing::Test {
  static void SetUpTestSuite() {
    RegisterStandardControls();
    RegisterClass<TProbe>("TProbe");
    RegisterClass<TProbeLabel>("TProbeLabel");
  }
  void SetUp() override {
    gLog.clear();
    Application().SetHost(&Host);
  }
  void TearDown() override { Application().SetHost(nullptr); }
  testing::UseTestFont Font;
  THeadlessHost Host;
};

std::string Hex(const std::string& bytes) {
  std::string out;
  char two[3];
  for (unsigned char c : bytes) {
    std::snprintf(two, sizeof two, "%02X", c);
    out += two;
  }
  return out;
}

const char* const kLayout = R"(object frmDemo: TfrmDemo
  Left = 10
  Top = 20
  BorderStyle = bsSingle
  BorderIcons = [biSystemMenu, biMinimize]
  Caption = 'Demo'
  ClientHeight = 100
  ClientWidth = 200
  Color = clBtnFace
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Shell Dlg 2'
  Font.Style = []
  OldCreateOrder = False
  Position = poScreenCenter
  ActiveControl = pB
  PixelsPerInch = 96
  TextHeight = 13
  object pnl: TPanel
    Left = 0
    Top = 0
    Width = 200
    Height = 60
    Align = alTop
    BevelOuter = bvRaised
    TabOrder = 1
    object lblLink: TProbeLabel
      Left = 8
      Top = 8
      Caption = 'It'#39's a '
        + 'link'
      Cursor = -21
      Font.Style = [fsUnderline]
      Hint = 'Visit'
      ParentFont = False
      ShowHint = True
      OnClick = lblLinkClick
    end
    object pA: TProbe
      Second = 2
      First = 1
      Left = 100
      Top = 10
      AnswerKey = 27
      Items.Strings = (
        'one'
        'two')
    end
  end
  object pB: TProbe
    Left = 10
    Top = 70
    TabOrder = 0
  end
  object shp: TShape
    Left = 150
    Top = 65
    Width = 40
    Height = 30
    Brush.Style = bsClear
    Pen.Color = 13099453
    Shape = stRoundRect
  end
  object img: TImage
    Left = 60
    Top = 70
    AutoSize = True
    Picture.Data = {PICTURE}
    Transparent = True
  end
  object pmn: TPopupMenu
    object item1: TMenuItem
      Caption = 'Remove Rootkit...'
    end
  end
end
)";

std::string DemoLayout() {
  gfx::TBitmap picture(3, 2, gfx::TPixelFormat::pf24bit);
  picture.Canvas().SetPixel(1, 0, gfx::clRed);
  const std::string data = std::string("\x07TBitmap", 8) + std::string(4, '\0') + picture.SaveToBytes();
  std::string text = kLayout;
  text.replace(text.find("PICTURE"), 7, Hex(data));
  return text;
}

TEST_F(UiFixture, LayoutBuildsTheTreeInStoredOrderThenLoaded) {
  TfrmDemo form(nullptr);
  ReadLayout(DemoLayout(), form);
  EXPECT_EQ(form.Name(), "frmDemo");
  EXPECT_EQ(form.Caption(), "Demo");
  EXPECT_EQ(form.ClientWidth(), 200);
  EXPECT_EQ(form.BorderStyle, TFormBorderStyle::bsSingle);
  EXPECT_EQ(form.BorderIcons, biSystemMenu | biMinimize);
  EXPECT_EQ(form.Position, TPosition::poScreenCenter);
  EXPECT_EQ(form.Font().Name(), "MS Shell Dlg 2");
  ASSERT_EQ(form.ComponentCount(), 8) << "every object is owned by the root, menu items too";
  const char* names[] = {"pnl", "lblLink", "pA", "pB", "shp", "img", "pmn", "item1"};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(form.Components(i)->Name(), names[i]);
  auto* pnl = dynamic_cast<TPanel*>(form.FindComponent("pnl"));
  auto* link = dynamic_cast<TLabel*>(form.FindComponent("lblLink"));
  auto* pA = dynamic_cast<TProbe*>(form.FindComponent("pA"));
  auto* pB = dynamic_cast<TProbe*>(form.FindComponent("pB"));
  auto* img = dynamic_cast<TImage*>(form.FindComponent("img"));
  auto* pmn = dynamic_cast<TPopupMenu*>(form.FindComponent("pmn"));
  ASSERT_TRUE(pnl && link && pA && pB && img && pmn);
  EXPECT_EQ(link->Parent(), pnl);
  EXPECT_EQ(pA->Parent(), pnl);
  EXPECT_EQ(pB->Parent(), &form);
  EXPECT_EQ(link->Caption(), "It's a link");
  EXPECT_EQ(link->Font().Style(), gfx::fsUnderline);
  EXPECT_EQ(link->Cursor(), crHandPoint);
  EXPECT_EQ(link->Width(), 11 * 6) << "sized to its text once loaded";
  EXPECT_EQ(pA->Items.Count(), 2);
  EXPECT_EQ(pA->Items.Strings(1), "two");
  EXPECT_EQ(img->Width(), 3) << "sized to its picture";
  EXPECT_EQ(img->Picture().PixelColor(1, 0), gfx::ColorToRGB(gfx::clRed));
  EXPECT_EQ(pmn->Items().Count(), 1);
  EXPECT_EQ(pmn->Items().Items(0)->Caption, "Remove Rootkit...");
  EXPECT_EQ(form.ActiveControl(), pB);
  EXPECT_EQ(pnl->Width(), 200) << "aligned to the top";
  EXPECT_EQ(pB->TabOrder(), 0);
  EXPECT_EQ(pnl->TabOrder(), 1);
  // pA's properties as the text stores them, then every Loaded, after the whole tree was read.
  EXPECT_EQ(gLog, (std::vector<std::string>{"pA.Second", "pA.First", "pA.Loaded", "pB.Loaded"}));
  EXPECT_FALSE(form.Loading());
}

TEST_F(UiFixture, LayoutErrorsNameClassPropertyAndLine) {
  struct Case {
    const char* Text;
    const char* Message;
  };
  const Case cases[] = {
      {"object f: TfrmDemo\n  object l: TLabel\n    Colour = clRed\n  end\nend\n", "Line 3: class TLabel has no property 'Colour'"},
      {"object f: TfrmDemo\n  Font.Weight = 3\nend\n", "Line 2: class TFont has no property 'Weight' (TfrmDemo.Font.Weight)"},
      {"object f: TfrmDemo\n  object x: TNothing\n  end\nend\n", "Line 2: Class TNothing not found"},
      {"object f: TfrmDemo\n  Visible = Maybe\nend\n", "Line 2: invalid value for property TfrmDemo.Visible"},
      {"object f: TfrmDemo\n  Caption = 'open\nend\n", "Line 2: unterminated string"},
      {"object f: TfrmDemo\n  ActiveControl = nobody\nend\n", "Line 2: no component named nobody for TfrmDemo.ActiveControl"},
      {"object f: TfrmDemo\n  OnClick = missing\nend\n", "Line 2: method missing not found for TfrmDemo.OnClick"},
      {"object f: TOther\nend\n", "Line 1: the layout is for TOther, not TfrmDemo"},
      {"object f: TfrmDemo\n  Left = 12abc\nend\n", "Line 2: integer expected, found \"abc\""},
      {"object f: TfrmDemo\n  Caption = 'x'\n", "Line 3: property, \"object\" or \"end\" expected, found end of text"},
      {"object f: TfrmDemo\n  Left = 9999999999999999999\nend\n", "Line 2: number too large"},
      {"object f: TfrmDemo\n  OnClick = pnlMouseDown\nend\n", "Line 2: method pnlMouseDown does not fit the event TfrmDemo.OnClick"},
      {"object f: TfrmDemo\n  OnMouseDown = lblLinkClick\nend\n", "Line 2: method lblLinkClick does not fit the event TfrmDemo.OnMouseDown"},
      {"object f: TfrmDemo\n  Left = 2147483648\nend\n", "Line 2: value out of range for TfrmDemo.Left"},
      {"object f: TfrmDemo\n  Font.Height = -$80000001\nend\n", "Line 2: value out of range for TfrmDemo.Font.Height"},
      // Paths through the objects a component owns.
      {"object f: TfrmDemo\n  Font.Charset = 300\nend\n", "Line 2: A character set is a number from 0 to 255 (TfrmDemo.Font.Charset)"},
      {"object f: TfrmDemo\n  Font.Charset = KLINGON_CHARSET\nend\n", "Line 2: invalid value for property TfrmDemo.Font.Charset"},
      {"object f: TfrmDemo\n  Font = 3\nend\n", "Line 2: invalid value for property TfrmDemo.Font"},
      {"object f: TfrmDemo\n  Caption.Text = 'x'\nend\n", "Line 2: class TfrmDemo has no property 'Caption.Text'"},
      {"object f: TfrmDemo\n  object s: TShape\n    Pen.Colour.Red = 1\n  end\nend\n",
       "Line 3: class TPen has no property 'Colour' (TShape.Pen.Colour.Red)"},
      {"object f: TfrmDemo\n  object m: TPopupMenu\n  end\n  ActiveControl = m\nend\n",
       "Line 4: m is a TPopupMenu, not what TfrmDemo.ActiveControl takes"},
  };
  for (const Case& c : cases) {
    TfrmDemo form(nullptr);
    try {
      ReadLayout(c.Text, form);
      ADD_FAILURE() << "accepted: " << c.Text;
    } catch (const ELayoutError& e) {
      EXPECT_STREQ(e.what(), c.Message);
    }
    EXPECT_FALSE(form.Loading());
  }
}

TEST_F(UiFixture, LayoutNamesHandlersOfEveryEventType) {
  TfrmDemo form(nullptr);
  ReadLayout("object f: TfrmDemo\n  ClientWidth = 100\n  ClientHeight = 50\n"
             "  object pnl: TPanel\n    Left = 10\n    Top = 10\n    Width = 50\n    Height = 20\n"
             "    OnMouseDown = pnlMouseDown\n  end\nend\n",
             form);
  form.Show();
  Host.Windows.at(0)->Click(15, 12);
  EXPECT_EQ(form.Clicked, (std::vector<std::string>{"pnl@5,2"}));
}

struct Shown : UiFixture {
  void SetUp() override {
    UiFixture::SetUp();
    Form = std::make_unique<TfrmDemo>(nullptr);
    ReadLayout(DemoLayout(), *Form);
    Form->Show();
    ASSERT_EQ(Host.Windows.size(), 1u);
    Window = Host.Windows[0];
    gLog.clear();
  }
  TProbe& Probe(const char* name) { return *dynamic_cast<TProbe*>(Form->FindComponent(name)); }
  std::unique_ptr<TfrmDemo> Form;
  THeadlessWindow* Window = nullptr;
};

TEST_F(Shown, WindowTakesTheFormsStyleAndIsCentred) {
  EXPECT_TRUE(Window->Visible);
  EXPECT_EQ(Window->Options.Caption, "Demo");
  EXPECT_FALSE(Window->Options.Sizeable);
  EXPECT_TRUE(Window->Options.MinimizeBox);
  EXPECT_FALSE(Window->Options.MaximizeBox);
  EXPECT_EQ(Window->Left, (1024 - 200) / 2);
  EXPECT_EQ(Window->Picture.Width(), 200);
  EXPECT_EQ(Form->FocusedControl(), &Probe("pB")) << "the active control from the layout";
  EXPECT_EQ(Screen().ActiveForm(), Form.get());
  EXPECT_EQ(Screen().ActiveControl(), &Probe("pB"));
}

TEST_F(Shown, TabMovesTheFocusInTabOrderAndFocusChangesReachEveryControl) {
  Window->Key(VK_TAB);
  EXPECT_EQ(Form->FocusedControl(), &Probe("pA"));
  EXPECT_EQ(gLog, (std::vector<std::string>{"pB.killfocus", "pA.setfocus", "pA.focuschanged", "pB.focuschanged"}));
  Window->Key(VK_TAB);
  EXPECT_EQ(Form->FocusedControl(), &Probe("pB")) << "wraps round";
  Window->Key(VK_TAB, ssShift);
  EXPECT_EQ(Form->FocusedControl(), &Probe("pA"));
  Probe("pB").SetEnabled(false);
  Window->Key(VK_TAB);
  EXPECT_EQ(Form->FocusedControl(), &Probe("pA")) << "a disabled control is skipped";
  EXPECT_FALSE(Form->FocusControl(&Probe("pB")));
}

TEST_F(Shown, DialogKeysGoToGraphicControlsFirstThenWindowedStoppingAtTheFirstTaker) {
  Window->Key(VK_ESCAPE);
  // The form's graphic controls (the shape, the picture) say nothing; the panel offers its label,
  // then pA, which takes Escape; pB is never asked.
  EXPECT_EQ(gLog, (std::vector<std::string>{"lblLink.key", "pA.key"}));
  gLog.clear();
  Window->Key(VK_RETURN);
  EXPECT_EQ(gLog, (std::vector<std::string>{"lblLink.key", "pA.key", "pB.key"}));
}

TEST_F(Shown, AcceleratorCharactersAreOfferedTheSameWay) {
  Probe("pB").AnswerKey = 'x';
  Window->Char('x');
  EXPECT_EQ(gLog, (std::vector<std::string>{"lblLink.char", "pA.char", "pB.char"}));
  gLog.clear();
  Window->Char('e', ssAlt);
  EXPECT_EQ(gLog.size(), 3u);
}

TEST_F(Shown, AltF4ClosesTheFormAfterTheControlsSawIt) {
  Application().Initialize();
  Window->Key(VK_F4, ssAlt);
  EXPECT_EQ(gLog, (std::vector<std::string>{"lblLink.key", "pA.key", "pB.key"}));
  EXPECT_FALSE(Window->Visible);
}

TEST_F(Shown, HitTestAndCapture) {
  // pA sits at (100, 10) in the panel at (0, 0).
  EXPECT_EQ(Form->FindControlAt({105, 15}, false), &Probe("pA"));
  EXPECT_EQ(Form->FindControlAt({5, 95}, false), Form.get());
  Probe("pA").SetEnabled(false);
  EXPECT_EQ(Form->FindControlAt({105, 15}, false), Form->FindComponent("pnl"));
  EXPECT_EQ(Form->FindControlAt({105, 15}, true), &Probe("pA"));
  Probe("pA").SetEnabled(true);

  Window->MouseDown(105, 15);
  EXPECT_EQ(Form->CaptureControl(), &Probe("pA"));
  EXPECT_TRUE(Window->Captured);
  Window->MouseMove(190, 90);  // far outside: still pA's, in its own coordinates
  Window->MouseUp(190, 90);
  EXPECT_EQ(Form->CaptureControl(), nullptr);
  EXPECT_FALSE(Window->Captured);
  EXPECT_EQ(gLog, (std::vector<std::string>{"pA.move 5,5", "pA.down 5,5", "pA.move 90,80", "pA.up 90,80"}));
}

TEST_F(Shown, ClickOnALinkLabelWithHandCursorAndHintAfterTheDelay) {
  Window->MouseMove(10, 12);
  EXPECT_EQ(Window->Cursor, platform::MouseCursor::Hand);
  EXPECT_FALSE(Window->HintVisible);
  Host.AdvanceTime(499);
  EXPECT_FALSE(Window->HintVisible);
  Host.AdvanceTime(1);
  EXPECT_TRUE(Window->HintVisible);
  EXPECT_EQ(Application().HintShown(), "Visit");
  EXPECT_EQ(Window->HintY, Window->Top + 8 + 13 + 2) << "below the label";
  // The hint's picture: a frame, the info background, the text (test-font boxes) inset by 4, 2.
  const gfx::TBitmap& hint = Window->HintPicture;
  ASSERT_EQ(hint.Width(), 5 * 6 + 8);
  EXPECT_EQ(hint.PixelColor(hint.Width() - 1, hint.Height() - 1), 0u);
  EXPECT_EQ(hint.PixelColor(1, 1), gfx::ColorToRGB(gfx::clInfoBk));
  EXPECT_EQ(hint.PixelColor(4 + 1, 2 + 5), gfx::ColorToRGB(gfx::clInfoText));
  Window->Click(10, 12);
  EXPECT_FALSE(Window->HintVisible) << "a click takes the hint away";
  EXPECT_EQ(Form->Clicked, (std::vector<std::string>{"lblLink"}));
  Window->MouseDown(10, 12);
  Window->MouseUp(190, 95);  // released elsewhere: no click
  EXPECT_EQ(Form->Clicked.size(), 1u);
  Window->MouseMove(190, 5);
  EXPECT_EQ(Window->Cursor, platform::MouseCursor::Arrow);
}

TEST_F(Shown, GraphicAndWindowedControlsHearThePointerComeAndGo) {
  std::vector<std::string> heard;
  for (const char* name : {"lblLink", "shp", "pA"}) {
    auto& control = *dynamic_cast<TControl*>(Form->FindComponent(name));
    control.OnMouseEnter = [&heard](TComponent* c) { heard.push_back(c->Name() + " enter"); };
    control.OnMouseLeave = [&heard](TComponent* c) { heard.push_back(c->Name() + " leave"); };
  }
  Window->MouseMove(10, 12);   // the link label
  Window->MouseMove(12, 13);   // still on it: nothing new
  Window->MouseMove(160, 75);  // the shape, straight from the label
  Window->MouseMove(105, 15);  // pA
  Window->MouseMove(5, 95);    // the form itself
  EXPECT_EQ(heard, (std::vector<std::string>{"lblLink enter", "lblLink leave", "shp enter", "shp leave", "pA enter", "pA leave"}));
}

TEST_F(Shown, PaintsTheTreeIntoTheFormBitmap) {
  const gfx::TBitmap& p = Window->Picture;
  const gfx::TColorRef face = gfx::ColorToRGB(gfx::clBtnFace);
  EXPECT_EQ(p.PixelColor(0, 0), gfx::ColorToRGB(gfx::clBtnHighlight)) << "the panel's raised bevel";
  EXPECT_EQ(p.PixelColor(199, 59), gfx::ColorToRGB(gfx::clBtnShadow));
  EXPECT_EQ(p.PixelColor(5, 95), face);
  EXPECT_EQ(p.PixelColor(8 + 1, 8 + 11), 0u) << "the link's underline";
  EXPECT_EQ(p.PixelColor(150 + 20, 65), gfx::ColorToRGB(static_cast<gfx::TColor>(13099453))) << "the shape's outline";
  EXPECT_EQ(p.PixelColor(150 + 20, 65 + 15), face) << "a clear brush";
  EXPECT_EQ(p.PixelColor(61, 70), gfx::ColorToRGB(gfx::clRed)) << "the picture";
  EXPECT_EQ(p.PixelColor(60, 71), face) << "its white (bottom-left) colour left out";
}

TEST_F(Shown, AMenuNoControlUsesIsNeverShown) {
  // pmn belongs to the form but is nobody's PopupMenu: no click or key anywhere shows it.
  auto* pmn = dynamic_cast<TPopupMenu*>(Form->FindComponent("pmn"));
  const gfx::TPoint points[] = {{105, 15}, {10, 12}, {15, 75}, {5, 95}, {170, 80}};
  for (const gfx::TPoint& p : points) {
    Window->MouseDown(p.X, p.Y, TMouseButton::mbRight);
    Window->MouseUp(p.X, p.Y, TMouseButton::mbRight);
  }
  Window->Key(VK_APPS);
  Window->Key(VK_F10, ssShift);
  EXPECT_EQ(pmn->PopupCount(), 0);
  EXPECT_EQ(Host.Windows.size(), 1u) << "no menu window was made";
}

// The demo form with its popup menu on the top panel; the test font makes every text box exact.
// Menu rows, 124 x 66 pixels: "&Scan again" 3..20, "Save &report..." (disabled) 20..37, the
// separator 37..46, "&About Kestrova" 46..63; "Hidden" is left out.
struct Menu : ::testing::Test {
  void SetUp() override {
    Application().SetHost(&Host);
    Form = testing::LoadDemoForm();
    Form->Show();
    Window = Host.Windows.at(0);
    Items = dynamic_cast<TPopupMenu*>(Form->FindComponent("pmnDemo"));
    ASSERT_NE(Items, nullptr);
  }
  void TearDown() override {
    Form.reset();
    Application().SetHost(nullptr);
  }
  // Steps that run one by one while the menu is up, each given the menu's window.
  void WhileShown(std::initializer_list<std::function<void(THeadlessWindow&)>> steps) {
    for (const auto& step : steps)
      Host.Steps.push_back([this, step] {
        THeadlessWindow* menu = Host.Popup();
        ASSERT_NE(menu, nullptr) << "the menu is up";
        step(*menu);
      });
  }
  void RightClick(int x, int y) {
    Window->MouseDown(x, y, TMouseButton::mbRight);
    Window->MouseUp(x, y, TMouseButton::mbRight);
  }
  static void ClickAt(THeadlessWindow& menu, int x, int y) {
    menu.MouseDown(x, y);
    menu.MouseUp(x, y);
  }
  testing::UseTestFont Font;
  THeadlessHost Host;
  std::unique_ptr<testing::TDemoForm> Form;
  THeadlessWindow* Window = nullptr;
  TPopupMenu* Items = nullptr;
};

TEST(PopupPlacement, FlipsAtTheRightAndBottomEdgesThenShiftsOntoTheScreen) {
  struct Case {
    gfx::TPoint At;
    int Width, Height;
    gfx::TPoint Expected;
  };
  const Case cases[] = {
      {{100, 100}, 124, 66, {100, 100}},   // fits
      {{950, 100}, 124, 66, {826, 100}},   // right edge: to the left of the point
      {{100, 740}, 124, 66, {100, 674}},   // bottom edge: above the point
      {{1023, 767}, 124, 66, {899, 701}},  // the corner: both
      {{900, 400}, 124, 66, {900, 400}},   // exactly touching the right edge (1024) still fits
      {{60, 700}, 124, 720, {60, 0}},      // flipped above the top: shifted down onto the screen
      {{50, 10}, 1100, 66, {0, 10}},       // wider than the screen: its left edge shows
  };
  for (const Case& c : cases)
    EXPECT_EQ(PlacePopup(c.At, c.Width, c.Height, 1024, 768), c.Expected) << c.At.X << "," << c.At.Y;
}

TEST_F(Menu, RightClickOnThePanelShowsItsMenuAtThePointerAndAClickRunsTheItemAfterwards) {
  bool popped = false;
  Items->OnPopup = [&](TComponent*) { popped = true; };
  std::string seen;
  dynamic_cast<TMenuItem*>(Form->FindComponent("mniScan"))->OnClick = [&](TComponent* sender) {
    seen = sender->Name() + (Host.Popup() ? " while the menu is up" : " after the menu went") +
           (Items->Tracking() ? ", tracking" : "");
  };
  WhileShown({
      [&](THeadlessWindow& menu) {
        EXPECT_TRUE(popped);
        EXPECT_TRUE(menu.Options.Popup);
        EXPECT_TRUE(menu.Captured) << "it holds the pointer";
        EXPECT_EQ(menu.Left, Window->Left + 250);
        EXPECT_EQ(menu.Top, Window->Top + 70);
        EXPECT_EQ(menu.Picture.Width(), 124);
        EXPECT_EQ(menu.Picture.Height(), 66);
        EXPECT_EQ(Items->PopupComponent(), Form->FindComponent("pnlTop"));
      },
      [&](THeadlessWindow& menu) { ClickAt(menu, 30, 10); },
  });
  RightClick(250, 70);  // the panel itself
  EXPECT_EQ(seen, "mniScan after the menu went");
  EXPECT_EQ(Items->PopupCount(), 1);
  EXPECT_TRUE(Host.Steps.empty());
  EXPECT_EQ(Host.Windows.size(), 1u) << "the menu window is gone";
  EXPECT_EQ(Form->Clicked, std::vector<std::string>{}) << "the item's own handler was replaced";
}

TEST_F(Menu, ARightClickAsksTheControlThenItsParentsForAMenu) {
  struct Case {
    const char* Where;
    gfx::TPoint At;
    bool Shows;
  };
  const Case cases[] = {
      {"the panel", {250, 70}, true},
      {"the title label on it", {60, 18}, true},
      {"the picture on it", {20, 20}, true},
      {"a box on the form", {200, 120}, false},
      {"the form", {170, 195}, false},
      {"the shape on the form", {20, 180}, false},
  };
  for (const Case& c : cases) {
    const int before = Items->PopupCount();
    bool shown = false;
    WhileShown({[&](THeadlessWindow& menu) {
      shown = true;
      menu.Key(VK_ESCAPE);
    }});
    RightClick(c.At.X, c.At.Y);
    EXPECT_EQ(shown, c.Shows) << c.Where;
    EXPECT_EQ(Items->PopupCount() - before, c.Shows ? 1 : 0) << c.Where;
    Host.Steps.clear();
  }
  EXPECT_TRUE(Form->Clicked.empty());
}

TEST_F(Menu, APressOutsideEscapeAndPressesOnWhatCannotBeChosenChooseNothing) {
  struct Case {
    const char* Name;
    std::function<void(THeadlessWindow&)> Step;
    bool Closes;
  };
  const Case cases[] = {
      {"left press outside", [](THeadlessWindow& m) { m.MouseDown(-5, 10); }, true},
      {"right press outside", [](THeadlessWindow& m) { m.MouseDown(200, 30, TMouseButton::mbRight); }, true},
      {"Escape", [](THeadlessWindow& m) { m.Key(VK_ESCAPE); }, true},
      {"Enter with nothing highlighted", [](THeadlessWindow& m) { m.Key(VK_RETURN); }, true},
      {"the disabled item", [](THeadlessWindow& m) { ClickAt(m, 30, 28); }, false},
      {"the separator", [](THeadlessWindow& m) { ClickAt(m, 30, 41); }, false},
      {"the frame", [](THeadlessWindow& m) { ClickAt(m, 1, 1); }, false},
  };
  for (const Case& c : cases) {
    bool stillUp = false;
    WhileShown({c.Step, [&](THeadlessWindow& m) {
                  stillUp = true;
                  m.Key(VK_ESCAPE);
                }});
    RightClick(250, 70);
    EXPECT_EQ(!stillUp, c.Closes) << c.Name;
    EXPECT_EQ(Host.Popup(), nullptr) << c.Name;
    Host.Steps.clear();
  }
  EXPECT_TRUE(Form->Clicked.empty()) << "nothing was chosen";
}

TEST_F(Menu, KeysMoveOverEnabledItemsWrappingAndChooseWithEnterOrTheAccelerator) {
  struct Case {
    const char* Name;
    std::vector<unsigned> Keys;  // a character when above 0xFF: its low byte
    const char* Chosen;          // null: Escape closed it
  };
  constexpr unsigned kChar = 0x100;
  const Case cases[] = {
      {"Down, Enter", {VK_DOWN, VK_RETURN}, "mniScan"},
      {"Down skips the disabled item and the separator", {VK_DOWN, VK_DOWN, VK_RETURN}, "mniAbout"},
      {"Down wraps round", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, "mniScan"},
      {"Up starts at the bottom", {VK_UP, VK_RETURN}, "mniAbout"},
      {"Up wraps round", {VK_UP, VK_UP, VK_RETURN}, "mniScan"},
      {"an accelerator, either case", {kChar | 'a'}, "mniAbout"},
      {"S", {kChar | 'S'}, "mniScan"},
      {"a disabled item's accelerator does nothing", {kChar | 'r', VK_ESCAPE}, nullptr},
      {"a character no item has does nothing", {kChar | 'q', VK_ESCAPE}, nullptr},
  };
  for (const Case& c : cases) {
    Form->Clicked.clear();
    for (unsigned key : c.Keys)
      WhileShown({[key](THeadlessWindow& m) {
        if (key & kChar) m.Char(static_cast<char>(key & 0xFF));
        else m.Key(key);
      }});
    RightClick(250, 70);
    EXPECT_EQ(Form->Clicked, c.Chosen ? std::vector<std::string>{c.Chosen} : std::vector<std::string>{}) << c.Name;
    EXPECT_TRUE(Host.Steps.empty()) << c.Name;
    Host.Steps.clear();
  }
}

TEST_F(Menu, TheMenuKeyAndShiftF10ShowTheFocusedControlsMenuAtItsCorner) {
  auto& panel = *dynamic_cast<TWinControl*>(Form->FindComponent("pnlTop"));
  ASSERT_TRUE(Form->FocusControl(&panel));
  for (TShiftState shift : {TShiftState{0}, TShiftState{ssShift}}) {
    gfx::TPoint at{-1, -1};
    WhileShown({[&](THeadlessWindow& m) {
      at = {m.Left, m.Top};
      m.Key(VK_ESCAPE);
    }});
    Window->Key(shift ? VK_F10 : VK_APPS, shift);
    EXPECT_EQ(at, panel.ClientToScreen({0, 0})) << int{shift};
  }
  Window->Key(VK_F10);  // F10 alone is no context menu
  EXPECT_EQ(Items->PopupCount(), 2);
  Host.Steps.clear();
}

TEST_F(Menu, TheMenuStaysOnTheScreenAtItsEdges) {
  // The screen ends just right of and below the panel's corner point: the menu opens up and left.
  Host.ScreenWidth = Window->Left + 300;
  Host.ScreenHeight = Window->Top + 100;
  gfx::TPoint at;
  WhileShown({[&](THeadlessWindow& m) {
    at = {m.Left, m.Top};
    m.Key(VK_ESCAPE);
  }});
  RightClick(250, 70);
  EXPECT_EQ(at, (gfx::TPoint{Window->Left + 250 - 124, Window->Top + 70 - 66}));
}

TEST_F(Menu, ThePointerHighlightsAndTheMenuIsDrawnInTheClassicLook) {
  gfx::TBitmap plain, hot;
  WhileShown({
      [&](THeadlessWindow& m) { plain.Assign(m.Picture); },
      [&](THeadlessWindow& m) { m.MouseMove(60, 12); },
      [&](THeadlessWindow& m) {
        hot.Assign(m.Picture);
        m.MouseMove(60, 41);  // the separator: nothing is highlighted
        EXPECT_EQ(m.Picture.PixelColor(10, 10), gfx::ColorToRGB(gfx::clMenu));
        m.MouseMove(200, 12);  // off the menu: nothing either
        EXPECT_EQ(m.Picture.PixelColor(10, 10), gfx::ColorToRGB(gfx::clMenu));
        m.Key(VK_ESCAPE);
      },
  });
  RightClick(250, 70);
  const auto rgb = [](gfx::TColor c) { return gfx::ColorToRGB(c); };
  struct Case {
    const char* What;
    int X, Y;
    gfx::TColor Color;
  };
  // Text boxes of the test font: 6 wide, glyph rows 2..9 of 13, the underline in row 11; each
  // row's text starts 17 pixels in and is centred down its row.
  const Case cases[] = {
      {"outer edge, top left", 0, 0, gfx::cl3DLight},
      {"inner edge, top left", 1, 1, gfx::clBtnHighlight},
      {"outer edge, bottom right", 123, 65, gfx::cl3DDkShadow},
      {"inner edge, bottom right", 122, 64, gfx::clBtnShadow},
      {"margin", 2, 30, gfx::clMenu},
      {"highlight bar's corner", 3, 3, gfx::clHighlight},
      {"highlight bar's other corner", 120, 19, gfx::clHighlight},
      {"below the bar", 3, 20, gfx::clMenu},
      {"highlighted text", 21, 7, gfx::clHighlightText},
      {"highlighted accelerator underline", 22, 16, gfx::clHighlightText},
      {"no underline under the next letter", 28, 16, gfx::clHighlight},
      {"disabled text: the shadow", 21, 24, gfx::clBtnShadow},
      {"disabled text: the highlight below and right", 25, 32, gfx::clBtnHighlight},
      {"disabled accelerator underline", 52, 33, gfx::clBtnShadow},
      {"separator: shadow line", 10, 41, gfx::clBtnShadow},
      {"separator: highlight line", 10, 42, gfx::clBtnHighlight},
      {"above the separator", 10, 40, gfx::clMenu},
      {"plain text", 21, 50, gfx::clMenuText},
      {"plain accelerator underline", 22, 59, gfx::clMenuText},
  };
  for (const Case& c : cases) EXPECT_EQ(hot.PixelColor(c.X, c.Y), rgb(c.Color)) << c.What;
  EXPECT_EQ(plain.PixelColor(3, 3), rgb(gfx::clMenu)) << "nothing highlighted at first";
  EXPECT_EQ(plain.PixelColor(21, 7), rgb(gfx::clMenuText));
}

}  // namespace
}  // namespace kestrova::ui
