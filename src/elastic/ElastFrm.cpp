#include "elastic/ElastFrm.h"

#include "gui/dialogs.h"
#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/handles.h"

BEGIN_CLASS_INFO(TElasticForm, TComponent, ComponentCreator<TElasticForm>)
  auto Flag = [&P](const char* Name, bool TElasticForm::*Field, bool Default) {
    P.Bool(Name, [Field](const TElasticForm& E) { return E.*Field; },
           [Field](TElasticForm& E, int64_t V) { E.*Field = V != 0; }, Default);
  };
  auto Number = [&P](const char* Name, int TElasticForm::*Field, std::optional<int64_t> Default) {
    P.Int(Name, [Field](const TElasticForm& E) { return E.*Field; },
          [Field](TElasticForm& E, int64_t V) { E.*Field = static_cast<int>(V); }, Default);
  };
  Flag("ElasticHorizontal", &TElasticForm::ElasticHorizontal, true);
  Flag("ElasticVertical", &TElasticForm::ElasticVertical, true);
  Flag("ElasticFont", &TElasticForm::ElasticFont, true);
  // The design metrics have no default: a form resource always holds them.
  Number("DesignScreenWidth", &TElasticForm::DesignScreenWidth, {});
  Number("DesignScreenHeight", &TElasticForm::DesignScreenHeight, {});
  Number("DesignPixelsPerInch", &TElasticForm::DesignPixelsPerInch, {});
  Number("MaximizedPosX", &TElasticForm::MaximizedPosX, 0);
  Number("MaximizedPosY", &TElasticForm::MaximizedPosY, 0);
  Number("MinimumTrackWidth", &TElasticForm::MinimumTrackWidth, 0);
  Number("MinimumTrackHeight", &TElasticForm::MinimumTrackHeight, 0);
  Number("MaximumTrackWidth", &TElasticForm::MaximumTrackWidth, 0);
  Number("MaximumTrackHeight", &TElasticForm::MaximumTrackHeight, 0);
  Number("DesignFormWidth", &TElasticForm::DesignFormWidth, {});
  Number("DesignFormHeight", &TElasticForm::DesignFormHeight, {});
  Number("DesignFormClientWidth", &TElasticForm::DesignFormClientWidth, {});
  Number("DesignFormClientHeight", &TElasticForm::DesignFormClientHeight, {});
  Number("DesignFormLeft", &TElasticForm::DesignFormLeft, {});
  Number("DesignFormTop", &TElasticForm::DesignFormTop, {});
  Flag("MaintainProportions", &TElasticForm::MaintainProportions, false);
  P.Obj<TFont>("Font", &TElasticForm::Font, &TElasticForm::SetFont);
  P.Obj<TImage>("BkGrndImage", &TElasticForm::BkGrndImage, &TElasticForm::SetBkGrndImage);
  Flag("DBGridSelfResize", &TElasticForm::DBGridSelfResize, false);
  P.Str("ElFrmIniFile", [](const TElasticForm& E) { return E.ElFrmIniFile; },
        [](TElasticForm& E, const std::string& V) { E.ElFrmIniFile = V; });
  P.Float("Version", &TElasticForm::Version, [](TElasticForm& E, double V) { E.SetVersion(static_cast<float>(V)); });
END_CLASS_INFO

void RegisterElasticClasses() { RegisterComponentClass(TElasticForm::StaticClassInfo()); }

TElasticForm::TElasticForm(TComponent* AOwner) : TComponent(AOwner) {
  CheckOwner(AOwner);
  bool Designing = ComponentState().Contains(csDesigning);
  if (!Designing) {
    HookForm();
  } else {
    CaptureDesignMetrics();
    DesignTimer_ = new TTimer(this);
    DesignTimer_->SetInterval(1000);
    DesignTimer_->OnTimer = TNotifyEvent([this](TObject*) { CaptureDesignMetrics(); });
  }
  Font_.Assign(Form_->Font());
  if (Designing) {
    Form_->HorzScrollBar()->SetVisible(false);
    Form_->VertScrollBar()->SetVisible(false);
    Form_->SetScaled(false);
    DesignScreenWidth = Screen->Width();
    DesignScreenHeight = Screen->Height();
    DesignPixelsPerInch = Screen->PixelsPerInch();
    CheckTrueTypeFont();
  }
}

TElasticForm::~TElasticForm() {
  // The form's own procedure goes back in front before the form hears of our end.
  Hook_.Restore();
}

void TElasticForm::CheckOwner(TComponent* AOwner) {
  Form_ = dynamic_cast<TForm*>(AOwner);
  if (!Form_) throw Exception("Owner of TElasticForm component must be a form");
  int Count = 0;
  for (int I = 0; I < Form_->ComponentCount(); ++I)
    if (dynamic_cast<TElasticForm*>(Form_->Components(I))) ++Count;
  if (Count > 1) throw Exception("A TElasticForm component already exists in " + Form_->Name());
}

void TElasticForm::HookForm() {
  // Asking for the handle makes the form's window now, while it is still read.
  Hook_.Install(Form_->Handle(), [this](HWND Wnd, UINT Msg, WPARAM W, LPARAM L, bool& Handled) {
    return FormWndProc(Wnd, Msg, W, L, Handled);
  });
}

LRESULT TElasticForm::FormWndProc(HWND, UINT, WPARAM, LPARAM, bool& Handled) {
  // Every message goes on to the form unchanged: this is where the rescaling
  // of the form and its controls hooks in.
  Handled = false;
  return 0;
}

void TElasticForm::SetFont(TFont* Value) {
  if (Value != &Font_) Font_.Assign(Value);
  if (Form_) {
    Form_->Font()->Assign(&Font_);
    Form_->Repaint();
  }
}

void TElasticForm::SetBkGrndImage(TImage* Value) {
  if (BkGrndImage_ && BkGrndImage_ != Value) BkGrndImage_->RemoveFreeNotification(this);
  BkGrndImage_ = Value;
  HasBackground_ = Value != nullptr;
  if (Value) {
    Value->FreeNotification(this);
    Value->SetVisible(false);
  }
}

void TElasticForm::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == BkGrndImage_) {
    BkGrndImage_ = nullptr;
    HasBackground_ = false;
  }
  if (Operation == opRemove && AComponent == DesignTimer_) DesignTimer_ = nullptr;
}

void TElasticForm::CaptureDesignMetrics() {
  DesignFormWidth = Form_->Width();
  DesignFormHeight = Form_->Height();
  DesignFormClientWidth = Form_->ClientWidth();
  DesignFormClientHeight = Form_->ClientHeight();
  DesignFormTop = Form_->Top();
  DesignFormLeft = Form_->Left();
  if (Form_->BorderStyle() != bsSizeable && Form_->BorderStyle() != bsSizeToolWin) Form_->SetAutoScroll(false);
  Font_.Assign(Form_->Font());
}

void TElasticForm::CheckTrueTypeFont() {
  TWindowDC DC(Form_->Handle());
  HGDIOBJ Old = SelectObject(DC.Get(), Form_->Font()->Handle());
  bool TrueType = GetOutlineTextMetricsA(DC.Get(), 0, nullptr) != 0;
  SelectObject(DC.Get(), Old);
  if (!TrueType)
    MessageDlg(
        "Form's Font is not True Type.  Only True Type font are guaranteed to resize well at all form sizes.  "
        "Consider Changing the form's font to one that is True Type.",
        mtWarning, {mbOK}, 0);
}
