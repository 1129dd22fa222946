// gui/ layer 2 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Colours, fonts, brushes, pens, canvases over device contexts, bitmaps and
// pictures. Every GDI object is made on demand from its properties and owned by
// the object that made it; changing a property drops the handle and fires
// OnChange, so whoever shows the object (a window, a canvas) takes the new one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "classes/persistent.h"
#include "classes/sets.h"
#include "classes/typinfo.h"
#include "gui/handles.h"

class TStream;

// --- Colours --------------------------------------------------------------------

// An RGB value (0x00BBGGRR), or a system colour: the high bit set and the
// COLOR_ index in the low byte, resolved when drawn.
using TColor = int32_t;

constexpr TColor SystemColor(int Index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(Index)); }

inline constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR);
inline constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
inline constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
inline constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
inline constexpr TColor clMenu = SystemColor(COLOR_MENU);
inline constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
inline constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
inline constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
inline constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
inline constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
inline constexpr TColor clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
inline constexpr TColor clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
inline constexpr TColor clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
inline constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
inline constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
inline constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
inline constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
inline constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
inline constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
inline constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
inline constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
inline constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
inline constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
inline constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);
inline constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
// "No colour" (nothing is painted) and "whatever the control's default is".
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The RGB value a colour stands for now (system colours resolved).
COLORREF ColorToRGB(TColor Color);
// The colour identifiers form resources use ("clBtnFace", "clRed", ...).
const TIdentMap& ColorIdents();

// The screen's logical pixels per inch (vertical), read once.
int ScreenPixelsPerInch();

// --- Fonts, brushes, pens -----------------------------------------------------

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;

const TEnumInfo& FontStyleNames();
const TEnumInfo& FontPitchNames();
// The character-set identifiers form resources use ("DEFAULT_CHARSET", ...).
const TIdentMap& CharsetIdents();

// What fonts, brushes and pens share: an OnChange fired after each change.
class TGraphicsObject : public TPersistent {
  DECLARE_CLASS(TGraphicsObject)
public:
  TNotifyEvent OnChange;

protected:
  virtual void Changed();
};

// A logical font. Height is in pixels (negative: character height, as form
// resources store it); Size is in points at PixelsPerInch.
class TFont : public TGraphicsObject {
  DECLARE_CLASS(TFont)
public:
  TFont();
  ~TFont() override;

  // The GDI font for the current properties, made on first use and owned.
  HFONT Handle();
  bool HandleAllocated() const { return Handle_.Valid(); }

  const std::string& Name() const { return Name_; }
  void SetName(const std::string& Value);
  int Height() const { return Height_; }
  void SetHeight(int Value);
  int Size() const;
  void SetSize(int Value);
  TFontStyles Style() const { return Style_; }
  void SetStyle(TFontStyles Value);
  TColor Color() const { return Color_; }
  void SetColor(TColor Value);
  TFontCharset Charset() const { return Charset_; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return Pitch_; }
  void SetPitch(TFontPitch Value);
  int PixelsPerInch() const { return PixelsPerInch_; }
  void SetPixelsPerInch(int Value);

  // Copies every property of another font (one OnChange, none if nothing differs).
  void Assign(const TPersistent* Source) override;
  bool SameAs(const TFont& Other) const;

protected:
  void Changed() override;

private:
  std::string Name_ = "MS Sans Serif";
  int Height_ = -11;
  TFontStyles Style_;
  TColor Color_ = clWindowText;
  TFontCharset Charset_ = DEFAULT_CHARSET;
  TFontPitch Pitch_ = fpDefault;
  int PixelsPerInch_;
  TGdiObject<HFONT> Handle_;
};

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
  DECLARE_CLASS(TBrush)
public:
  TBrush() = default;
  // A solid brush of the colour, or the hollow stock brush for bsClear.
  HBRUSH Handle();
  TColor Color() const { return Color_; }
  void SetColor(TColor Value);
  TBrushStyle Style() const { return Style_; }
  void SetStyle(TBrushStyle Value);
  void Assign(const TPersistent* Source) override;

