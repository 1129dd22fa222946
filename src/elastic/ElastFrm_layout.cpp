// The form's geometry: the setup at the first message, the rescale pass over
// the managed controls, hiding and restoring them, the tracking limits and the
// aspect ratio kept at the end of a user drag.
#include <algorithm>
#include <cmath>

#include "elastic/ElastFrm.h"
#include "gui/forms.h"

namespace {

// A ratio whose divisor may be zero (a setting never stored, a window with no
// client area): then nothing is scaled.
double Ratio(double Value, double Divisor) { return Divisor != 0 ? Value / Divisor : 1.0; }

// The halved difference of a centring, truncated toward zero.
int Halved(int Difference) { return Difference / 2; }

// A setting in pixels when positive, in percent of Extent when negative.
int Pixels(int Value, int Extent) { return Value > 0 ? Value : Round(Extent * -static_cast<double>(Value) / 100.0); }

}  // namespace

void TElasticForm::PrepareLayout() {
  SetupPending_ = false;  // messages the setup itself causes find it done
  if (!ControlsCollected_) {
    ControlsCollected_ = true;
    CollectControls(*Form_, Controls_);
    Frames_.assign(Controls_.size(), TFrame{});
    for (size_t I = 0; I < Controls_.size(); ++I) {
      Frames_[I].Left = Controls_[I]->Left();
      Frames_[I].Top = Controls_[I]->Top();
      Frames_[I].Width = Controls_[I]->Width();
      Frames_[I].Height = Controls_[I]->Height();
    }
    LoadLayoutFile();
    for (size_t I = 0; I < Controls_.size(); ++I) Frames_[I].SavedVisible = Controls_[I]->Visible();
    HideControls();
  }
  if (Form_->WindowState() == wsMaximized) {
    DesignFormWidth = DesignScreenWidth;
    DesignFormHeight = DesignScreenHeight;
    DesignFormLeft = MaximizedPosX != 0 ? Pixels(MaximizedPosX, DesignScreenWidth) : 0;
    DesignFormTop = MaximizedPosY != 0 ? Pixels(MaximizedPosY, DesignScreenHeight) : 0;
  }
  ScaleX_ = Ratio(ScreenWidth_, DesignScreenWidth);
  ScaleY_ = Ratio(ScreenHeight_, DesignScreenHeight);
  ScaleFont_ = std::sqrt(ScaleY_ * ScaleX_);
  ComputeTargets();
  MessageCounter_ = 0;
}

void TElasticForm::ComputeTargets() {
  TargetFontSize_ = RoundFontSize(Form_->Font()->Size() * ScaleFont_);
  TargetLeft_ = Round(DesignFormLeft * ScaleX_);
  TargetTop_ = Round(DesignFormTop * ScaleY_);
  // A borderless form is all client area.
  const bool Borderless = Form_->BorderStyle() == bsNone;
  TargetWidth_ = Round((Borderless ? DesignFormClientWidth : DesignFormWidth) * ScaleX_);
  TargetHeight_ = Round((Borderless ? DesignFormClientHeight : DesignFormHeight) * ScaleY_);
  const int ScreenW = Screen->Width(), ScreenH = Screen->Height();
  if (Position_ == poScreenCenter) {
    TargetLeft_ = Halved(ScreenW - TargetWidth_);
    TargetTop_ = Halved(ScreenH - TargetHeight_);
  }
  if (ScreenW < TargetLeft_ + TargetWidth_) TargetLeft_ = Halved(ScreenW - TargetWidth_);
  if (ScreenH < TargetTop_ + TargetHeight_) TargetTop_ = Halved(ScreenH - TargetHeight_);
  TargetLeft_ = std::max(TargetLeft_, 0);
  TargetTop_ = std::max(TargetTop_, 0);
}

void TElasticForm::ResizeControls() {
  if (InSizing_) return;
  if (FirstPassPending_) {
    for (size_t I = 0; I < Controls_.size(); ++I) CaptureControl(Frames_[I], *Controls_[I], ScaleX_, ScaleY_, ScaleFont_);
    // The form's font is scaled once, whatever ElasticFont says.
    if (TargetFontSize_ != 0) Font_.SetSize(TargetFontSize_);
    RefClientWidth_ = Form_->ClientWidth();
    RefClientHeight_ = Form_->ClientHeight();
    RefFontSize_ = Font_.Size();
    FirstPassPending_ = false;
  }
  // The font follows the smaller of the form's two stretches.
  const double SW = RefClientWidth_ ? Ratio(RefFontSize_ * Form_->Width(), RefClientWidth_) : RefFontSize_;
  const double SH = RefClientHeight_ ? Ratio(RefFontSize_ * Form_->Height(), RefClientHeight_) : RefFontSize_;
  const double S = std::min(SW, SH);
  if (ElasticFont) Font_.SetSize(Round(S));
  const double FontRatio = Ratio(S, RefFontSize_);
  for (size_t I = 0; I < Controls_.size(); ++I) ApplyControl(Frames_[I], *Controls_[I], PassFactors(FontRatio));
  if (RestoreVisibilityPending_) {
    RestoreControls();
    RestoreVisibilityPending_ = false;
  }
}

