// TElasticForm: the component a form owns (one per form) that keeps the form
// and its named controls proportional to the screen the program runs on,
// measured against the screen the form was designed on, and again whenever the
// user resizes or maximises the window. It also keeps the window's aspect ratio
// during a user resize (MaintainProportions), limits the tracking size and
// places the maximised window (pixels, or percent of the screen when negative),
// remembers the window's state, place, size and its controls' visibility in a
// layout file (ElFrmIniFile) and paints a background picture (BkGrndImage).
//
// The form resource stores its settings; the form's creation handler may
// overwrite the design screen before the form is first shown. At run time the
// component does all its work from inside the form's window procedure, which it
// replaces when it is made: the first message after the form's creation handler
// has run prepares the layout, the first showing scales the form and captures
// every control (ElastFrm_rules.h), and every later size change rescales them.
// Nothing else calls it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "classes/components.h"
#include "elastic/ElastFrm_rules.h"
#include "gui/graphics.h"
#include "gui/winhook.h"

class TControl;
class TForm;
class TImage;
class TTimer;

class TElasticForm : public TComponent {
  DECLARE_CLASS(TElasticForm)
public:
  // Raises Exception "Owner of TElasticForm component must be a form" when the
  // owner is no form, and "A TElasticForm component already exists in <name>"
  // when the form has one already.
  explicit TElasticForm(TComponent* AOwner);
  ~TElasticForm() override;

  TForm* OwnerForm() const { return Form_; }

  bool ElasticHorizontal = true;
  bool ElasticVertical = true;
  bool ElasticFont = true;
  // A component made in code (not read with its form) starts with the running
  // screen and the form's current bounds as its design metrics: it scales by 1.
  int DesignScreenWidth = 0;
  int DesignScreenHeight = 0;
  int DesignPixelsPerInch = 0;  // recorded only
  // Positive: pixels; negative: percent of the screen; zero: not set.
  int MaximizedPosX = 0;
  int MaximizedPosY = 0;
  int MinimumTrackWidth = 0;
  int MinimumTrackHeight = 0;
  int MaximumTrackWidth = 0;
  int MaximumTrackHeight = 0;
  int DesignFormWidth = 0;
  int DesignFormHeight = 0;
  int DesignFormClientWidth = 0;
  int DesignFormClientHeight = 0;
  int DesignFormLeft = 0;
  int DesignFormTop = 0;
  bool MaintainProportions = false;
  bool DBGridSelfResize = false;
  std::string ElFrmIniFile;

  // The form's master font: the value is copied, passed on to the owner form's
  // font and the form repainted. A change of the form's font size or colour made
  // elsewhere is undone at the form's next message.
  TFont* Font() const { return const_cast<TFont*>(&Font_); }
  void SetFont(TFont* Value);
  // The image painted as the form's background; the image control itself is hidden.
  TImage* BkGrndImage() const { return BkGrndImage_; }
  void SetBkGrndImage(TImage* Value);
  bool HasBackground() const { return HasBackground_; }
  // Always 3.05: the setter ignores what it is given.
  float Version() const { return Version_; }
  void SetVersion(float) { Version_ = 3.05f; }

  // What the layout computed and manages, for those who look at it.
  int TargetLeft() const { return TargetLeft_; }
  int TargetTop() const { return TargetTop_; }
  int TargetWidth() const { return TargetWidth_; }
  int TargetHeight() const { return TargetHeight_; }
  int TargetFontSize() const { return TargetFontSize_; }
  const std::vector<TControl*>& ManagedControls() const { return Controls_; }
  const TFrame& Frame(int Index) const { return Frames_.at(static_cast<size_t>(Index)); }

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;

private:
  void CheckOwner(TComponent* AOwner);
  void RecordDefaults();
  void HookForm();
  void WaitForCreation();

  // The replacement window procedures; what they leave goes on to the previous one.
  LRESULT FormWndProc(UINT Msg, WPARAM W, LPARAM L, bool& Handled);
  LRESULT ClientWndProc(HDC DC, bool& Handled);
  void Preamble();
  void FormSized(WPARAM SizeType, HWND& Focus);
  void FirstShown();
  void SizeMoveEnded(HWND Focus);
  void FillMinMaxInfo(MINMAXINFO& Info);
  void SetupMDIChild();
  void RepaintForm();

  // ElastFrm_layout.cpp
  void PrepareLayout();
  void ComputeTargets();
  void ResizeControls();
  TPassFactors PassFactors(double FontRatio) const;
  void HideControls();
  void RestoreControls();
  void KeepProportions();
  void PlaceAtTarget();
  // ElastFrm_layoutfile.cpp
  void SaveLayoutFile();
  void LoadLayoutFile();

  // False when there is no picture to paint.
  bool PaintBackground(HDC DC);
  // Design state: the form's current size and place become the design metrics.
  void CaptureDesignMetrics();
  void CheckTrueTypeFont();

  TForm* Form_ = nullptr;  // not owned: the owner
  TWindowHook Hook_;
  TWindowHook ClientHook_;  // the MDI client window of an MDI parent form
  TFont Font_;
  TImage* BkGrndImage_ = nullptr;  // not owned
  bool HasBackground_ = false;
  float Version_ = 3.05f;
  // Design state only. Owned here, not by us as a component: what we own is
  // designed with us, and a designed timer does not run.
  std::unique_ptr<TTimer> DesignTimer_;

  int ScreenWidth_ = 0;  // at construction
  int ScreenHeight_ = 0;
  int Position_ = 0;     // the form's TPosition at construction
  double ScaleX_ = 1, ScaleY_ = 1, ScaleFont_ = 1;
  int TargetLeft_ = 0, TargetTop_ = 0, TargetWidth_ = 0, TargetHeight_ = 0, TargetFontSize_ = 0;
  int RefClientWidth_ = 0, RefClientHeight_ = 0, RefFontSize_ = 0;
  int StartWidth_ = 0, StartHeight_ = 0;
  int MaxSizeWidth_ = 0, MaxSizeHeight_ = 0;  // of the maximised window, set by MaintainProportions
  std::vector<TControl*> Controls_;  // not owned: the form's
  std::vector<TFrame> Frames_;       // one per entry of Controls_
  bool ControlsCollected_ = false;
  int MessageCounter_ = 0;

  bool CreationPending_ = false;  // the form is read, but its creation handler has not run
  bool SetupPending_ = true;
  bool FirstPassPending_ = true;
  bool InitialShowPending_ = true;
  bool RestoreVisibilityPending_ = true;
  bool Settled_ = false;
  bool InSizing_ = false;
  bool RescaleAfterSizing_ = false;
  bool RestorePositionPending_ = false;
  bool RestoreSizePending_ = false;
  // Whether this form is maximised, as the layout sees it (a maximise sets it; a
  // restore or the end of a user size/move clears it).
  bool Maximized_ = false;
  // The window's place and size read from the layout file, as fractions of the screen.
  double StoredLeft_ = 0, StoredTop_ = 0, StoredWidth_ = 0, StoredHeight_ = 0;
};

// The elastic package's classes: makes TElasticForm known to the form reader. A
// program calls it at start-up, before reading a form that holds one; nothing
// registers itself.
void RegisterElasticClasses();