protected:
  void Changed() override;

private:
  TColor Color_ = clWhite;
  TBrushStyle Style_ = bsSolid;
  TGdiObject<HBRUSH> Handle_;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };

class TPen : public TGraphicsObject {
  DECLARE_CLASS(TPen)
public:
  TPen() = default;
  HPEN Handle();
  TColor Color() const { return Color_; }
  void SetColor(TColor Value);
  int Width() const { return Width_; }
  void SetWidth(int Value);
  TPenStyle Style() const { return Style_; }
  void SetStyle(TPenStyle Value);
  void Assign(const TPersistent* Source) override;

protected:
  void Changed() override;

private:
  TColor Color_ = clBlack;
  int Width_ = 1;
  TPenStyle Style_ = psSolid;
  TGdiObject<HPEN> Handle_;
};

// --- Canvas -----------------------------------------------------------------------

class TGraphic;

// Drawing on a device context with the canvas's font, brush and pen. The DC is
// either handed in (SetHandle: borrowed, e.g. during WM_PAINT) or made on demand
// by a derived canvas (CreateHandle). The canvas's objects are selected into the
// DC as each operation needs them and deselected before the DC is given back.
class TCanvas : public TPersistent {
  DECLARE_CLASS(TCanvas)
public:
  TCanvas();
  ~TCanvas() override;

  // The DC; a canvas that cannot make one raises EInvalidGraphicOperation.
  HDC Handle();
  // Borrows DC (not owned); null gives back the current one.
  void SetHandle(HDC DC);
  bool HandleAllocated() const { return DC_ != nullptr; }

  TFont& Font() { return Font_; }
  TBrush& Brush() { return Brush_; }
  TPen& Pen() { return Pen_; }

  SIZE TextExtent(const std::string& Text);
  int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
  int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }
  void TextOut(int X, int Y, const std::string& Text);
  // Text clipped to Rect, starting at X, Y; the rectangle is filled with the brush first.
  void TextRect(const RECT& Rect, int X, int Y, const std::string& Text);
  // DrawTextA with the canvas's font, transparent unless the brush is solid;
  // with DT_CALCRECT, Rect receives the size. Returns the text's height.
  int FormatText(const std::string& Text, RECT& Rect, UINT Format);
  void FillRect(const RECT& Rect);
  void FrameRect(const RECT& Rect);
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);
  // A graphic at its own size with its top left at X, Y; stretched onto Rect.
  void Draw(int X, int Y, TGraphic* Graphic);
  void StretchDraw(const RECT& Rect, TGraphic* Graphic);

  // Gives the DC back (derived canvases) after deselecting our objects.
  virtual void FreeHandle();

protected:
  // Makes a DC and calls SetOwnHandle; the plain canvas has none to make.
  virtual void CreateHandle();
  // Takes DC as one this canvas made and will give back in FreeHandle.
  void SetOwnHandle(HDC DC);
  void Deselect();
  void RequireFont();
  void RequireBrush();
  void RequirePen();

private:
  // Selects Object into the DC in Slot, which puts the DC's own object back later.
  void Require(std::optional<TSelectedObject>& Slot, HGDIOBJ Object);

  TFont Font_;
  TBrush Brush_;
  TPen Pen_;
  HDC DC_ = nullptr;  // not owned
  std::optional<TSelectedObject> SelectedFont_, SelectedBrush_, SelectedPen_;
};

// --- Graphics -------------------------------------------------------------------------

INSTBRISKO_EXCEPTION(EInvalidGraphic, Exception);
INSTBRISKO_EXCEPTION(EInvalidGraphicOperation, Exception);

