// gui/ layer 4 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Panels, images and timers.
#pragma once

#include <windows.h>

#include <memory>

#include "gui/controls.h"
#include "gui/msgwindow.h"

// Makes panels, images and timers known to the form reader (RegisterGuiClasses does).
void RegisterExtCtrlsClasses();

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
const TEnumInfo& BevelCutNames();

// A container with beveled edges and a caption in its middle.
class TPanel : public TCustomControl {
  DECLARE_CLASS(TPanel)
public:
  explicit TPanel(TComponent* Owner);
  TAlignment Alignment() const { return Alignment_; }
  void SetAlignment(TAlignment Value);
  TBevelCut BevelInner() const { return BevelInner_; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return BevelOuter_; }
  void SetBevelOuter(TBevelCut Value);
  int BevelWidth() const { return BevelWidth_; }
  void SetBevelWidth(int Value);
  // Space between the outer and the inner bevel.
  int BorderWidth() const { return BorderWidth_; }
  void SetBorderWidth(int Value);
  TBorderStyle BorderStyle() const { return BorderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  // The area inside the bevels, where aligned children go.
  void AdjustClientRect(RECT& Rect) const override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

private:
  void Changed();
  TAlignment Alignment_ = taCenter;
  TBevelCut BevelInner_ = bvNone;
  TBevelCut BevelOuter_ = bvRaised;
  int BevelWidth_ = 1;
  int BorderWidth_ = 0;
  TBorderStyle BorderStyle_ = bsNone;
};

// A picture on its parent: at its size at the top left, centred, or stretched
// to the control (Proportional: keeping its aspect).
class TImage : public TGraphicControl {
  DECLARE_CLASS(TImage)
public:
  explicit TImage(TComponent* Owner);
  TPicture* Picture() const { return const_cast<TPicture*>(&Picture_); }
  void SetPicture(TPicture* Value) { Picture_.Assign(Value); }
  bool Stretch() const { return Stretch_; }
  void SetStretch(bool Value);
  bool Center() const { return Center_; }
  void SetCenter(bool Value);
  bool Proportional() const { return Proportional_; }
  void SetProportional(bool Value);
  // Leaves out the bitmap's transparent colour (its bottom-left pixel).
  bool Transparent() const { return Transparent_; }
  void SetTransparent(bool Value);
  // Where the picture is drawn, in the control's client area.
  RECT DestRect() const;

protected:
  void Paint() override;
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;

private:
  void PictureChanged();
  TPicture Picture_;
  bool Stretch_ = false;
  bool Center_ = false;
  bool Proportional_ = false;
  bool Transparent_ = false;
};

// Runs OnTimer every Interval milliseconds while Enabled. A timer read with a
// form starts once the form is read.
class TTimer : public TComponent {
  DECLARE_CLASS(TTimer)
public:
  explicit TTimer(TComponent* Owner);
  ~TTimer() override;
  bool Enabled() const { return Enabled_; }
  void SetEnabled(bool Value);
  unsigned Interval() const { return Interval_; }
  void SetInterval(unsigned Value);

  TNotifyEvent OnTimer;

  void Loaded() override;

private:
  static constexpr UINT_PTR TimerId = 1;
  void Update();
  void Fire();
  bool Enabled_ = true;
  unsigned Interval_ = 1000;
  bool Running_ = false;
  // Made when the timer first runs; gets its WM_TIMER.
  std::unique_ptr<TMessageWindow> Window_;
};
