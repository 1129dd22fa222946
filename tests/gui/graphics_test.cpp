// Colours, fonts, canvases, bitmaps and pictures.
#include <gtest/gtest.h>

#include <cstring>

#include "classes/formstream.h"
#include "classes/streams.h"
#include "gui/extctrls.h"
#include "gui/forms.h"
#include "window_testing.h"

namespace {

void Put16(std::vector<uint8_t>& B, uint32_t V) {
  B.push_back(static_cast<uint8_t>(V));
  B.push_back(static_cast<uint8_t>(V >> 8));
}
void Put32(std::vector<uint8_t>& B, uint32_t V) {
  for (int I = 0; I < 4; ++I) B.push_back(static_cast<uint8_t>(V >> (8 * I)));
}

// A BMP file written byte by byte, as other programs write them.
std::vector<uint8_t> Bmp(int32_t Width, int32_t Height, uint16_t Bits, const std::vector<uint32_t>& Palette,
                         const std::vector<uint8_t>& Pixels, uint32_t Compression = BI_RGB) {
  std::vector<uint8_t> B{'B', 'M'};
  const uint32_t Offset = 14 + 40 + static_cast<uint32_t>(Palette.size()) * 4;
  Put32(B, Offset + static_cast<uint32_t>(Pixels.size()));
  Put32(B, 0);
  Put32(B, Offset);
  Put32(B, 40);
  Put32(B, static_cast<uint32_t>(Width));
  Put32(B, static_cast<uint32_t>(Height));
  Put16(B, 1);
  Put16(B, Bits);
  Put32(B, Compression);
  Put32(B, static_cast<uint32_t>(Pixels.size()));
  Put32(B, 2835);
  Put32(B, 2835);
  Put32(B, static_cast<uint32_t>(Palette.size()));
  Put32(B, 0);
  for (uint32_t C : Palette) Put32(B, C);
  B.insert(B.end(), Pixels.begin(), Pixels.end());
  return B;
}

// 3 x 2, 8-bit: bottom row red green blue, top row white white black (rows padded to 4).
std::vector<uint8_t> Palette8() {
  return Bmp(3, 2, 8, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000}, {0, 1, 2, 0, 3, 3, 4, 0});
}

}  // namespace

