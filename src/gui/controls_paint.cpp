// Painting: control canvases, TWinControl's paint handling, graphic controls
// and controls of our own class that paint themselves.
#include "gui/controls.h"

#include <algorithm>
#include <optional>

namespace {

// The canvases that hold a DC of their own outside painting.
std::vector<TControlCanvas*>& HeldCanvases() {
  static auto* Canvases = new std::vector<TControlCanvas*>;
  return *Canvases;
}

}  // namespace

void FreeDeviceContexts() {
  auto& Held = HeldCanvases();
  while (!Held.empty()) Held.back()->FreeHandle();
}

// --- TControlCanvas -------------------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::CreateHandle() {
  HWND Wnd = nullptr;
  bool Graphic = false;
  if (auto* W = dynamic_cast<TWinControl*>(&Control_)) {
    if (W->HandleAllocated()) Wnd = W->Handle();
  } else if (Control_.Parent() && Control_.Parent()->HandleAllocated()) {
    Wnd = Control_.Parent()->Handle();
    Graphic = true;
  }
  HDC DC;
  if (Wnd) {
    WindowDC_ = TWindowDC(Wnd);
    DC = WindowDC_.Get();
    if (DC && Graphic) {
      SetViewportOrgEx(DC, Control_.Left(), Control_.Top(), nullptr);
      IntersectClipRect(DC, 0, 0, Control_.Width(), Control_.Height());
    }
  } else {
    MemoryDC_.Attach(CreateCompatibleDC(nullptr));
    DC = MemoryDC_.Get();
  }
  if (!DC) return;
  SetOwnHandle(DC);
  HeldCanvases().push_back(this);
}

void TControlCanvas::FreeHandle() {
  TCanvas::FreeHandle();
  if (!WindowDC_ && !MemoryDC_) return;
  WindowDC_.Release();
  MemoryDC_.Close();
  auto& Held = HeldCanvases();
  Held.erase(std::remove(Held.begin(), Held.end(), this), Held.end());
}

void TControlCanvas::BeginPaint(HDC DC) {
  FreeHandle();
  SetHandle(DC);
}

void TControlCanvas::EndPaint() { SetHandle(nullptr); }

// --- TWinControl ------------------------------------------------------------------------

void TWinControl::Invalidate() {
  if (Handle_) InvalidateRect(Handle_, nullptr, TRUE);
}

void TWinControl::Update() {
  if (Handle_) UpdateWindow(Handle_);
}

void TWinControl::Repaint() {
  if (Handle_)
    RedrawWindow(Handle_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
}

void TWinControl::PaintControls(HDC DC, const RECT& Area) {
  for (TControl* C : Controls_) {
    auto* G = dynamic_cast<TGraphicControl*>(C);
    if (!G || !G->Visible_) continue;
    RECT R = G->BoundsRect(), Meet;
    if (!IntersectRect(&Meet, &R, &Area)) continue;
    TSavedDC Saved(DC);
    OffsetViewportOrgEx(DC, G->Left_, G->Top_, nullptr);
    IntersectClipRect(DC, 0, 0, G->Width_, G->Height_);
    G->PaintTo(DC);
  }
}

void TWinControl::PaintHandler(TMessage& M) {
  std::optional<TPaintDC> Painting;
  HDC DC = reinterpret_cast<HDC>(M.WParam);
  RECT Area;
  if (!DC) {
    DC = Painting.emplace(Handle_).Get();
    Area = Painting->Area();
  } else {
    GetClientRect(Handle_, &Area);
  }
  {
    TSavedDC Saved(DC);
    PaintWindow(DC);
  }
  PaintControls(DC, Area);
  M.Result = 0;
}

// --- TGraphicControl, TCustomControl ---------------------------------------------------

BEGIN_CLASS_INFO(TGraphicControl, TControl, nullptr)
END_CLASS_INFO

TGraphicControl::TGraphicControl(TComponent* Owner) : TControl(Owner), Canvas_(*this) {
  Canvas_.Font().Assign(Font());
}

TGraphicControl::~TGraphicControl() { Canvas_.FreeHandle(); }

void TGraphicControl::FontChanged() {
  Canvas_.Font().Assign(Font());
  TControl::FontChanged();
}

void TGraphicControl::PaintTo(HDC DC) {
  Canvas_.PaintOn(DC, [this] { Paint(); });
}

BEGIN_CLASS_INFO(TCustomControl, TWinControl, nullptr)
END_CLASS_INFO

TCustomControl::TCustomControl(TComponent* Owner) : TWinControl(Owner), Canvas_(*this) {
  Canvas_.Font().Assign(Font());
}

TCustomControl::~TCustomControl() {
  // The window goes while the whole object is still there to hear of it.
  DestroyHandle();
  Canvas_.FreeHandle();
}

void TCustomControl::FontChanged() {
  Canvas_.Font().Assign(Font());
  TWinControl::FontChanged();
}

void TCustomControl::PaintWindow(HDC DC) {
  Canvas_.PaintOn(DC, [this] { Paint(); });
}
