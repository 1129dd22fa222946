// TElasticForm: the component a form owns (one per form) that keeps the form
// and its named controls proportional to the screen the program runs on,
// measured against the screen the form was designed on. The form resource
// stores its settings; the form's creation handler may overwrite the design
// screen before the form is first shown. At run time the component does its
// work from inside the form's window procedure, which it replaces when it is
// made; nothing else calls it.
#pragma once

#include <string>

#include "classes/components.h"
#include "gui/graphics.h"
#include "gui/winhook.h"

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
  // font and the form repainted.
  TFont* Font() const { return const_cast<TFont*>(&Font_); }
  void SetFont(TFont* Value);
  // The image painted as the form's background; the image control itself is hidden.
  TImage* BkGrndImage() const { return BkGrndImage_; }
  void SetBkGrndImage(TImage* Value);
  bool HasBackground() const { return HasBackground_; }
  // Always 3.05: the setter ignores what it is given.
  float Version() const { return Version_; }
  void SetVersion(float) { Version_ = 3.05f; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void CheckOwner(TComponent* AOwner);
  void HookForm();
  // The replacement window procedure of the owner form; what it does not handle
  // goes on to the form's previous procedure.
  LRESULT FormWndProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L, bool& Handled);
  // Design state: the form's current size and place become the design metrics.
  void CaptureDesignMetrics();
  void CheckTrueTypeFont();

  TForm* Form_ = nullptr;  // not owned: the owner
  TWindowHook Hook_;
  TFont Font_;
  TImage* BkGrndImage_ = nullptr;  // not owned
  bool HasBackground_ = false;
  float Version_ = 3.05f;
  TTimer* DesignTimer_ = nullptr;  // owned through the component tree, design state only
};

// The elastic package's classes: makes TElasticForm known to the form reader. A
// program calls it at start-up, before reading a form that holds one; nothing
// registers itself.
void RegisterElasticClasses();