TPassFactors TElasticForm::PassFactors(double FontRatio) const {
  TPassFactors F;
  F.Horizontal = ElasticHorizontal;
  F.Vertical = ElasticVertical;
  F.ElasticFont = ElasticFont;
  F.Horz = Ratio(Form_->ClientWidth(), RefClientWidth_);
  F.Vert = Ratio(Form_->ClientHeight(), RefClientHeight_);
  F.FontRatio = FontRatio;
  F.ScaleX = ScaleX_;
  F.ScaleY = ScaleY_;
  F.GridSelfResize = DBGridSelfResize;
  return F;
}

void TElasticForm::HideControls() {
  for (TControl* C : Controls_) C->SetVisible(false);
}

void TElasticForm::RestoreControls() {
  // Children first, so that a container shows once with all of them in place.
  for (size_t I = Controls_.size(); I-- > 0;) Controls_[I]->SetVisible(Frames_[I].SavedVisible);
}

void TElasticForm::FillMinMaxInfo(MINMAXINFO& Info) {
  if (FirstPassPending_ && Form_->WindowState() == wsMaximized) ResizeControls();
  const int ScreenW = Screen->Width(), ScreenH = Screen->Height();
  if (MaintainProportions && TargetWidth_ != 0 && TargetHeight_ != 0 && ScreenH != 0) {
    if (static_cast<double>(TargetWidth_) / TargetHeight_ > static_cast<double>(ScreenW) / ScreenH) {
      MaximumTrackHeight = Round(static_cast<double>(ScreenW) * TargetHeight_ / TargetWidth_);
      MaxSizeHeight_ = MaximumTrackHeight;
      if (Position_ == poScreenCenter) MaximizedPosY = Halved(ScreenH - MaximumTrackHeight);
    } else {
      MaximumTrackWidth = Round(static_cast<double>(ScreenH) * TargetWidth_ / TargetHeight_);
      MaxSizeWidth_ = MaximumTrackWidth;
      if (Position_ == poScreenCenter) MaximizedPosX = Halved(ScreenW - MaximumTrackWidth);
    }
  }
  const bool Unset = !MaxSizeWidth_ && !MaxSizeHeight_ && !MaximizedPosX && !MaximizedPosY && !MinimumTrackWidth &&
                     !MinimumTrackHeight && !MaximumTrackWidth && !MaximumTrackHeight;
  if (Unset || FirstPassPending_) return;
  if (MaxSizeWidth_) Info.ptMaxSize.x = MaxSizeWidth_;
  if (MaxSizeHeight_) Info.ptMaxSize.y = MaxSizeHeight_;
  auto Store = [](LONG& Field, int Value, int Extent) {
    if (Value) Field = Pixels(Value, Extent);
  };
  Store(Info.ptMaxPosition.x, MaximizedPosX, ScreenW);
  Store(Info.ptMaxPosition.y, MaximizedPosY, ScreenH);
  Store(Info.ptMinTrackSize.x, MinimumTrackWidth, ScreenW);
  Store(Info.ptMinTrackSize.y, MinimumTrackHeight, ScreenH);
  Store(Info.ptMaxTrackSize.x, MaximumTrackWidth, ScreenW);
  Store(Info.ptMaxTrackSize.y, MaximumTrackHeight, ScreenH);
}

void TElasticForm::KeepProportions() {
  int W = Form_->Width(), H = Form_->Height();
  if (StartWidth_ != 0 && StartHeight_ != 0) {
    // The side that changed most leads; the other follows the starting ratio.
    const bool Grew = W + H > StartWidth_ + StartHeight_;
    const int DW = W - StartWidth_, DH = H - StartHeight_;
    const int FollowH = Round(static_cast<double>(W) * StartHeight_ / StartWidth_);
    const int FollowW = Round(static_cast<double>(H) * StartWidth_ / StartHeight_);
    if (Grew && DW > DH) H = FollowH;
    else if (Grew && DW < DH) W = FollowW;
    else if (!Grew && DW > DH) W = FollowW;
    else if (!Grew && DW < DH) H = FollowH;
  }
  // The drag itself rescaled nothing: when the form keeps the size it was
  // dragged to, no size change follows to do it.
  if (W == Form_->Width() && H == Form_->Height()) ResizeControls();
  else Form_->SetBounds(Form_->Left(), Form_->Top(), W, H);
}
