#include "gui/graphics.h"

#include <cstring>
#include <utility>

#include "classes/streams.h"
#include "classes/sysutils.h"
#include "gui/handles.h"

// --- Colours ------------------------------------------------------------------

COLORREF ColorToRGB(TColor Color) {
  auto Bits = static_cast<uint32_t>(Color);
  if (Bits & 0x80000000u) return GetSysColor(static_cast<int>(Bits & 0xFF));
  return Bits & 0xFFFFFF;
}

const TIdentMap& ColorIdents() {
  static const TIdentMap Map{
      {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
      {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
      {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
      {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
      {clNone, "clNone"}, {clDefault, "clDefault"},
      {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"}, {clActiveCaption, "clActiveCaption"},
      {clInactiveCaption, "clInactiveCaption"}, {clMenu, "clMenu"}, {clWindow, "clWindow"},
      {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
      {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"},
      {clInactiveBorder, "clInactiveBorder"}, {clAppWorkSpace, "clAppWorkSpace"},
      {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"},
      {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
      {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
      {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
      {clInfoBk, "clInfoBk"}};
  return Map;
}

int ScreenPixelsPerInch() {
  static const int Value = [] {
    TWindowDC DC(nullptr);
    int V = DC ? GetDeviceCaps(DC.Get(), LOGPIXELSY) : 96;
    return V > 0 ? V : 96;
  }();
  return Value;
}

const TEnumInfo& FontStyleNames() {
  static const TEnumInfo Names{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
  return Names;
}

const TEnumInfo& FontPitchNames() {
  static const TEnumInfo Names{"fpDefault", "fpVariable", "fpFixed"};
  return Names;
}

const TIdentMap& CharsetIdents() {
  static const TIdentMap Map{
      {ANSI_CHARSET, "ANSI_CHARSET"}, {DEFAULT_CHARSET, "DEFAULT_CHARSET"}, {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
      {MAC_CHARSET, "MAC_CHARSET"}, {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"}, {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
      {JOHAB_CHARSET, "JOHAB_CHARSET"}, {GB2312_CHARSET, "GB2312_CHARSET"},
      {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"}, {GREEK_CHARSET, "GREEK_CHARSET"},
      {TURKISH_CHARSET, "TURKISH_CHARSET"}, {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
      {HEBREW_CHARSET, "HEBREW_CHARSET"}, {ARABIC_CHARSET, "ARABIC_CHARSET"},
      {BALTIC_CHARSET, "BALTIC_CHARSET"}, {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
      {THAI_CHARSET, "THAI_CHARSET"}, {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
      {OEM_CHARSET, "OEM_CHARSET"}};
  return Map;
}

// --- Graphics objects ---------------------------------------------------------------

BEGIN_CLASS_INFO(TGraphicsObject, TPersistent, nullptr)
END_CLASS_INFO

void TGraphicsObject::Changed() { OnChange(this); }

BEGIN_CLASS_INFO(TFont, TGraphicsObject, nullptr)
  P.Int("Charset", &TFont::Charset, &TFont::SetCharset, {}, &CharsetIdents());
  P.Int("Color", &TFont::Color, &TFont::SetColor, {}, &ColorIdents());
  P.Int("Height", &TFont::Height, &TFont::SetHeight);
  P.Str("Name", &TFont::Name, &TFont::SetName);
  P.Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, FontPitchNames(), fpDefault);
  // Height says the same; Size is offered for code and lookups, not stored.
  P.Int("Size", &TFont::Size, &TFont::SetSize, {}, nullptr, [](const TFont&) { return false; });
  P.Set("Style", [](const TFont& F) { return F.Style().Mask(); },
        [](TFont& F, int64_t V) { F.SetStyle(TFontStyles(V)); }, FontStyleNames());
END_CLASS_INFO

TFont::TFont() : PixelsPerInch_(ScreenPixelsPerInch()) {}

TFont::~TFont() = default;

HFONT TFont::Handle() {
  if (!Handle_) {
    LOGFONTA LF{};
    LF.lfHeight = Height_;
    LF.lfWeight = Style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    LF.lfItalic = Style_.Contains(fsItalic);
    LF.lfUnderline = Style_.Contains(fsUnderline);
    LF.lfStrikeOut = Style_.Contains(fsStrikeOut);
    LF.lfCharSet = Charset_;
    LF.lfOutPrecision = OUT_DEFAULT_PRECIS;
    LF.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    LF.lfQuality = DEFAULT_QUALITY;
    LF.lfPitchAndFamily = Pitch_ == fpFixed ? FIXED_PITCH : Pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
    std::strncpy(LF.lfFaceName, Name_.c_str(), LF_FACESIZE - 1);
    Handle_.Attach(CreateFontIndirectA(&LF));
  }
  // A font the system would not make: its default one, which is not ours to delete.
  return Handle_ ? Handle_.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void TFont::Changed() {
  // The old font stays alive until every user has been told to take the new one.
  TGdiObject<HFONT> Old = std::move(Handle_);
  TGraphicsObject::Changed();
}

void TFont::SetName(const std::string& Value) {
  if (Value.empty() || Value == Name_) return;
  Name_ = Value;
  Changed();
}

void TFont::SetHeight(int Value) {
  if (Value == Height_) return;
  Height_ = Value;
  Changed();
}

int TFont::Size() const { return -MulDiv(Height_, 72, PixelsPerInch_); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, PixelsPerInch_, 72)); }

void TFont::SetStyle(TFontStyles Value) {
  if (Value == Style_) return;
  Style_ = Value;
  Changed();
}

void TFont::SetColor(TColor Value) {
  if (Value == Color_) return;
  Color_ = Value;
  Changed();
}

void TFont::SetCharset(TFontCharset Value) {
  if (Value == Charset_) return;
  Charset_ = Value;
  Changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == Pitch_) return;
  Pitch_ = Value;
  Changed();
}

void TFont::SetPixelsPerInch(int Value) {
  if (Value > 0) PixelsPerInch_ = Value;
}

bool TFont::SameAs(const TFont& O) const {
  return Name_ == O.Name_ && Height_ == O.Height_ && Style_ == O.Style_ && Color_ == O.Color_ &&
         Charset_ == O.Charset_ && Pitch_ == O.Pitch_;
}

void TFont::Assign(const TPersistent* Source) {
  if (auto* F = dynamic_cast<const TFont*>(Source)) {
    if (F == this || SameAs(*F)) return;
    Name_ = F->Name_;
    Height_ = F->Height_;
    Style_ = F->Style_;
    Color_ = F->Color_;
    Charset_ = F->Charset_;
    Pitch_ = F->Pitch_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

namespace {
const TEnumInfo& BrushStyleNames() {
  static const TEnumInfo Names{"bsSolid", "bsClear"};
  return Names;
}
}  // namespace

BEGIN_CLASS_INFO(TBrush, TGraphicsObject, nullptr)
  P.Int("Color", &TBrush::Color, &TBrush::SetColor, clWhite, &ColorIdents());
  P.Enum("Style", &TBrush::Style, &TBrush::SetStyle, BrushStyleNames(), bsSolid);
END_CLASS_INFO

HBRUSH TBrush::Handle() {
  if (Style_ == bsClear) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  if (!Handle_) Handle_.Attach(CreateSolidBrush(ColorToRGB(Color_)));
  return Handle_.Get();
}

void TBrush::Changed() {
  TGdiObject<HBRUSH> Old = std::move(Handle_);
  TGraphicsObject::Changed();
}

void TBrush::SetColor(TColor Value) {
  if (Value == Color_ && Style_ == bsSolid) return;
  Color_ = Value;
  if (Style_ == bsClear) Style_ = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == Style_) return;
  Style_ = Value;
  Changed();
}

void TBrush::Assign(const TPersistent* Source) {
  if (auto* B = dynamic_cast<const TBrush*>(Source)) {
    if (B->Color_ == Color_ && B->Style_ == Style_) return;
    Color_ = B->Color_;
    Style_ = B->Style_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

namespace {
const TEnumInfo& PenStyleNames() {
  static const TEnumInfo Names{"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear"};
  return Names;
}
}  // namespace

BEGIN_CLASS_INFO(TPen, TGraphicsObject, nullptr)
  P.Int("Color", &TPen::Color, &TPen::SetColor, clBlack, &ColorIdents());
  P.Enum("Style", &TPen::Style, &TPen::SetStyle, PenStyleNames(), psSolid);
  P.Int("Width", &TPen::Width, &TPen::SetWidth, 1);
END_CLASS_INFO

HPEN TPen::Handle() {
  if (!Handle_) {
    static const int Styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL};
    Handle_.Attach(CreatePen(Styles[Style_], Width_, ColorToRGB(Color_)));
  }
  return Handle_.Get();
}

void TPen::Changed() {
  TGdiObject<HPEN> Old = std::move(Handle_);
  TGraphicsObject::Changed();
}

void TPen::SetColor(TColor Value) {
  if (Value == Color_) return;
  Color_ = Value;
  Changed();
}

void TPen::SetWidth(int Value) {
  if (Value < 0 || Value == Width_) return;
  Width_ = Value;
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value == Style_) return;
  Style_ = Value;
  Changed();
}

void TPen::Assign(const TPersistent* Source) {
  if (auto* P = dynamic_cast<const TPen*>(Source)) {
    if (P->Color_ == Color_ && P->Width_ == Width_ && P->Style_ == Style_) return;
    Color_ = P->Color_;
    Width_ = P->Width_;
    Style_ = P->Style_;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

// --- Canvas -----------------------------------------------------------------------

BEGIN_CLASS_INFO(TCanvas, TPersistent, nullptr)
END_CLASS_INFO

TCanvas::TCanvas() {
  // A changed object's old handle is about to be deleted: it must not stay selected.
  Font_.OnChange = TNotifyEvent([this](TObject*) { SelectedFont_.reset(); });
  Brush_.OnChange = TNotifyEvent([this](TObject*) { SelectedBrush_.reset(); });
  Pen_.OnChange = TNotifyEvent([this](TObject*) { SelectedPen_.reset(); });
}

TCanvas::~TCanvas() { Deselect(); }

HDC TCanvas::Handle() {
  if (!DC_) CreateHandle();
  if (!DC_) throw EInvalidGraphicOperation("Canvas does not allow drawing");
  return DC_;
}

void TCanvas::SetHandle(HDC DC) {
  if (DC == DC_) return;
  Deselect();
  DC_ = DC;
}

void TCanvas::SetOwnHandle(HDC DC) { SetHandle(DC); }

void TCanvas::CreateHandle() {}

void TCanvas::FreeHandle() { SetHandle(nullptr); }

void TCanvas::Deselect() {
  SelectedFont_.reset();
  SelectedBrush_.reset();
  SelectedPen_.reset();
}

void TCanvas::Require(std::optional<TSelectedObject>& Slot, HGDIOBJ Object) {
  if (Slot) Slot->Select(Object);
  else Slot.emplace(Handle(), Object);
}

void TCanvas::RequireFont() {
  Require(SelectedFont_, Font_.Handle());
  SetTextColor(DC_, ColorToRGB(Font_.Color()));
}

void TCanvas::RequireBrush() {
  Require(SelectedBrush_, Brush_.Handle());
  SetBkColor(DC_, ColorToRGB(Brush_.Color()));
  SetBkMode(DC_, Brush_.Style() == bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::RequirePen() { Require(SelectedPen_, Pen_.Handle()); }

SIZE TCanvas::TextExtent(const std::string& Text) {
  RequireFont();
  SIZE S{0, 0};
  GetTextExtentPoint32A(DC_, Text.c_str(), static_cast<int>(Text.size()), &S);
  return S;
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
  RequireFont();
  RequireBrush();
  ::TextOutA(DC_, X, Y, Text.c_str(), static_cast<int>(Text.size()));
}

void TCanvas::TextRect(const RECT& Rect, int X, int Y, const std::string& Text) {
  RequireFont();
  RequireBrush();
  UINT Options = ETO_CLIPPED | (Brush_.Style() == bsClear ? 0 : ETO_OPAQUE);
  ExtTextOutA(DC_, X, Y, Options, &Rect, Text.c_str(), static_cast<UINT>(Text.size()), nullptr);
}

int TCanvas::FormatText(const std::string& Text, RECT& Rect, UINT Format) {
  RequireFont();
  RequireBrush();
  return DrawTextA(DC_, Text.c_str(), static_cast<int>(Text.size()), &Rect, Format);
}

void TCanvas::FillRect(const RECT& Rect) {
  RequireBrush();
  ::FillRect(DC_, &Rect, Brush_.Handle());
}

void TCanvas::FrameRect(const RECT& Rect) {
  RequireBrush();
  ::FrameRect(DC_, &Rect, Brush_.Handle());
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  RequirePen();
  RequireBrush();
  ::Rectangle(DC_, X1, Y1, X2, Y2);
}

void TCanvas::MoveTo(int X, int Y) { MoveToEx(Handle(), X, Y, nullptr); }

void TCanvas::LineTo(int X, int Y) {
  RequirePen();
  ::LineTo(DC_, X, Y);
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  RECT R{X, Y, X + Graphic->Width(), Y + Graphic->Height()};
  Graphic->Draw(*this, R);
}

void TCanvas::StretchDraw(const RECT& Rect, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Graphic->Draw(*this, Rect);
}

// --- Graphics -----------------------------------------------------------------------

BEGIN_CLASS_INFO(TGraphic, TPersistent, nullptr)
END_CLASS_INFO

void TGraphic::Changed() { OnChange(this); }

void TGraphic::LoadFromFile(const std::string& FileName) {
  TFileStream S(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(S);
}

void TGraphic::SaveToFile(const std::string& FileName) {
  TFileStream S(FileName, fmCreate);
  SaveToStream(S);
}

namespace {

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic("Bitmap image is not valid"); }

uint16_t U16(const uint8_t* P) { return static_cast<uint16_t>(P[0] | (P[1] << 8)); }
uint32_t U32(const uint8_t* P) {
  return static_cast<uint32_t>(P[0]) | (static_cast<uint32_t>(P[1]) << 8) | (static_cast<uint32_t>(P[2]) << 16) |
         (static_cast<uint32_t>(P[3]) << 24);
}
void Put32(std::vector<uint8_t>& B, uint32_t V) {
  for (int I = 0; I < 4; ++I) B.push_back(static_cast<uint8_t>(V >> (8 * I)));
}

constexpr int MaxBitmapSide = 16384;
constexpr size_t FileHeaderSize = 14;

// A BITMAPINFO with room for three masks or 256 colours.
struct TInfo {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[256];
};

}  // namespace

class TBitmap::TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap& Owner) : Owner_(Owner) {}
  ~TBitmapCanvas() override { FreeHandle(); }

protected:
  void CreateHandle() override {
    if (Owner_.Empty()) return;
    // Whoever draws changes the image: its file bytes are no longer what it shows.
    Owner_.FileBytes_.clear();
    SetOwnHandle(Owner_.MemoryDC());
  }

private:
  TBitmap& Owner_;
};

BEGIN_CLASS_INFO(TBitmap, TGraphic, nullptr)
END_CLASS_INFO

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() = default;

void TBitmap::Clear() {
  if (Canvas_) Canvas_->FreeHandle();
  Selected_.reset();
  Handle_.Close();
  Width_ = Height_ = 0;
  FileBytes_.clear();
}

HDC TBitmap::MemoryDC() {
  if (!DC_) DC_.Attach(CreateCompatibleDC(nullptr));
  if (Handle_ && !Selected_) Selected_.emplace(DC_.Get(), Handle_.Get());
  return DC_.Get();
}

void TBitmap::Adopt(TGdiObject<HBITMAP> Bitmap, int Width, int Height) {
  Clear();
  Handle_ = std::move(Bitmap);
  Width_ = Width;
  Height_ = Height;
}

TCanvas& TBitmap::Canvas() {
  if (!Canvas_) Canvas_ = std::make_unique<TBitmapCanvas>(*this);
  return *Canvas_;
}

void TBitmap::SetSize(int W, int H) {
  if (W == Width_ && H == Height_) return;
  if (W <= 0 || H <= 0) {
    Clear();
    Changed();
    return;
  }
  if (W > MaxBitmapSide || H > MaxBitmapSide) throw EInvalidGraphic("Bitmap image is too large");
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Info.bmiHeader.biWidth = W;
  Info.bmiHeader.biHeight = H;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  void* Bits = nullptr;
  TGdiObject<HBITMAP> New(CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0));
  if (!New) throw EInvalidGraphic("Out of system resources");
  std::memset(Bits, 0xFF, static_cast<size_t>(W) * static_cast<size_t>(H) * 4);
  // What was drawn so far stays, at the top left.
  if (Handle_) {
    TMemoryDC Dest(CreateCompatibleDC(nullptr));
    TSelectedObject Image(Dest.Get(), New.Get());
    BitBlt(Dest.Get(), 0, 0, Width_, Height_, MemoryDC(), 0, 0, SRCCOPY);
  }
  Adopt(std::move(New), W, H);
  Changed();
}

void TBitmap::LoadFromBytes(const std::vector<uint8_t>& B) {
  const size_t Size = B.size();
  if (Size < FileHeaderSize + 12 || B[0] != 'B' || B[1] != 'M') InvalidBitmap();
  const uint8_t* H = B.data() + FileHeaderSize;
  uint32_t HeaderSize = U32(H);
  TInfo Info{};
  BITMAPINFOHEADER& I = Info.Header;
  I.biSize = sizeof(BITMAPINFOHEADER);
  size_t ColorSize = 4;  // bytes per palette entry
  size_t Masks = 0;
  if (HeaderSize == 12) {  // the old core header
    I.biWidth = U16(H + 4);
    I.biHeight = U16(H + 6);
    I.biPlanes = U16(H + 8);
    I.biBitCount = U16(H + 10);
    I.biCompression = BI_RGB;
    ColorSize = 3;
  } else {
    if (HeaderSize < 40 || HeaderSize > Size - FileHeaderSize) InvalidBitmap();
    I.biWidth = static_cast<LONG>(U32(H + 4));
    I.biHeight = static_cast<LONG>(U32(H + 8));
    I.biPlanes = U16(H + 12);
    I.biBitCount = U16(H + 14);
    I.biCompression = U32(H + 16);
    I.biSizeImage = U32(H + 20);
    I.biClrUsed = U32(H + 32);
    // A plain info header keeps its masks after it; the larger ones hold them inside.
    if (I.biCompression == BI_BITFIELDS) {
      if (HeaderSize == 40) Masks = 3;
      else if (HeaderSize >= 52) std::memcpy(Info.Colors, H + 40, 12);
    }
  }
  const long AbsHeight = I.biHeight < 0 ? -static_cast<long>(I.biHeight) : I.biHeight;
  const unsigned Bits = I.biBitCount;
  const bool Rle = I.biCompression == BI_RLE8 || I.biCompression == BI_RLE4;
  if (I.biWidth <= 0 || I.biWidth > MaxBitmapSide || AbsHeight == 0 || AbsHeight > MaxBitmapSide || I.biPlanes != 1)
    InvalidBitmap();
  if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 16 && Bits != 24 && Bits != 32) InvalidBitmap();
  if (!(I.biCompression == BI_RGB || (I.biCompression == BI_BITFIELDS && (Bits == 16 || Bits == 32)) ||
        (I.biCompression == BI_RLE8 && Bits == 8) || (I.biCompression == BI_RLE4 && Bits == 4)))
    InvalidBitmap();
  if (Rle && I.biHeight < 0) InvalidBitmap();

  size_t Colors = Bits <= 8 ? (I.biClrUsed ? I.biClrUsed : (1u << Bits)) : 0;
  if (Colors > (Bits <= 8 ? (1u << Bits) : 0)) InvalidBitmap();
  I.biClrUsed = static_cast<DWORD>(Colors);
  size_t TableOffset = FileHeaderSize + HeaderSize;
  size_t TableBytes = Masks * 4 + Colors * ColorSize;
  if (TableOffset + TableBytes > Size) InvalidBitmap();
  const uint8_t* Table = B.data() + TableOffset;
  if (Masks) std::memcpy(Info.Colors, Table, 12);
  for (size_t C = 0; C < Colors; ++C) {
    const uint8_t* E = Table + C * ColorSize;
    Info.Colors[C] = RGBQUAD{E[0], E[1], E[2], 0};
  }

  const size_t Stride = ((static_cast<size_t>(I.biWidth) * Bits + 31) / 32) * 4;
  size_t ImageBytes = Rle ? I.biSizeImage : Stride * static_cast<size_t>(AbsHeight);
  size_t Offset = U32(B.data() + 10);
  if (Offset < TableOffset + TableBytes || Offset > Size) Offset = TableOffset + TableBytes;
  if (ImageBytes == 0 || ImageBytes > Size - Offset) InvalidBitmap();
  const uint8_t* Pixels = B.data() + Offset;

  void* Dest = nullptr;
  TGdiObject<HBITMAP> New;
  if (!Rle) {
    I.biSizeImage = static_cast<DWORD>(ImageBytes);
    New.Attach(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&Info), DIB_RGB_COLORS, &Dest, nullptr, 0));
    if (!New) InvalidBitmap();
    std::memcpy(Dest, Pixels, ImageBytes);
  } else {
    // GDI decodes run-length images when it draws them; keep the result as 32-bit.
    BITMAPINFO Plain{};
    Plain.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Plain.bmiHeader.biWidth = I.biWidth;
    Plain.bmiHeader.biHeight = I.biHeight;
    Plain.bmiHeader.biPlanes = 1;
    Plain.bmiHeader.biBitCount = 32;
    New.Attach(CreateDIBSection(nullptr, &Plain, DIB_RGB_COLORS, &Dest, nullptr, 0));
    if (!New) InvalidBitmap();
    TMemoryDC DC(CreateCompatibleDC(nullptr));
    TSelectedObject Image(DC.Get(), New.Get());
    I.biSizeImage = static_cast<DWORD>(ImageBytes);
    StretchDIBits(DC.Get(), 0, 0, I.biWidth, AbsHeight, 0, 0, I.biWidth, AbsHeight, Pixels,
                  reinterpret_cast<BITMAPINFO*>(&Info), DIB_RGB_COLORS, SRCCOPY);
  }
  Adopt(std::move(New), I.biWidth, static_cast<int>(AbsHeight));
  FileBytes_ = B;
  Changed();
}

std::vector<uint8_t> TBitmap::SaveToBytes() {
  if (Empty()) return {};
  if (!FileBytes_.empty()) return FileBytes_;
  if (Canvas_) Canvas_->FreeHandle();
  GdiFlush();
  DIBSECTION DS{};
  if (GetObjectA(Handle_.Get(), sizeof(DS), &DS) != sizeof(DS)) throw EInvalidGraphic("Bitmap image is not valid");
  // Written bottom-up in the image's own depth (16-bit as 24: no masks to carry),
  // as GDI gives the pixels whatever the section's row order.
  const WORD Bits = DS.dsBmih.biBitCount == 16 ? 24 : DS.dsBmih.biBitCount;
  TInfo Info{};
  BITMAPINFOHEADER& I = Info.Header;
  I.biSize = sizeof(BITMAPINFOHEADER);
  I.biWidth = Width_;
  I.biHeight = Height_;
  I.biPlanes = 1;
  I.biBitCount = Bits;
  I.biCompression = BI_RGB;
  const size_t Stride = ((static_cast<size_t>(Width_) * Bits + 31) / 32) * 4;
  const size_t ImageBytes = Stride * static_cast<size_t>(Height_);
  std::vector<uint8_t> Pixels(ImageBytes);
  // GDI reads a bitmap only while no DC holds it.
  Selected_.reset();
  int Rows = GetDIBits(TWindowDC(nullptr).Get(), Handle_.Get(), 0, static_cast<UINT>(Height_), Pixels.data(),
                       reinterpret_cast<BITMAPINFO*>(&Info), DIB_RGB_COLORS);
  if (Rows != Height_) throw EInvalidGraphic("Bitmap image is not valid");
  const size_t Colors = Bits <= 8 ? (size_t(1) << Bits) : 0;
  I.biClrUsed = 0;
  I.biSizeImage = static_cast<DWORD>(ImageBytes);
  const size_t Offset = FileHeaderSize + sizeof(BITMAPINFOHEADER) + Colors * 4;

  std::vector<uint8_t> Out;
  Out.reserve(Offset + ImageBytes);
  Out.push_back('B');
  Out.push_back('M');
  Put32(Out, static_cast<uint32_t>(Offset + ImageBytes));
  Put32(Out, 0);
  Put32(Out, static_cast<uint32_t>(Offset));
  const auto* HeaderBytes = reinterpret_cast<const uint8_t*>(&I);
  Out.insert(Out.end(), HeaderBytes, HeaderBytes + sizeof(I));
  for (size_t C = 0; C < Colors; ++C) {
    Out.push_back(Info.Colors[C].rgbBlue);
    Out.push_back(Info.Colors[C].rgbGreen);
    Out.push_back(Info.Colors[C].rgbRed);
    Out.push_back(0);
  }
  Out.insert(Out.end(), Pixels.begin(), Pixels.end());
  return Out;
}

void TBitmap::LoadFromStream(TStream& Stream) {
  std::vector<uint8_t> Bytes(static_cast<size_t>(Stream.Remaining()));
  if (!Bytes.empty()) Stream.ReadBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  if (Bytes.empty()) {
    Clear();
    Changed();
    return;
  }
  LoadFromBytes(Bytes);
}

void TBitmap::SaveToStream(TStream& Stream) {
  std::vector<uint8_t> Bytes = SaveToBytes();
  if (!Bytes.empty()) Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
}

void TBitmap::ReadData(TStream& Stream) {
  // Some writers store the bare file; ours put its length in front.
  int64_t Start = Stream.Position();
  uint8_t Magic[2] = {0, 0};
  if (Stream.Read(Magic, 2) == 2 && Magic[0] == 'B' && Magic[1] == 'M') {
    Stream.SetPosition(Start);
    LoadFromStream(Stream);
    return;
  }
  Stream.SetPosition(Start);
  int64_t Length = static_cast<uint32_t>(Stream.ReadInt32());
  if (Length > Stream.Remaining()) throw EInvalidGraphic("Bitmap image is not valid");
  std::vector<uint8_t> Bytes(static_cast<size_t>(Length));
  if (Length) Stream.ReadBuffer(Bytes.data(), Length);
  if (Bytes.empty()) {
    Clear();
    Changed();
  } else {
    LoadFromBytes(Bytes);
  }
}

void TBitmap::WriteData(TStream& Stream) {
  std::vector<uint8_t> Bytes = SaveToBytes();
  Stream.WriteInt32(static_cast<int32_t>(Bytes.size()));
  if (!Bytes.empty()) Stream.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
}

void TBitmap::DefineProperties(TFiler& Filer) {
  Filer.DefineBinaryProperty(
      "Data", [this](TStream& S) { ReadData(S); }, [this](TStream& S) { WriteData(S); }, !Empty());
}

void TBitmap::Assign(const TPersistent* Source) {
  if (auto* B = dynamic_cast<const TBitmap*>(Source)) {
    if (B == this) return;
    Transparent_ = B->Transparent_;
    auto* Src = const_cast<TBitmap*>(B);
    if (Src->Empty()) {
      Clear();
      Changed();
    } else {
      LoadFromBytes(Src->SaveToBytes());
    }
    return;
  }
  if (!Source) {
    Clear();
    Changed();
    return;
  }
  TGraphic::Assign(Source);
}

COLORREF TBitmap::Pixel(int X, int Y) {
  if (Empty() || X < 0 || Y < 0 || X >= Width_ || Y >= Height_) return CLR_INVALID;
  return GetPixel(MemoryDC(), X, Y);
}

COLORREF TBitmap::TransparentColor() { return Pixel(0, Height_ - 1); }

void TBitmap::SetTransparent(bool Value) {
  if (Value == Transparent_) return;
  Transparent_ = Value;
  Changed();
}

void TBitmap::Draw(TCanvas& Canvas, const RECT& Rect) {
  if (Empty()) return;
  DrawPart(Canvas.Handle(), Rect, RECT{0, 0, Width_, Height_}, Transparent_);
}

void TBitmap::DrawPart(HDC DC, const RECT& R, const RECT& Src, bool Transparent) {
  if (Empty()) return;
  const int DW = R.right - R.left, DH = R.bottom - R.top;
  const int SW = Src.right - Src.left, SH = Src.bottom - Src.top;
  if (DW <= 0 || DH <= 0 || SW <= 0 || SH <= 0) return;
  HDC Source = MemoryDC();
  const bool Stretch = DW != SW || DH != SH;
  TSavedDC Saved(DC);
  SetStretchBltMode(DC, Stretch && !Transparent ? HALFTONE : COLORONCOLOR);
  SetBrushOrgEx(DC, 0, 0, nullptr);
  if (!Transparent) {
    StretchBlt(DC, R.left, R.top, DW, DH, Source, Src.left, Src.top, SW, SH, SRCCOPY);
    return;
  }
  // A mask of the transparent pixels: the destination keeps them, the image gives the rest.
  TMemoryDC MaskDC(CreateCompatibleDC(DC));
  TGdiObject<HBITMAP> Mask(CreateBitmap(SW, SH, 1, 1, nullptr));
  TSelectedObject MaskIn(MaskDC.Get(), Mask.Get());
  {
    TSavedDC SavedSource(Source);
    SetBkColor(Source, TransparentColor());
    BitBlt(MaskDC.Get(), 0, 0, SW, SH, Source, Src.left, Src.top, SRCCOPY);
  }

  TMemoryDC ImageDC(CreateCompatibleDC(DC));
  TGdiObject<HBITMAP> Image(CreateCompatibleBitmap(DC, SW, SH));
  TSelectedObject ImageIn(ImageDC.Get(), Image.Get());
  BitBlt(ImageDC.Get(), 0, 0, SW, SH, Source, Src.left, Src.top, SRCCOPY);
  SetBkColor(ImageDC.Get(), RGB(255, 255, 255));
  SetTextColor(ImageDC.Get(), RGB(0, 0, 0));
  BitBlt(ImageDC.Get(), 0, 0, SW, SH, MaskDC.Get(), 0, 0, 0x00220326);  // image AND NOT mask

  SetBkColor(DC, RGB(255, 255, 255));
  SetTextColor(DC, RGB(0, 0, 0));
  StretchBlt(DC, R.left, R.top, DW, DH, MaskDC.Get(), 0, 0, SW, SH, SRCAND);
  StretchBlt(DC, R.left, R.top, DW, DH, ImageDC.Get(), 0, 0, SW, SH, SRCPAINT);
}

// --- Picture ------------------------------------------------------------------------

BEGIN_CLASS_INFO(TPicture, TPersistent, nullptr)
END_CLASS_INFO

TPicture::~TPicture() { delete Graphic_; }

void TPicture::Changed() { OnChange(this); }

void TPicture::Own(TGraphic* G) {
  delete Graphic_;
  Graphic_ = G;
  if (G) G->OnChange = TNotifyEvent([this](TObject*) { Changed(); });
}

TBitmap* TPicture::Bitmap() {
  if (auto* B = dynamic_cast<TBitmap*>(Graphic_)) return B;
  Own(new TBitmap);
  Changed();
  return static_cast<TBitmap*>(Graphic_);
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == Graphic_) return;
  if (!Value) {
    Own(nullptr);
  } else {
    auto Copy = std::make_unique<TBitmap>();
    Copy->Assign(Value);
    Own(Copy.release());
  }
  Changed();
}

void TPicture::Assign(const TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* P = dynamic_cast<const TPicture*>(Source)) {
    if (P != this) SetGraphic(P->Graphic_);
  } else if (auto* G = dynamic_cast<const TGraphic*>(Source)) {
    SetGraphic(const_cast<TGraphic*>(G));
  } else {
    TPersistent::Assign(Source);
  }
}

void TPicture::LoadFromFile(const std::string& FileName) {
  if (!SameText(ExtractFileExt(FileName), ".bmp"))
    throw EInvalidGraphic("Unknown picture file extension (" + ExtractFileExt(FileName) + ")");
  auto B = std::make_unique<TBitmap>();
  B->LoadFromFile(FileName);
  Own(B.release());
  Changed();
}

void TPicture::SaveToFile(const std::string& FileName) {
  if (Graphic_) Graphic_->SaveToFile(FileName);
}

void TPicture::DefineProperties(TFiler& Filer) {
  Filer.DefineBinaryProperty(
      "Data",
      [this](TStream& S) {
        uint8_t Length = S.ReadByte();
        std::string Name(Length, '\0');
        if (Length) S.ReadBuffer(Name.data(), Length);
        if (Name.empty()) {
          SetGraphic(nullptr);
          return;
        }
        if (!SameText(Name, "TBitmap")) throw EInvalidGraphic("Unsupported picture format " + Name);
        auto B = std::make_unique<TBitmap>();
        B->ReadData(S);
        Own(B.release());
        Changed();
      },
      [this](TStream& S) {
        const std::string& Name = Graphic_->ClassName();
        S.WriteByte(static_cast<uint8_t>(Name.size()));
        S.WriteBuffer(Name.data(), static_cast<int64_t>(Name.size()));
        if (auto* B = dynamic_cast<TBitmap*>(Graphic_)) B->WriteData(S);
      },
      !Empty());
}
