#include "gui/buttons.h"

#include <algorithm>

void RegisterButtonsClasses() { RegisterComponentClass(TBitBtn::StaticClassInfo()); }

const TEnumInfo& ButtonLayoutNames() {
  static const TEnumInfo Names{"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"};
  return Names;
}

BEGIN_CLASS_INFO(TBitBtn, TButton, ComponentCreator<TBitBtn>)
  P.Obj<TBitmap>("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
  P.Enum("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout, ButtonLayoutNames(), blGlyphLeft);
  P.Int("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin, -1);
  P.Int("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs, 1);
  P.Int("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing, 4);
END_CLASS_INFO

TBitBtn::TBitBtn(TComponent* Owner) : TButton(Owner) {
  Glyph_.OnChange = TNotifyEvent([this](TObject*) { Invalidate(); });
}

void TBitBtn::SetNumGlyphs(int Value) {
  NumGlyphs_ = std::clamp(Value, 1, 4);
  Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Value) {
  Layout_ = Value;
  Invalidate();
}

void TBitBtn::SetMargin(int Value) {
  Margin_ = std::max(Value, -1);
  Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
  Spacing_ = Value;
  Invalidate();
}

void TBitBtn::WndProc(TMessage& M) {
  switch (M.Msg) {
    case CN_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(M.LParam));
      M.Result = TRUE;
      return;
    case CN_COMMAND:
      // An owner-drawn button reports the second click of a double click as
      // BN_DOUBLECLICKED; it is a click all the same.
      if (HIWORD(M.WParam) == BN_DOUBLECLICKED) {
        Clicked();
        M.Result = 0;
        return;
      }
      break;
    case WM_GETDLGCODE:
      TButton::WndProc(M);
      M.Result |= Default() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
      return;
    default:
      break;
  }
  TButton::WndProc(M);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& Item) {
  HDC DC = Item.hDC;
  RECT R = Item.rcItem;
  const bool Down = Item.itemState & ODS_SELECTED;
  const bool Focus = Item.itemState & ODS_FOCUS;
  const bool Disabled = (Item.itemState & ODS_DISABLED) || !Enabled_;

  // The frame: a black line round the default or focused button, then the face.
  if (Default() || Focus) {
    FrameRect(DC, &R, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&R, -1, -1);
  }
  if (Down && (Default() || Focus)) {
    FrameRect(DC, &R, GetSysColorBrush(COLOR_BTNSHADOW));
    InflateRect(&R, -1, -1);
    FillRect(DC, &R, GetSysColorBrush(COLOR_BTNFACE));
  } else {
    DrawFrameControl(DC, &R, DFC_BUTTON, DFCS_BUTTONPUSH | (Down ? DFCS_PUSHED : 0));
  }

  const RECT Box = Item.rcItem;
  const int BoxW = Box.right - Box.left, BoxH = Box.bottom - Box.top;
  const int N = std::clamp(NumGlyphs_, 1, 4);
  const int GW = Glyph_.Empty() ? 0 : Glyph_.Width() / N;
  const int GH = Glyph_.Empty() ? 0 : Glyph_.Height();
  const int Image = Disabled ? (N >= 2 ? 1 : 0) : (Down && N >= 3 ? 2 : 0);

  const std::string Caption = GetText();
  TSelectedObject CaptionFont(DC, Font()->Handle());
  RECT TextSize{0, 0, 0, 0};
  if (!Caption.empty()) DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &TextSize, DT_SINGLELINE | DT_CALCRECT);
  const int TW = TextSize.right, TH = TextSize.bottom;
  const int Gap = GW && TW ? Spacing_ : 0;

  POINT GlyphAt{0, 0}, TextAt{0, 0};
  const bool Horizontal = Layout_ == blGlyphLeft || Layout_ == blGlyphRight;
  if (Horizontal) {
    const int Total = GW + Gap + TW;
    const int Start = Margin_ < 0 ? (BoxW - Total) / 2 : Margin_;
    if (Layout_ == blGlyphLeft) {
      GlyphAt.x = Start;
      TextAt.x = Start + GW + Gap;
    } else {
      GlyphAt.x = Margin_ < 0 ? Start + TW + Gap : BoxW - Margin_ - GW;
      TextAt.x = GlyphAt.x - Gap - TW;
    }
    GlyphAt.y = (BoxH - GH) / 2;
    TextAt.y = (BoxH - TH) / 2;
  } else {
    const int Total = GH + Gap + TH;
    const int Start = Margin_ < 0 ? (BoxH - Total) / 2 : Margin_;
    if (Layout_ == blGlyphTop) {
      GlyphAt.y = Start;
      TextAt.y = Start + GH + Gap;
    } else {
      GlyphAt.y = Margin_ < 0 ? Start + TH + Gap : BoxH - Margin_ - GH;
      TextAt.y = GlyphAt.y - Gap - TH;
    }
    GlyphAt.x = (BoxW - GW) / 2;
    TextAt.x = (BoxW - TW) / 2;
  }
  const int Shift = Down ? 1 : 0;

  if (GW > 0) {
    RECT Dest{Box.left + GlyphAt.x + Shift, Box.top + GlyphAt.y + Shift, 0, 0};
    Dest.right = Dest.left + GW;
    Dest.bottom = Dest.top + GH;
    Glyph_.DrawPart(DC, Dest, RECT{Image * GW, 0, Image * GW + GW, GH}, true);
  }
  if (!Caption.empty()) {
    RECT T{Box.left + TextAt.x + Shift, Box.top + TextAt.y + Shift, 0, 0};
    T.right = T.left + TW;
    T.bottom = T.top + TH;
    TSavedDC Saved(DC);
    SetBkMode(DC, TRANSPARENT);
    if (Disabled) {
      RECT Light = T;
      OffsetRect(&Light, 1, 1);
      SetTextColor(DC, ColorToRGB(clBtnHighlight));
      DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &Light, DT_SINGLELINE);
      SetTextColor(DC, ColorToRGB(clBtnShadow));
    } else {
      SetTextColor(DC, ColorToRGB(Font()->Color()));
    }
    DrawTextA(DC, Caption.c_str(), static_cast<int>(Caption.size()), &T, DT_SINGLELINE);
  }

  if (Focus) {
    RECT F = Box;
    InflateRect(&F, -4, -4);
    DrawFocusRect(DC, &F);
  }
}
