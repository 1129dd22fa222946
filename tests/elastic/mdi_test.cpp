// The elastic component on an MDI parent form and its child: the parent goes to
// its computed bounds and paints its background into its client window, the
// child is scaled with its controls before it is first shown.
#include "elastic_testing.h"

#include "gui/extctrls.h"

using namespace elastictest;

TEST(ElasticMDI, ParentAndChildAreScaledAtTheirSetupAndThePictureFillsTheClientWindow) {
  ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "this table is for a 1024 x 768 screen";
  // The MDI parent must be the application's main form.
  TLayoutForm* Frame = nullptr;
  Application->CreateForm(Frame);
  Frame->InitializeForm(FormText(R"(  object Image1: TImage
    Left = 0
    Top = 0
  end
)",
                                 "    BkGrndImage = Image1\n", "  FormStyle = fsMDIForm\n"));
  ASSERT_NE(Frame->ClientHandle(), nullptr);
  TBitmap Picture;
  Picture.SetSize(16, 16);
  Picture.Canvas().Brush().SetColor(clRed);
  Picture.Canvas().FillRect(RECT{0, 0, 16, 16});
  Frame->Get<TImage>("Image1").Picture()->SetGraphic(&Picture);
  SendMessageA(Frame->Handle(), WM_NULL, 0, 0);  // the first message: the setup
  EXPECT_EQ(wintest::BoundsOf(Frame->Handle()), (wintest::TBounds{128, 64, 512, 384})) << "before it is shown";
  ShowAndSettle(*Frame);

  TBitmap Target;  // the client window erases into it
  Target.SetSize(50, 50);
  SendMessageA(Frame->ClientHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(Target.Canvas().Handle()), 0);
  EXPECT_EQ(Target.Pixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(Target.Pixel(49, 49), RGB(255, 0, 0)) << "tiled over the client window";

  auto* Child = new TLayoutForm(Application);
  std::string ChildText = FormText(R"(  object Button1: TButton
    Left = 8
    Top = 8
    Width = 75
    Height = 25
    Caption = 'One'
  end
)",
                                   "", "  FormStyle = fsMDIChild\n");
  ChildText.replace(0, std::string("object Page").size(), "object Child");  // the application owns both
  Child->InitializeForm(ChildText);
  Application->ProcessMessages();
  EXPECT_EQ(wintest::BoundsOf(Child->Handle()).Width, 512);
  EXPECT_EQ(wintest::BoundsOf(Child->Handle()).Height, 384);
  EXPECT_EQ(wintest::BoundsOf(Child->Get<TWinControl>("Button1").Handle()), (wintest::TBounds{10, 10, 96, 32}));
  EXPECT_TRUE(IsWindowVisible(Child->Get<TWinControl>("Button1").Handle()));
  delete Child;
}
