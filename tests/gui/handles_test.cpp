// The holders of handles.h and the graphics objects that use them: whatever a
// holder took is given back when it goes, also when an exception passes.
#include <gtest/gtest.h>

#include <stdexcept>

#include "gui/graphics.h"
#include "gui/handles.h"

namespace {

HGDIOBJ SelectedFont(HDC DC) { return GetCurrentObject(DC, OBJ_FONT); }

TEST(Holders, DCStateComesBackHoweverTheScopeEnds) {
  TMemoryDC DC(CreateCompatibleDC(nullptr));
  ASSERT_TRUE(DC);
  const HGDIOBJ Original = SelectedFont(DC.Get());
  TGdiObject<HFONT> First(CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
  TGdiObject<HFONT> Second(CreateFontA(-30, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
  {
    TSelectedObject Selected(DC.Get(), First.Get());
    EXPECT_EQ(SelectedFont(DC.Get()), First.Get());
    Selected.Select(Second.Get());
    EXPECT_EQ(SelectedFont(DC.Get()), Second.Get());
  }
  EXPECT_EQ(SelectedFont(DC.Get()), Original) << "the DC's own font, not the first one selected";

  SetTextColor(DC.Get(), RGB(1, 2, 3));
  try {
    TSavedDC Saved(DC.Get());
    TSelectedObject Selected(DC.Get(), First.Get());
    SetTextColor(DC.Get(), RGB(200, 100, 50));
    SetBkMode(DC.Get(), TRANSPARENT);
    throw std::runtime_error("painting failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(GetTextColor(DC.Get()), RGB(1, 2, 3));
  EXPECT_EQ(GetBkMode(DC.Get()), OPAQUE);
  EXPECT_EQ(SelectedFont(DC.Get()), Original);

  HDC Raw = DC.Get();
  DC.Close();
  EXPECT_EQ(GetObjectType(Raw), 0u) << "the memory DC is deleted";
}

TEST(Holders, ScopeGuardRunsOnEveryExitUnlessDismissed) {
  int Runs = 0;
  {
    TScopeGuard Count([&] { ++Runs; });
  }
  EXPECT_EQ(Runs, 1);
  try {
    TScopeGuard Count([&] { ++Runs; });
    throw std::runtime_error("left early");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(Runs, 2);
  {
    TScopeGuard Count([&] { ++Runs; });
    Count.Dismiss();
  }
  EXPECT_EQ(Runs, 2);
}

// A COM object that only counts its references.
struct TCounted : IUnknown {
  ULONG Refs = 1;
  STDMETHODIMP QueryInterface(REFIID, void** Out) override {
    *Out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++Refs; }
  STDMETHODIMP_(ULONG) Release() override { return --Refs; }
};

TEST(Holders, ComPointerMovesItsReferenceAndKeepsItOnAMoveOntoItself) {
  TCounted First, Second;
  {
    TComPtr<IUnknown> A(&First), B(&Second);
    B = std::move(A);
    EXPECT_EQ(Second.Refs, 0u) << "the reference B held is given back";
    EXPECT_EQ(B.Get(), &First);
    EXPECT_FALSE(A);
    TComPtr<IUnknown>& Same = B;
    B = std::move(Same);
    EXPECT_EQ(B.Get(), &First);
    EXPECT_EQ(First.Refs, 1u);
  }
  EXPECT_EQ(First.Refs, 0u);
}

LRESULT CALLBACK PaintOnce(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_PAINT) {
    TPaintDC Paint(Wnd);
    EXPECT_NE(Paint.Get(), nullptr);
    EXPECT_GT(Paint.Area().right, Paint.Area().left);
    return 0;
  }
  return DefWindowProcA(Wnd, Msg, W, L);
}

TEST(Holders, PaintDCValidatesWhatItPainted) {
  WNDCLASSA Class{};
  Class.lpfnWndProc = PaintOnce;
  Class.hInstance = GetModuleHandleA(nullptr);
  Class.lpszClassName = "HoldersPaintTest";
  RegisterClassA(&Class);
  HWND Wnd = CreateWindowExA(0, Class.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                             Class.hInstance, nullptr);
  ASSERT_NE(Wnd, nullptr);
  InvalidateRect(Wnd, nullptr, TRUE);
  UpdateWindow(Wnd);
  EXPECT_FALSE(GetUpdateRect(Wnd, nullptr, FALSE)) << "EndPaint ran";
  DestroyWindow(Wnd);
}

// A graphics object's old handle lives until its users have heard of the change
// (they may still have it selected), and goes right after.
TEST(GraphicsObjects, OldHandlesGoOnceEveryoneHeardOfTheChange) {
  TFont Font;
  TBrush Brush;
  TPen Pen;
  struct TCase {
    TGraphicsObject& Object;
    HGDIOBJ (*Handle)(TGraphicsObject&);
    void (*Change)(TGraphicsObject&);
  };
  const TCase Cases[] = {
      {Font, [](TGraphicsObject& O) -> HGDIOBJ { return static_cast<TFont&>(O).Handle(); },
       [](TGraphicsObject& O) { static_cast<TFont&>(O).SetHeight(-30); }},
      {Brush, [](TGraphicsObject& O) -> HGDIOBJ { return static_cast<TBrush&>(O).Handle(); },
       [](TGraphicsObject& O) { static_cast<TBrush&>(O).SetColor(clRed); }},
      {Pen, [](TGraphicsObject& O) -> HGDIOBJ { return static_cast<TPen&>(O).Handle(); },
       [](TGraphicsObject& O) { static_cast<TPen&>(O).SetWidth(3); }},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Object.ClassName());
    const HGDIOBJ Old = C.Handle(C.Object);
    ASSERT_NE(GetObjectType(Old), 0u);
    bool AliveDuringChange = false;
    C.Object.OnChange = TNotifyEvent([&](TObject*) { AliveDuringChange = GetObjectType(Old) != 0; });
    C.Change(C.Object);
    EXPECT_TRUE(AliveDuringChange);
    EXPECT_EQ(GetObjectType(Old), 0u) << "deleted after the change";
    const HGDIOBJ New = C.Handle(C.Object);
    EXPECT_NE(GetObjectType(New), 0u);
  }
}

TEST(GraphicsObjects, ABitmapTakesItsImageAndDCWithIt) {
  HBITMAP Image;
  HDC DC;
  {
    TBitmap Bitmap;
    Bitmap.SetSize(8, 8);
    Bitmap.Canvas().Brush().SetColor(clBlue);
    Bitmap.Canvas().FillRect(RECT{0, 0, 8, 8});
    Image = Bitmap.Handle();
    DC = Bitmap.Canvas().Handle();
    EXPECT_EQ(GetCurrentObject(DC, OBJ_BITMAP), Image);
    // Growing keeps what was drawn and replaces the image.
    Bitmap.SetSize(16, 16);
    EXPECT_EQ(GetObjectType(Image), 0u) << "the smaller image is gone";
    EXPECT_EQ(Bitmap.Pixel(7, 7), RGB(0, 0, 255));
    EXPECT_EQ(Bitmap.Pixel(12, 12), RGB(255, 255, 255));
    Image = Bitmap.Handle();
  }
  EXPECT_EQ(GetObjectType(Image), 0u);
  EXPECT_EQ(GetObjectType(DC), 0u);
}

}  // namespace
