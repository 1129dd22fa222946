// TWinControl: bounds, the alignment of its children, scrolling.
#include "gui/controls.h"

#include <algorithm>

void TWinControl::EnableAlign() {
  if (AlignDisabled_ > 0 && --AlignDisabled_ == 0 && AlignPending_) Realign();
}

void TWinControl::Realign() {
  if (AlignDisabled_ > 0 || IsReading()) {
    AlignPending_ = true;
    return;
  }
  if (Aligning_ || IsDestroying()) return;
  AlignPending_ = false;
  Aligning_ = true;
  TScopeGuard Done([this] { Aligning_ = false; });
  RECT R = ClientRect();
  AdjustClientRect(R);
  AlignControls(nullptr, R);
}

void TWinControl::AlignControls(TControl*, RECT& R) {
  static const TAlign Order[] = {alTop, alBottom, alLeft, alRight, alClient};
  for (TAlign A : Order) {
    std::vector<TControl*> List;
    for (TControl* C : Controls_)
      if (C->Align_ == A && C->Visible_) List.push_back(C);
    // Stacked as they lie, so that the one nearest the edge stays nearest.
    std::stable_sort(List.begin(), List.end(), [A](const TControl* X, const TControl* Y) {
      switch (A) {
        case alTop: return X->Top_ < Y->Top_;
        case alBottom: return X->Top_ + X->Height_ > Y->Top_ + Y->Height_;
        case alLeft: return X->Left_ < Y->Left_;
        case alRight: return X->Left_ + X->Width_ > Y->Left_ + Y->Width_;
        default: return false;
      }
    });
    for (TControl* C : List) {
      const int W = std::max<int>(R.right - R.left, 0), H = std::max<int>(R.bottom - R.top, 0);
      switch (A) {
        case alTop:
          C->SetBounds(R.left, R.top, W, C->Height_);
          R.top += C->Height_;
          break;
        case alBottom:
          C->SetBounds(R.left, R.bottom - C->Height_, W, C->Height_);
          R.bottom -= C->Height_;
          break;
        case alLeft:
          C->SetBounds(R.left, R.top, C->Width_, H);
          R.left += C->Width_;
          break;
        case alRight:
          C->SetBounds(R.right - C->Width_, R.top, C->Width_, H);
          R.right -= C->Width_;
          break;
        default:
          C->SetBounds(R.left, R.top, W, H);
          break;
      }
    }
  }
}

RECT TWinControl::ClientRect() const {
  RECT R{0, 0, 0, 0};
  if (Handle_) {
    GetClientRect(Handle_, &R);
    return R;
  }
  // No window yet: the client area the window will have.
  TCreateParams P;
  const_cast<TWinControl*>(this)->CreateParams(P);
  RECT Frame{0, 0, 0, 0};
  AdjustWindowRectEx(&Frame, P.Style & ~WS_VISIBLE, FALSE, P.ExStyle);
  int W = Width_ - (Frame.right - Frame.left);
  int H = Height_ - (Frame.bottom - Frame.top);
  if (P.Style & WS_VSCROLL) W -= GetSystemMetrics(SM_CXVSCROLL);
  if (P.Style & WS_HSCROLL) H -= GetSystemMetrics(SM_CYHSCROLL);
  return RECT{0, 0, std::max(W, 0), std::max(H, 0)};
}

POINT TWinControl::ClientOrigin() const {
  POINT P{0, 0};
  if (Handle_) {
    ::ClientToScreen(Handle_, &P);
    return P;
  }
  return TControl::ClientOrigin();
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (ALeft == Left_ && ATop == Top_ && AWidth == Width_ && AHeight == Height_) return;
  const bool Resized = AWidth != Width_ || AHeight != Height_;
  Left_ = ALeft;
  Top_ = ATop;
  Width_ = AWidth;
  Height_ = AHeight;
  if (Handle_) {
    // WM_WINDOWPOSCHANGED reads the real bounds back; WM_SIZE aligns and resizes.
    SetWindowBounds(ALeft, ATop, AWidth, AHeight);
  } else if (Resized) {
    Realign();
  }
  RequestAlign();
}

void TWinControl::ScrollBy(int DeltaX, int DeltaY) {
  if (!DeltaX && !DeltaY) return;
  DisableAlign();
  for (TControl* C : Controls_) {
    auto* W = dynamic_cast<TWinControl*>(C);
    if (W && W->Handle_ && Handle_) continue;  // the windows move with the scrolled area
    C->Left_ += DeltaX;
    C->Top_ += DeltaY;
  }
  if (Handle_) {
    ScrollWindowEx(Handle_, DeltaX, DeltaY, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    for (TControl* C : Controls_)
      if (auto* W = dynamic_cast<TWinControl*>(C); W && W->Handle_) W->UpdateBounds();
  }
  AlignPending_ = false;
  EnableAlign();
}

void TWinControl::SetWindowBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  SetWindowPos(Handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::UpdateBounds() {
  if (!Handle_ || IsIconic(Handle_)) return;
  RECT R;
  GetWindowRect(Handle_, &R);
  if (GetWindowLongPtrA(Handle_, GWL_STYLE) & WS_CHILD)
    if (HWND P = GetParent(Handle_)) MapWindowPoints(HWND_DESKTOP, P, reinterpret_cast<POINT*>(&R), 2);
  Left_ = R.left;
  Top_ = R.top;
  Width_ = R.right - R.left;
  Height_ = R.bottom - R.top;
}