TEST(Bitmap, ReadsTheUsualFormatsAndWritesUnchangedOnesBackAsTheyCame) {
  TBitmap B;
  B.LoadFromBytes(Palette8());
  EXPECT_EQ(B.Width(), 3);
  EXPECT_EQ(B.Height(), 2);
  EXPECT_EQ(B.Pixel(0, 1), RGB(255, 0, 0));  // bottom-up: the first row is the bottom one
  EXPECT_EQ(B.Pixel(2, 1), RGB(0, 0, 255));
  EXPECT_EQ(B.Pixel(2, 0), RGB(0, 0, 0));
  EXPECT_EQ(B.TransparentColor(), RGB(255, 0, 0));
  EXPECT_EQ(B.SaveToBytes(), Palette8());

  // 24-bit, top-down.
  TBitmap T;
  T.LoadFromBytes(Bmp(2, -2, 24, {}, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(T.Height(), 2);
  EXPECT_EQ(T.Pixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(T.Pixel(1, 0), RGB(0, 255, 0));
  EXPECT_EQ(T.Pixel(0, 1), RGB(0, 0, 255));

  // 1-bit and run-length encoded 8-bit.
  TBitmap Mono;
  Mono.LoadFromBytes(Bmp(8, 1, 1, {0x000000, 0xFFFFFF}, {0xF0, 0, 0, 0}));
  EXPECT_EQ(Mono.Pixel(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(Mono.Pixel(7, 0), RGB(0, 0, 0));
  TBitmap Rle;
  Rle.LoadFromBytes(Bmp(4, 1, 8, {0x000000, 0x00FF00}, {4, 1, 0, 1}, BI_RLE8));
  EXPECT_EQ(Rle.Pixel(3, 0), RGB(0, 255, 0));

  // Drawn on, it is written from what it shows now.
  T.Canvas().Brush().SetColor(clYellow);
  T.Canvas().FillRect(RECT{0, 0, 1, 1});
  TBitmap Copy;
  Copy.LoadFromBytes(T.SaveToBytes());
  EXPECT_EQ(Copy.Pixel(0, 0), RGB(255, 255, 0));
  EXPECT_EQ(Copy.Pixel(1, 0), RGB(0, 255, 0));
}

TEST(Bitmap, DamagedFilesRaiseTheImageErrorAndNeverCrash) {
  auto Rejects = [](const std::vector<uint8_t>& Bytes) {
    TBitmap B;
    try {
      B.LoadFromBytes(Bytes);
    } catch (const EInvalidGraphic& E) {
      EXPECT_EQ(E.Message(), "Bitmap image is not valid");
      return B.Empty();
    }
    return false;
  };
  EXPECT_TRUE(Rejects({}));
  EXPECT_TRUE(Rejects({'G', 'I', 'F', '8', '9', 'a'}));
  EXPECT_TRUE(Rejects(Bmp(0, 2, 8, {0}, {0, 0, 0, 0})));
  EXPECT_TRUE(Rejects(Bmp(100000, 1, 24, {}, {0, 0, 0, 0})));
  EXPECT_TRUE(Rejects(Bmp(2, 2, 7, {}, {0, 0, 0, 0, 0, 0, 0, 0})));
  EXPECT_TRUE(Rejects(Bmp(2, 2, 8, std::vector<uint32_t>(300, 0), {0, 0, 0, 0, 0, 0, 0, 0})));
  EXPECT_TRUE(Rejects(Bmp(64, 64, 24, {}, {1, 2, 3})));  // pixels cut short
  EXPECT_TRUE(Rejects(Bmp(2, -2, 8, {0, 0}, {0, 0, 0, 0}, BI_RLE8)));

  // Every cut of a good file either reads or is refused.
  const std::vector<uint8_t> Good = Palette8();
  for (size_t N = 0; N < Good.size(); ++N) {
    TBitmap B;
    try {
      B.LoadFromBytes(std::vector<uint8_t>(Good.begin(), Good.begin() + static_cast<long>(N)));
    } catch (const EInvalidGraphic&) {
    }
  }
  // A resource's "Data" whose length says more than there is.
  TMemoryStream S;
  S.WriteInt32(1000);
  S.WriteBuffer(Good.data(), static_cast<int64_t>(Good.size()));
  S.SetPosition(0);
  TBitmap B;
  EXPECT_THROW(B.ReadData(S), EInvalidGraphic);
}

TEST(Bitmap, TransparentDrawingLeavesTheBackgroundWhereTheTransparentColourIs) {
  TBitmap Glyph;
  Glyph.LoadFromBytes(Palette8());  // bottom-left red is the transparent colour
  TBitmap Target;
  Target.SetSize(3, 2);
  EXPECT_EQ(Target.Pixel(0, 0), RGB(255, 255, 255));
  Glyph.DrawPart(Target.Canvas().Handle(), RECT{0, 0, 3, 2}, RECT{0, 0, 3, 2}, true);
  EXPECT_EQ(Target.Pixel(0, 1), RGB(255, 255, 255));
  EXPECT_EQ(Target.Pixel(1, 1), RGB(0, 255, 0));
  EXPECT_EQ(Target.Pixel(2, 0), RGB(0, 0, 0));
  Glyph.DrawPart(Target.Canvas().Handle(), RECT{0, 0, 3, 2}, RECT{0, 0, 3, 2}, false);
  EXPECT_EQ(Target.Pixel(0, 1), RGB(255, 0, 0));
}

TEST(Picture, StoredInAFormResourceAndCopied) {
  TForm Form(nullptr);
  Form.SetName("F");
  auto* Image = new TImage(&Form);
  Image->SetName("Image1");
  Image->SetParent(&Form);
  Image->SetStretch(true);
  Image->Picture()->Bitmap()->LoadFromBytes(Palette8());
  std::string Text = WriteComponent(Form);
  EXPECT_NE(Text.find("Picture.Data = {"), std::string::npos);
  EXPECT_NE(Text.find("0754426974"), std::string::npos) << "the class name comes first";

  TForm Read(nullptr);
  Read.InitializeForm(Text);
  auto* Copy = static_cast<TImage*>(Read.FindComponent("Image1"));
  ASSERT_NE(Copy, nullptr);
  ASSERT_NE(dynamic_cast<TBitmap*>(Copy->Picture()->Graphic()), nullptr);
  EXPECT_EQ(Copy->Picture()->Bitmap()->SaveToBytes(), Palette8());
  EXPECT_TRUE(Copy->Stretch());

  // Assign copies the picture; the copy is its own.
  TPicture Other;
  int Changes = 0;
  Other.OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
  Other.Assign(Copy->Picture());
  EXPECT_EQ(Changes, 1);
  EXPECT_NE(Other.Graphic(), Copy->Picture()->Graphic());
  EXPECT_EQ(Other.Width(), 3);
  Other.Assign(nullptr);
  EXPECT_TRUE(Other.Empty());

  // A stretched image draws its picture over the whole control.
  EXPECT_EQ(Copy->DestRect().right, Copy->Width());
  Copy->SetStretch(false);
  Copy->SetCenter(true);
  EXPECT_EQ(Copy->DestRect().left, (Copy->Width() - 3) / 2);

  TForm Bad(nullptr);
  EXPECT_THROW(Bad.InitializeForm("object B: TForm\n  object I: TImage\n    Picture.Data = {03474946}\n  end\nend\n"),
               EReadError);
}

TEST(Font, SizeAndHeightAndChanges) {
  TFont F;
  EXPECT_EQ(F.Height(), -11);
  EXPECT_EQ(F.Size(), 8);
  int Changes = 0;
  F.OnChange = TNotifyEvent([&](TObject*) { ++Changes; });
  F.SetSize(10);
  EXPECT_EQ(F.Height(), -13);
  HFONT First = F.Handle();
  LOGFONTA LF{};
  GetObjectA(First, sizeof(LF), &LF);
  EXPECT_EQ(LF.lfHeight, -13);

  TFont Other;
  Other.SetName("Arial");
  Other.SetHeight(-27);
  Other.SetStyle({fsBold, fsItalic});
  Changes = 0;
  F.Assign(&Other);
  EXPECT_EQ(Changes, 1);
  F.Assign(&Other);
  EXPECT_EQ(Changes, 1) << "nothing differs: no change";
  EXPECT_TRUE(F.SameAs(Other));
  GetObjectA(F.Handle(), sizeof(LF), &LF);
  EXPECT_EQ(LF.lfHeight, -27);
  EXPECT_EQ(LF.lfWeight, FW_BOLD);
  EXPECT_TRUE(LF.lfItalic);
  EXPECT_STREQ(LF.lfFaceName, "Arial");
}

TEST(Canvas, FormsMeasureTextWithTheirFont) {
  TForm Form(nullptr);
  Form.Font()->SetHeight(-19);
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Form.Font()->Handle());
  SIZE Size;
  GetTextExtentPoint32A(DC, "Wg", 2, &Size);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  EXPECT_EQ(Form.Canvas().TextHeight("Wg"), Size.cy);
  EXPECT_EQ(Form.Canvas().TextWidth("Wg"), Size.cx);
  Form.Show();
  EXPECT_EQ(Form.Canvas().TextHeight("Wg"), Size.cy);
  FreeDeviceContexts();
}

TEST(Color, IdentifiersAndSystemColours) {
  int64_t V = 0;
  ASSERT_TRUE(ColorIdents().ToInt("clBtnFace", V));
  EXPECT_EQ(static_cast<TColor>(V), clBtnFace);
  EXPECT_EQ(static_cast<uint32_t>(clBtnFace), 0x8000000Fu);
  std::string Name;
  ASSERT_TRUE(ColorIdents().ToIdent(clRed, Name));
  EXPECT_EQ(Name, "clRed");
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clBlue), RGB(0, 0, 255));
}