// An image that can draw itself and store itself as bytes.
class TGraphic : public TPersistent {
  DECLARE_CLASS(TGraphic)
public:
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Draws onto Rect of the canvas, stretched when the sizes differ.
  virtual void Draw(TCanvas& Canvas, const RECT& Rect) = 0;
  // The graphic's file format (a BMP file for bitmaps); a bad one raises EInvalidGraphic.
  virtual void LoadFromStream(TStream& Stream) = 0;
  virtual void SaveToStream(TStream& Stream) = 0;
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  TNotifyEvent OnChange;

protected:
  virtual void Changed();
};

// A device-independent bitmap. Form resources store it as the defined binary
// property "Data": a 32-bit little-endian byte count followed by a BMP file.
class TBitmap : public TGraphic {
  DECLARE_CLASS(TBitmap)
public:
  TBitmap();
  ~TBitmap() override;

  bool Empty() const override { return !Handle_; }
  int Width() const override { return Width_; }
  int Height() const override { return Height_; }
  void SetWidth(int Value) { SetSize(Value, Height_); }
  void SetHeight(int Value) { SetSize(Width_, Value); }
  // A new 32-bit image of that size, filled white; 0 × 0 empties the bitmap.
  void SetSize(int Width, int Height);

  void Draw(TCanvas& Canvas, const RECT& Rect) override;
  // Draws the part Source of the image onto Rect of DC; with Transparent the
  // pixels of TransparentColor are left out.
  void DrawPart(HDC DC, const RECT& Rect, const RECT& Source, bool Transparent);
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  // The image from the bytes of a BMP file, and back.
  void LoadFromBytes(const std::vector<uint8_t>& Bytes);
  std::vector<uint8_t> SaveToBytes();

  // The DIB section; owned by the bitmap.
  HBITMAP Handle() const { return Handle_.Get(); }
  // A canvas drawing on the image; drawing marks the stored bytes stale.
  TCanvas& Canvas();
  COLORREF Pixel(int X, int Y);
  // The colour left out when drawn transparently: the bottom-left pixel.
  COLORREF TransparentColor();
  bool Transparent() const { return Transparent_; }
  void SetTransparent(bool Value);

  void Assign(const TPersistent* Source) override;
  void DefineProperties(TFiler& Filer) override;
  // The "Data" value: 32-bit length and the BMP file.
  void ReadData(TStream& Stream);
  void WriteData(TStream& Stream);

private:
  class TBitmapCanvas;
  void Clear();
  HDC MemoryDC();
  void Adopt(TGdiObject<HBITMAP> Bitmap, int Width, int Height);

  TGdiObject<HBITMAP> Handle_;
  int Width_ = 0;
  int Height_ = 0;
  bool Transparent_ = false;
  // The bytes the image came from, written back unchanged while nobody drew on it.
  std::vector<uint8_t> FileBytes_;
  // Declared after the image and the DC: it goes first, deselecting the image.
  TMemoryDC DC_;
  std::optional<TSelectedObject> Selected_;  // the image in DC_
  std::unique_ptr<TCanvas> Canvas_;
};

// Holds one graphic (a bitmap). Form resources store it as "Data": a one-byte
// length, the graphic's class name ("TBitmap"), then that graphic's "Data".
class TPicture : public TPersistent {
  DECLARE_CLASS(TPicture)
public:
  TPicture() = default;
  ~TPicture() override;

  TGraphic* Graphic() const { return Graphic_; }
  // Copies Value (null empties the picture).
  void SetGraphic(TGraphic* Value);
  // The held bitmap; makes an empty one when the picture holds none.
  TBitmap* Bitmap();
  int Width() const { return Graphic_ ? Graphic_->Width() : 0; }
  int Height() const { return Graphic_ ? Graphic_->Height() : 0; }
  bool Empty() const { return !Graphic_ || Graphic_->Empty(); }
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

  // Copies the graphic of another picture, or a graphic itself.
  void Assign(const TPersistent* Source) override;
  void DefineProperties(TFiler& Filer) override;

  TNotifyEvent OnChange;

private:
  void Changed();
  void Own(TGraphic* G);
  TGraphic* Graphic_ = nullptr;
};
