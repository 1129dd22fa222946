#include "gui/extctrls.h"

#include <algorithm>

#include "classes/sysutils.h"

const TEnumInfo& BevelCutNames() {
  static const TEnumInfo Names{"bvNone", "bvLowered", "bvRaised", "bvSpace"};
  return Names;
}

void RegisterExtCtrlsClasses() {
  for (const TClassInfo* C : {&TPanel::StaticClassInfo(), &TImage::StaticClassInfo(), &TTimer::StaticClassInfo()})
    RegisterComponentClass(*C);
}

// --- TPanel ----------------------------------------------------------------------

BEGIN_CLASS_INFO(TPanel, TCustomControl, ComponentCreator<TPanel>)
  PublishCaption(P);
  PublishFont(P);
  PublishColor(P, clBtnFace, false);
  PublishTabStop(P, false);
  P.Enum("Alignment", &TPanel::Alignment, &TPanel::SetAlignment, AlignmentNames(), taCenter);
  P.Enum("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner, BevelCutNames(), bvNone);
  P.Enum("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter, BevelCutNames(), bvRaised);
  P.Int("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth, 1);
  P.Int("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth, 0);
  P.Enum("BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle, BorderStyleNames(), bsNone);
END_CLASS_INFO

TPanel::TPanel(TComponent* Owner) : TCustomControl(Owner) {
  Width_ = 185;
  Height_ = 41;
  SetColor(clBtnFace);
}

void TPanel::CreateParams(TCreateParams& P) {
  TCustomControl::CreateParams(P);
  P.Style |= WS_CLIPCHILDREN;
  if (BorderStyle_ == bsSingle) P.ExStyle |= WS_EX_CLIENTEDGE;
}

void TPanel::AdjustClientRect(RECT& Rect) const {
  int Inset = BorderWidth_;
  if (BevelOuter_ != bvNone) Inset += BevelWidth_;
  if (BevelInner_ != bvNone) Inset += BevelWidth_;
  InflateRect(&Rect, -Inset, -Inset);
}

namespace {
// Lines of Width pixels: the top and left ones in TopLeft, the others in BottomRight.
void Frame3D(HDC DC, RECT& R, COLORREF TopLeft, COLORREF BottomRight, int Width) {
  TGdiObject<HBRUSH> Light(CreateSolidBrush(TopLeft));
  TGdiObject<HBRUSH> Dark(CreateSolidBrush(BottomRight));
  for (int I = 0; I < Width && R.right > R.left && R.bottom > R.top; ++I) {
    RECT Top{R.left, R.top, R.right - 1, R.top + 1}, Left{R.left, R.top, R.left + 1, R.bottom - 1};
    RECT Bottom{R.left, R.bottom - 1, R.right, R.bottom}, Right{R.right - 1, R.top, R.right, R.bottom};
    FillRect(DC, &Top, Light.Get());
    FillRect(DC, &Left, Light.Get());
    FillRect(DC, &Bottom, Dark.Get());
    FillRect(DC, &Right, Dark.Get());
    InflateRect(&R, -1, -1);
  }
}

void Bevel(HDC DC, RECT& R, TBevelCut Cut, int Width) {
  const COLORREF Face = ColorToRGB(clBtnFace), Light = ColorToRGB(clBtnHighlight), Shadow = ColorToRGB(clBtnShadow);
  switch (Cut) {
    case bvLowered: Frame3D(DC, R, Shadow, Light, Width); break;
    case bvRaised: Frame3D(DC, R, Light, Shadow, Width); break;
    case bvSpace: Frame3D(DC, R, Face, Face, Width); break;
    default: break;
  }
}
}  // namespace

void TPanel::Paint() {
  TCanvas& C = Canvas();
  HDC DC = C.Handle();
  RECT R = ClientRect();
  Bevel(DC, R, BevelOuter_, BevelWidth_);
  InflateRect(&R, -BorderWidth_, -BorderWidth_);
  Bevel(DC, R, BevelInner_, BevelWidth_);
  C.Brush().SetColor(Color_);
  C.FillRect(R);
  const std::string T = GetText();
  if (T.empty()) return;
  static const UINT Aligns[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  C.Brush().SetStyle(bsClear);
  C.Font().SetColor(Enabled_ ? Font()->Color() : clGrayText);
  C.FormatText(T, R, DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | Aligns[Alignment_]);
}

void TPanel::Changed() {
  Realign();
  Invalidate();
}

void TPanel::SetAlignment(TAlignment Value) {
  Alignment_ = Value;
  Invalidate();
}

void TPanel::SetBevelInner(TBevelCut Value) {
  BevelInner_ = Value;
  Changed();
}

void TPanel::SetBevelOuter(TBevelCut Value) {
  BevelOuter_ = Value;
  Changed();
}

void TPanel::SetBevelWidth(int Value) {
  BevelWidth_ = std::max(Value, 1);
  Changed();
}

void TPanel::SetBorderWidth(int Value) {
  BorderWidth_ = std::max(Value, 0);
  Changed();
}

void TPanel::SetBorderStyle(TBorderStyle Value) {
  if (Value == BorderStyle_) return;
  BorderStyle_ = Value;
  RecreateWnd();
  Changed();
}

// --- TImage ----------------------------------------------------------------------

BEGIN_CLASS_INFO(TImage, TGraphicControl, ComponentCreator<TImage>)
  P.Bool("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize, false);
  P.Bool("Center", &TImage::Center, &TImage::SetCenter, false);
  P.Obj<TPicture>("Picture", &TImage::Picture, &TImage::SetPicture);
  P.Bool("Proportional", &TImage::Proportional, &TImage::SetProportional, false);
  P.Bool("Stretch", &TImage::Stretch, &TImage::SetStretch, false);
  P.Bool("Transparent", &TImage::Transparent, &TImage::SetTransparent, false);
END_CLASS_INFO

TImage::TImage(TComponent* Owner) : TGraphicControl(Owner) {
  Width_ = 105;
  Height_ = 105;
  Picture_.OnChange = TNotifyEvent([this](TObject*) { PictureChanged(); });
}

void TImage::PictureChanged() {
  AdjustSize();
  Invalidate();
}

bool TImage::CanAutoSize(int& NewWidth, int& NewHeight) {
  if (Picture_.Empty()) return false;
  NewWidth = Picture_.Width();
  NewHeight = Picture_.Height();
  return true;
}

RECT TImage::DestRect() const {
  int W = Picture_.Width(), H = Picture_.Height();
  const int CW = Width_, CH = Height_;
  if (W > 0 && H > 0 && (Stretch_ || (Proportional_ && (W > CW || H > CH)))) {
    if (Proportional_) {
      const double Scale = std::min(static_cast<double>(CW) / W, static_cast<double>(CH) / H);
      W = std::max(1, static_cast<int>(W * Scale));
      H = std::max(1, static_cast<int>(H * Scale));
    } else {
      W = CW;
      H = CH;
    }
  }
  RECT R{0, 0, W, H};
  if (Center_) OffsetRect(&R, (CW - W) / 2, (CH - H) / 2);
  return R;
}

void TImage::Paint() {
  if (Picture_.Empty()) return;
  TGraphic* G = Picture_.Graphic();
  if (auto* B = dynamic_cast<TBitmap*>(G))
    B->DrawPart(Canvas().Handle(), DestRect(), RECT{0, 0, B->Width(), B->Height()}, Transparent_ || B->Transparent());
  else
    Canvas().StretchDraw(DestRect(), G);
}

void TImage::SetStretch(bool Value) {
  Stretch_ = Value;
  Invalidate();
}

void TImage::SetCenter(bool Value) {
  Center_ = Value;
  Invalidate();
}

void TImage::SetProportional(bool Value) {
  Proportional_ = Value;
  Invalidate();
}

void TImage::SetTransparent(bool Value) {
  Transparent_ = Value;
  Invalidate();
}

// --- TTimer ----------------------------------------------------------------------

BEGIN_CLASS_INFO(TTimer, TComponent, ComponentCreator<TTimer>)
  P.Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true);
  P.Int("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000);
  P.Event("OnTimer", &TTimer::OnTimer);
END_CLASS_INFO

TTimer::TTimer(TComponent* Owner) : TComponent(Owner) { Update(); }

TTimer::~TTimer() {
  Enabled_ = false;
  Update();
}

void TTimer::Update() {
  if (Running_) {
    KillTimer(Window_->Handle(), TimerId);
    Running_ = false;
  }
  if (!Enabled_ || Interval_ == 0 || ComponentState().Contains(csLoading) ||
      ComponentState().Contains(csDesigning) || ComponentState().Contains(csDestroying))
    return;
  if (!Window_)
    Window_ = std::make_unique<TMessageWindow>(
        [this](UINT Msg, WPARAM, LPARAM, LRESULT&) {
          if (Msg != WM_TIMER) return false;
          Fire();
          return true;
        },
        this);
  if (!SetTimer(Window_->Handle(), TimerId, Interval_, nullptr)) throw EOSError("Not enough timers available");
  Running_ = true;
}

void TTimer::Fire() { OnTimer(this); }

void TTimer::SetEnabled(bool Value) {
  if (Value == Enabled_) return;
  Enabled_ = Value;
  Update();
}

void TTimer::SetInterval(unsigned Value) {
  if (Value == Interval_) return;
  Interval_ = Value;
  Update();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  Update();
}
