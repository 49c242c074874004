object frmFuzz: TForm
  Caption = 'It''s a '#39'quoted'#39' text' +
    ' joined'#13#10'over lines'
  ClientWidth = 120
  ClientHeight = 60
  Color = $00DFFBFB
  object pnl: TPanel
    Align = alClient
    BevelOuter = bvLowered
    Caption = '&Panel'
    object shp: TShape
      Left = 4
      Top = 4
      Width = 40
      Height = 30
      Shape = stRoundRect
      Pen.Color = clRed
      Brush.Style = bsClear
    end
    object lbl: TLabel
      Left = 50
      Top = 4
      Width = 60
      Caption = 'A && B wrapped text'
      WordWrap = True
      AutoSize = False
      Font.Style = [fsBold, fsUnderline]
      PopupMenu = pm
      OnClick = Clicked
    end
  end
  object pm: TPopupMenu
    object mi1: TMenuItem
      Caption = 'One'
    end
    object mi2: TMenuItem
      Caption = '-'
    end
  end
end
