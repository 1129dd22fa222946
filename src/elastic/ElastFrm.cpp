#include "elastic/ElastFrm.h"

#include <algorithm>

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
  const bool Designing = ComponentState().Contains(csDesigning);
  RecordDefaults();
  if (!Designing) {
    HookForm();
    WaitForCreation();
  } else {
    CaptureDesignMetrics();
    DesignTimer_ = std::make_unique<TTimer>(nullptr);
    DesignTimer_->SetInterval(1000);
    DesignTimer_->OnTimer = TNotifyEvent([this](TObject*) { CaptureDesignMetrics(); });
  }
  Font_.Assign(Form_->Font());
  if (Designing) {
    Form_->HorzScrollBar()->SetVisible(false);
    Form_->VertScrollBar()->SetVisible(false);
    Form_->SetScaled(false);
    CheckTrueTypeFont();
  }
}

TElasticForm::~TElasticForm() {
  // The form's own procedure goes back in front before the form hears of our end.
  Hook_.Restore();
  ClientHook_.Restore();
}

void TElasticForm::CheckOwner(TComponent* AOwner) {
  Form_ = dynamic_cast<TForm*>(AOwner);
  if (!Form_) throw Exception("Owner of TElasticForm component must be a form");
  int Count = 0;
  for (int I = 0; I < Form_->ComponentCount(); ++I)
    if (dynamic_cast<TElasticForm*>(Form_->Components(I))) ++Count;
  if (Count > 1) throw Exception("A TElasticForm component already exists in " + Form_->Name());
}

void TElasticForm::RecordDefaults() {
  ScreenWidth_ = Screen->Width();
  ScreenHeight_ = Screen->Height();
  Position_ = Form_->Position();
  Maximized_ = Form_->WindowState() == wsMaximized;
  DesignScreenWidth = ScreenWidth_;
  DesignScreenHeight = ScreenHeight_;
  DesignPixelsPerInch = Screen->PixelsPerInch();
  DesignFormWidth = Form_->Width();
  DesignFormHeight = Form_->Height();
  DesignFormClientWidth = Form_->ClientWidth();
  DesignFormClientHeight = Form_->ClientHeight();
  DesignFormLeft = Form_->Left();
  DesignFormTop = Form_->Top();
}

void TElasticForm::HookForm() {
  // Asking for the handle makes the form's window now, while it is still read.
  Hook_.Install(Form_->Handle(), [this](HWND, UINT Msg, WPARAM W, LPARAM L, bool& Handled) {
    return FormWndProc(Msg, W, L, Handled);
  });
  if (HWND Client = Form_->ClientHandle())
    ClientHook_.Install(Client, [this](HWND, UINT Msg, WPARAM W, LPARAM, bool& Handled) -> LRESULT {
      return Msg == WM_ERASEBKGND ? ClientWndProc(reinterpret_cast<HDC>(W), Handled) : 0;
    });
}

void TElasticForm::WaitForCreation() {
  // Read with its form: the setup waits for the form's creation handler, which
  // may write the design screen (see Loaded).
  CreationPending_ = ComponentState().Contains(csLoading) || Form_->ComponentState().Contains(csLoading);
}

void TElasticForm::Loaded() {
  TComponent::Loaded();
  if (!CreationPending_) return;
  // The form runs its creation handler right after every component is loaded;
  // the layout may start once it has returned, or failed.
  TNotifyEvent Own = Form_->OnCreate;
  Form_->OnCreate = TNotifyEvent(
      [this, Own](TObject* Sender) {
        struct TDone {
          bool& Pending;
          ~TDone() { Pending = false; }
        } Done{CreationPending_};
        Own(Sender);
      },
      Own.Data, Own.Name);
}

// --- The form's messages ----------------------------------------------------------------

LRESULT TElasticForm::FormWndProc(UINT Msg, WPARAM W, LPARAM L, bool& Handled) {
  Handled = false;  // every message goes on to the form, after what is done here
  // Not yet created, or going: the form's own procedure has it alone.
  if (CreationPending_ || Form_->ComponentState().Contains(csDestroying)) return 0;
  HWND Focus = GetFocus();
  Preamble();
  switch (Msg) {
    case WM_SIZE:
      FormSized(W, Focus);
      break;
    case WM_ACTIVATE:
      MessageCounter_ = 10000;
      break;
    case WM_WINDOWPOSCHANGING:
      if (++MessageCounter_ >= 10000) Settled_ = true;
      break;
    case WM_ERASEBKGND:
      if (HasBackground_ && Form_->FormStyle() != fsMDIForm && Form_->FormStyle() != fsMDIChild)
        Handled = PaintBackground(reinterpret_cast<HDC>(W));
      break;
    case WM_SHOWWINDOW:
      FirstShown();
      break;
    case WM_GETMINMAXINFO:
      FillMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(L));
      break;
    case WM_SIZING:
      InSizing_ = true;
      RescaleAfterSizing_ = true;
      break;
    case WM_ENTERSIZEMOVE:
      StartWidth_ = Form_->Width();
      StartHeight_ = Form_->Height();
      break;
    case WM_EXITSIZEMOVE:
      SizeMoveEnded(Focus);
      break;
    default:
      break;
  }
  return 0;
}

void TElasticForm::Preamble() {
  if (Form_->Font()->Color() != Font_.Color() || Form_->Font()->Size() != Font_.Size()) SetFont(&Font_);
  if (SetupPending_) {
    PrepareLayout();
    StartWidth_ = TargetWidth_;
    StartHeight_ = TargetHeight_;
    HideControls();
    if (Form_->FormStyle() == fsMDIChild) SetupMDIChild();
    else if (Form_->FormStyle() == fsMDIForm) PlaceAtTarget();
  }
  if (RestorePositionPending_) {
    RestorePositionPending_ = false;
    TargetLeft_ = Round(Screen->Width() * StoredLeft_);
    TargetTop_ = Round(Screen->Height() * StoredTop_);
    PlaceAtTarget();
  }
}

