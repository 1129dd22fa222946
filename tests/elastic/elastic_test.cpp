// The elastic-layout component's stored settings, its owner checks and its
// place in front of the form's window procedure.
#include <gtest/gtest.h>

#include "classes/formstream.h"
#include "elastic/ElastFrm.h"
#include "gui/application.h"
#include "gui/extctrls.h"
#include "gui/guiclasses.h"

namespace {

class TElasticTestForm : public TForm {
  DECLARE_CLASS(TElasticTestForm)
public:
  explicit TElasticTestForm(TComponent* Owner) : TForm(Owner) {}
  TElasticForm* ElasticForm1 = nullptr;
  TImage* Image1 = nullptr;
};

BEGIN_CLASS_INFO(TElasticTestForm, TForm, nullptr)
  P.Field("ElasticForm1", &TElasticTestForm::ElasticForm1);
  P.Field("Image1", &TElasticTestForm::Image1);
END_CLASS_INFO

// What a wizard page stores: only what differs from the defaults.
const char* StoredForm = R"(object Page: TElasticTestForm
  Left = 200
  Top = 100
  Width = 372
  Height = 363
  Caption = 'Page'
  Font.Height = -11
  Font.Name = 'Tahoma'
  object ElasticForm1: TElasticForm
    ElasticFont = False
    DesignScreenWidth = 800
    DesignScreenHeight = 600
    DesignPixelsPerInch = 96
    DesignFormWidth = 372
    DesignFormHeight = 363
    DesignFormClientWidth = 364
    DesignFormClientHeight = 336
    DesignFormLeft = 200
    DesignFormTop = 100
    Font.Height = -11
    Font.Name = 'Tahoma'
    Version = 3.0499999523162842
  end
end
)";

struct Setup : ::testing::Environment {
  void SetUp() override {
    Application->Initialize();
    RegisterGuiClasses();
    RegisterElasticClasses();
  }
};
const auto* Env = ::testing::AddGlobalTestEnvironment(new Setup);

}  // namespace

TEST(ElasticSettings, StoredValuesAndDefaultsReadAndWriteBack) {
  TElasticTestForm Form(nullptr);
  Form.InitializeForm(StoredForm);
  ASSERT_NE(Form.ElasticForm1, nullptr);
  TElasticForm& E = *Form.ElasticForm1;
  EXPECT_EQ(E.DesignScreenWidth, 800);
  EXPECT_EQ(E.DesignScreenHeight, 600);
  EXPECT_EQ(E.DesignFormClientHeight, 336);
  EXPECT_FALSE(E.ElasticFont);
  EXPECT_TRUE(E.ElasticHorizontal);  // not stored: the default
  EXPECT_FALSE(E.MaintainProportions);
  EXPECT_EQ(E.MaximizedPosX, 0);
  EXPECT_EQ(E.ElFrmIniFile, "");
  EXPECT_EQ(E.Font()->Name(), "Tahoma");

  std::string Text = WriteComponent(Form);
  size_t At = Text.find("object ElasticForm1: TElasticForm");
  ASSERT_NE(At, std::string::npos);
  std::string Own = Text.substr(At, Text.find("  end", At) - At);
  EXPECT_NE(Own.find("ElasticFont = False"), std::string::npos);
  EXPECT_NE(Own.find("DesignScreenWidth = 800"), std::string::npos);
  EXPECT_NE(Own.find("Version = 3.0499999523162842"), std::string::npos);
  for (const char* Default : {"ElasticHorizontal", "ElasticVertical", "MaximizedPos", "MinimumTrack", "MaximumTrack",
                              "MaintainProportions", "DBGridSelfResize", "ElFrmIniFile", "BkGrndImage"})
    EXPECT_EQ(Own.find(Default), std::string::npos) << Default << " is at its default and must not be stored";
}

