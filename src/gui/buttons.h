// gui/ layer 4 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Buttons with pictures.
#pragma once

#include "gui/stdctrls.h"

// Makes TBitBtn known to the form reader (RegisterGuiClasses does).
void RegisterButtonsClasses();

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
const TEnumInfo& ButtonLayoutNames();

// A push button that shows a glyph beside its caption. Glyph holds NumGlyphs
// images of equal width side by side: normal, disabled, pressed. Pixels of the
// glyph's bottom-left colour are left out.
class TBitBtn : public TButton {
  DECLARE_CLASS(TBitBtn)
public:
  explicit TBitBtn(TComponent* Owner);
  TBitmap* Glyph() const { return const_cast<TBitmap*>(&Glyph_); }
  void SetGlyph(TBitmap* Value) { Glyph_.Assign(Value); }
  int NumGlyphs() const { return NumGlyphs_; }
  void SetNumGlyphs(int Value);
  TButtonLayout Layout() const { return Layout_; }
  void SetLayout(TButtonLayout Value);
  // Space between the edge and the glyph; -1 centres glyph and caption together.
  int Margin() const { return Margin_; }
  void SetMargin(int Value);
  // Space between the glyph and the caption.
  int Spacing() const { return Spacing_; }
  void SetSpacing(int Value);

protected:
  DWORD ButtonStyle() const override { return BS_OWNERDRAW; }
  void WndProc(TMessage& Message) override;
  void DrawItem(const DRAWITEMSTRUCT& Item);

private:
  TBitmap Glyph_;
  int NumGlyphs_ = 1;
  TButtonLayout Layout_ = blGlyphLeft;
  int Margin_ = -1;
  int Spacing_ = 4;
};