void TElasticForm::SetupMDIChild() {
  const int Left = Form_->Left(), Top = Form_->Top();
  Form_->SetBounds(Left, Top, TargetWidth_, TargetHeight_);
  ResizeControls();
  MessageCounter_ = 10000;
  Form_->SetBounds(Left, Top, TargetWidth_, TargetHeight_);
}

void TElasticForm::PlaceAtTarget() { Form_->SetBounds(TargetLeft_, TargetTop_, TargetWidth_, TargetHeight_); }

void TElasticForm::FormSized(WPARAM SizeType, HWND& Focus) {
  if (SizeType == SIZE_MAXIMIZED && !Maximized_) {
    Focus = GetFocus();
    HideControls();
    Settled_ = true;
    Maximized_ = true;
    SetFont(&Font_);
  }
  if (Settled_ && SizeType == SIZE_RESTORED) {
    if (Maximized_) {
      Focus = GetFocus();
      HideControls();
    }
    InitialShowPending_ = false;
    Maximized_ = false;
    SetFont(&Font_);
  }
  // Until the form has been activated (or maximised) every size change snaps
  // back to the computed bounds; a borderless form always does.
  if (Form_->BorderStyle() == bsNone || InitialShowPending_ || !Settled_) PlaceAtTarget();
  if (InSizing_) return;  // a drag rescales once, when it ends
  if (Form_->FormStyle() == fsMDIChild) HideControls();
  ResizeControls();
  RepaintForm();
  RestoreControls();
  if (Focus && IsWindow(Focus) && GetFocus() != Focus) SetFocus(Focus);
  SaveLayoutFile();
}

void TElasticForm::FirstShown() {
  if (InitialShowPending_) {
    if (Form_->FormStyle() == fsMDIChild) {
      HideControls();
      ResizeControls();
      RestoreControls();
    } else {
      PlaceAtTarget();
    }
  }
  InitialShowPending_ = false;
  if (RestoreSizePending_) {
    ResizeControls();
    RestoreSizePending_ = false;
    TargetWidth_ = Round(Screen->Width() * StoredWidth_);
    TargetHeight_ = Round(Screen->Height() * StoredHeight_);
    PlaceAtTarget();
  }
}

void TElasticForm::SizeMoveEnded(HWND Focus) {
  InSizing_ = false;
  if (RescaleAfterSizing_) {
    Focus = GetFocus();
    HideControls();
    if (MaintainProportions) KeepProportions();
    else ResizeControls();
    RepaintForm();
    RestoreControls();
    if (Focus && IsWindow(Focus) && GetFocus() != Focus) SetFocus(Focus);
    RescaleAfterSizing_ = false;
  }
  Maximized_ = false;
  SaveLayoutFile();
}

void TElasticForm::RepaintForm() {
  // The form's own area now; the controls the pass moved were invalidated by
  // the move and paint once, when their turn comes.
  if (Form_->HandleAllocated())
    RedrawWindow(Form_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_NOCHILDREN);
}

LRESULT TElasticForm::ClientWndProc(HDC DC, bool& Handled) {
  Handled = HasBackground_ && PaintBackground(DC);
  return 0;
}

// --- Background -------------------------------------------------------------------------

bool TElasticForm::PaintBackground(HDC DC) {
  TGraphic* Graphic = BkGrndImage_ ? BkGrndImage_->Picture()->Graphic() : nullptr;
  auto* Picture = dynamic_cast<TBitmap*>(Graphic);
  // Nothing to paint: the window erases its background as it would without us.
  if (!Picture || Picture->Empty() || Picture->Width() <= 0 || Picture->Height() <= 0) return false;
  const int W = Picture->Width(), H = Picture->Height();
  const RECT Source{0, 0, W, H};
  RECT Client;
  GetClientRect(Form_->ClientHandle() ? Form_->ClientHandle() : Form_->Handle(), &Client);
  if (BkGrndImage_->Align() == alClient) {
    Picture->DrawPart(DC, RECT{0, 0, Form_->Width(), Form_->Height()}, Source, false);
    return true;
  }
  // Tiles overlap by a pixel, and go on until they cover the client area.
  const int StepX = std::max(W - 1, 1), StepY = std::max(H - 1, 1);
  for (int Y = 0; Y < Client.bottom || Y == 0; Y += StepY)
    for (int X = 0; X < Client.right || X == 0; X += StepX) Picture->DrawPart(DC, RECT{X, Y, X + W, Y + H}, Source, false);
  return true;
}

// --- Settings with an effect ------------------------------------------------------------

void TElasticForm::SetFont(TFont* Value) {
  if (Value != &Font_) Font_.Assign(Value);
  if (Form_) {
    Form_->Font()->Assign(&Font_);
    RepaintForm();  // the controls with the form's font repaint as they take it
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
  bool TrueType;
  {
    TSelectedObject Font(DC.Get(), Form_->Font()->Handle());
    TrueType = GetOutlineTextMetricsA(DC.Get(), 0, nullptr) != 0;
  }
  if (!TrueType)
    MessageDlg(
        "Form's Font is not True Type.  Only True Type font are guaranteed to resize well at all form sizes.  "
        "Consider Changing the form's font to one that is True Type.",
        mtWarning, {mbOK}, 0);
}
