#include "elastic_testing.h"

namespace elastictest {

BEGIN_CLASS_INFO(TLayoutForm, TForm, nullptr)
  P.Method("FormCreate", &TLayoutForm::FormCreate);
END_CLASS_INFO

std::string FormText(const std::string& Controls, const std::string& ElasticSettings, const std::string& FormSettings) {
  return R"(object Page: TLayoutForm
  Left = 100
  Top = 50
  Width = 400
  Height = 300
  HorzScrollBar.Visible = False
  VertScrollBar.Visible = False
  Caption = 'Elastic'
  Font.Height = -11
  Font.Name = 'Arial'
  Scaled = False
  OnCreate = FormCreate
)" + FormSettings +
         Controls + R"(  object ElasticForm1: TElasticForm
    DesignScreenWidth = 800
    DesignScreenHeight = 600
    DesignPixelsPerInch = 96
    DesignFormWidth = 400
    DesignFormHeight = 300
    DesignFormClientWidth = 392
    DesignFormClientHeight = 273
    DesignFormLeft = 100
    DesignFormTop = 50
    Font.Height = -11
    Font.Name = 'Arial'
)" + ElasticSettings +
         R"(  end
end
)";
}

void ShowAndSettle(TForm& Form) {
  Form.Show();
  ASSERT_TRUE(wintest::PumpUntil([&] { return Form.Active() && IsWindowVisible(Form.Handle()); }));
}

void SetFormBounds(TForm& Form, int Left, int Top, int Width, int Height) {
  Form.SetBounds(Left, Top, Width, Height);
  Application->ProcessMessages();
}

wintest::TBounds BoundsOf(const TControl& Control) {
  return wintest::TBounds{Control.Left(), Control.Top(), Control.Width(), Control.Height()};
}

TPositionRecorder::TPositionRecorder(HWND Wnd) {
  Hook_.Install(Wnd, [this](HWND, UINT Msg, WPARAM, LPARAM L, bool&) -> LRESULT {
    if (Msg != WM_WINDOWPOSCHANGED) return 0;
    const auto* P = reinterpret_cast<const WINDOWPOS*>(L);
    std::string Event;
    auto Add = [&Event](const char* Part) {
      if (!Event.empty()) Event += '+';
      Event += Part;
    };
    if (P->flags & SWP_HIDEWINDOW) Add("hide");
    if (!(P->flags & SWP_NOMOVE)) Add("move");
    if (!(P->flags & SWP_NOSIZE)) Add("size");
    if (P->flags & SWP_SHOWWINDOW) Add("show");
    if (!Event.empty()) Events.push_back(Event);
    return 0;
  });
}

}  // namespace elastictest