TEST(ElasticSettings, CreationHandlerValuesStayAndVersionIsPinned) {
  TElasticTestForm Form(nullptr);
  Form.InitializeForm(StoredForm);
  TElasticForm& E = *Form.ElasticForm1;
  E.DesignScreenWidth = 1024;
  E.DesignScreenHeight = 768;
  Form.Show();
  Application->ProcessMessages();
  EXPECT_EQ(E.DesignScreenWidth, 1024);
  EXPECT_EQ(E.DesignScreenHeight, 768);

  SetFloatProp(E, *GetPropInfo(E, "Version"), 7.5);
  EXPECT_FLOAT_EQ(E.Version(), 3.05f);
  TElasticTestForm Other(nullptr);
  std::string Text = StoredForm;
  Text.replace(Text.find("3.0499999523162842"), 18, "1.0");
  Other.InitializeForm(Text);
  EXPECT_FLOAT_EQ(Other.ElasticForm1->Version(), 3.05f);
}

TEST(ElasticSettings, FontSetterPassesTheFontToTheForm) {
  TElasticTestForm Form(nullptr);
  Form.InitializeForm(StoredForm);
  TFont Big;
  Big.SetName("Arial");
  Big.SetHeight(-27);
  Form.ElasticForm1->SetFont(&Big);
  EXPECT_EQ(Form.ElasticForm1->Font()->Name(), "Arial");
  EXPECT_EQ(Form.Font()->Name(), "Arial");
  EXPECT_EQ(Form.Font()->Height(), -27);
}

TEST(ElasticOwner, OwnerMustBeAFormWithoutAnotherElasticForm) {
  TComponent Plain(nullptr);
  try {
    new TElasticForm(&Plain);
    FAIL();
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message(), "Owner of TElasticForm component must be a form");
  }
  EXPECT_EQ(Plain.ComponentCount(), 0);
  EXPECT_THROW(TElasticForm(nullptr), Exception);

  TElasticTestForm Form(nullptr);
  Form.InitializeForm(StoredForm);
  try {
    new TElasticForm(&Form);
    FAIL();
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message(), "A TElasticForm component already exists in Page");
  }
  EXPECT_EQ(Form.ComponentCount(), 1);

  // Read from a resource, the second one stops the reading with the same message.
  std::string Twice = StoredForm;
  Twice.insert(Twice.rfind("end"), "  object ElasticForm2: TElasticForm\n  end\n");
  TElasticTestForm Again(nullptr);
  try {
    Again.InitializeForm(Twice);
    FAIL();
  } catch (const EReadError& E) {
    EXPECT_NE(E.Message().find("A TElasticForm component already exists in Page"), std::string::npos) << E.Message();
  }
}

TEST(ElasticHook, StandsInFrontOfTheFormAndLeavesWithIt) {
  auto* Form = new TElasticTestForm(nullptr);
  Form->InitializeForm("object Page: TElasticTestForm\nend\n");
  HWND Wnd = Form->Handle();
  auto Own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC));
  auto* Elastic = new TElasticForm(Form);
  EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)), Own);
  // Messages still reach the form through the hook.
  SetWindowTextA(Wnd, "Through the hook");
  EXPECT_EQ(Form->Caption(), "Through the hook");
  delete Elastic;
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)), Own);
  SetWindowTextA(Wnd, "Without it");
  EXPECT_EQ(Form->Caption(), "Without it");
  // A form destroyed with its component in front goes without a trace.
  new TElasticForm(Form);
  delete Form;
}

TEST(ElasticSettings, BackgroundImageIsHiddenAndForgottenWhenFreed) {
  std::string Text = StoredForm;
  Text.insert(Text.find("    Version"), "    BkGrndImage = Image1\n");
  Text.insert(Text.rfind("end"), "  object Image1: TImage\n    Left = 1\n  end\n");
  TElasticTestForm Form(nullptr);
  Form.InitializeForm(Text);
  EXPECT_EQ(Form.ElasticForm1->BkGrndImage(), Form.Image1);
  EXPECT_TRUE(Form.ElasticForm1->HasBackground());
  EXPECT_FALSE(Form.Image1->Visible());
  delete Form.Image1;
  EXPECT_EQ(Form.ElasticForm1->BkGrndImage(), nullptr);
  EXPECT_FALSE(Form.ElasticForm1->HasBackground());
}
