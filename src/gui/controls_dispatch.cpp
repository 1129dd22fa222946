// Message dispatch: a control's mouse messages and events, and TWinControl's
// WndProc with the notifications it reflects to its children, the mouse
// messages it hands to its graphic children, keys and the cursor.
#include "gui/controls.h"

namespace {

int MouseX(LPARAM L) { return static_cast<short>(LOWORD(L)); }
int MouseY(LPARAM L) { return static_cast<short>(HIWORD(L)); }

bool IsMouseMessage(UINT Msg) { return Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK; }

}  // namespace

void TControl::WndProc(TMessage& M) {
  auto Button = [&] {
    switch (M.Msg) {
      case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return mbRight;
      case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return mbMiddle;
      default: return mbLeft;
    }
  };
  const int X = MouseX(M.LParam), Y = MouseY(M.LParam);
  switch (M.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (M.Msg == WM_LBUTTONDOWN) MouseClicked_ = true;
      MouseDown(Button(), MouseShiftState(M.WParam), X, Y);
      break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
      if (M.Msg == WM_LBUTTONDBLCLK) DblClick();
      MouseDown(Button(), MouseShiftState(M.WParam) + TShiftState{ssDouble}, X, Y);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      MouseUp(Button(), MouseShiftState(M.WParam), X, Y);
      if (M.Msg == WM_LBUTTONUP && MouseClicked_) {
        MouseClicked_ = false;
        RECT R = ClientRect();
        if (ClicksOnMouseUp() && X >= R.left && X < R.right && Y >= R.top && Y < R.bottom) Click();
      }
      break;
    }
    case WM_MOUSEMOVE:
      MouseMove(MouseShiftState(M.WParam), X, Y);
      break;
    default:
      break;
  }
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) { OnMouseUp(this, Button, Shift, X, Y); }

void TControl::MouseMove(TShiftState Shift, int X, int Y) { OnMouseMove(this, Shift, X, Y); }

void TControl::Click() { OnClick(this); }

void TControl::DblClick() { OnDblClick(this); }

// --- TWinControl ------------------------------------------------------------------------

void TWinControl::SetCursorHandler(TMessage& M) {
  if (reinterpret_cast<HWND>(M.WParam) == Handle_ && LOWORD(M.LParam) == HTCLIENT) {
    TCursor C = GlobalCursor();
    if (C == crDefault) {
      POINT P;
      GetCursorPos(&P);
      ::ScreenToClient(Handle_, &P);
      TControl* Child = OwnClass_ ? ControlAtPos(P, true) : nullptr;
      if (Child) C = Child->Cursor();
      if (C == crDefault) C = Cursor();
    }
    if (C != crDefault) {
      ::SetCursor(CursorHandle(C));
      M.Result = TRUE;
      return;
    }
  }
  DefaultHandler(M);
}

bool TWinControl::ForwardMouseToChild(TMessage& M) {
  if (!OwnClass_) return false;
  POINT P{MouseX(M.LParam), MouseY(M.LParam)};
  TControl* Target = MouseCapture_;
  if (!Target) Target = ControlAtPos(P, false);
  if (!Target) return false;
  const bool Down = M.Msg == WM_LBUTTONDOWN || M.Msg == WM_RBUTTONDOWN || M.Msg == WM_MBUTTONDOWN ||
                    M.Msg == WM_LBUTTONDBLCLK || M.Msg == WM_RBUTTONDBLCLK || M.Msg == WM_MBUTTONDBLCLK;
  const bool Up = M.Msg == WM_LBUTTONUP || M.Msg == WM_RBUTTONUP || M.Msg == WM_MBUTTONUP;
  if (Down && !MouseCapture_) {
    MouseCapture_ = Target;
    SetCapture(Handle_);
  }
  const LPARAM Local = MAKELPARAM(P.x - Target->Left_, P.y - Target->Top_);
  if (Up && !(M.WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) && MouseCapture_) {
    MouseCapture_ = nullptr;
    ReleaseCapture();
  }
  Target->Perform(M.Msg, M.WParam, Local);
  M.Result = 0;
  return true;
}

bool TWinControl::Reflect(TMessage& M, HWND Child) {
  if (!Child || Child == Handle_) return false;
  TWinControl* C = FromHandle(Child);
  if (!C) return false;
  M.Result = C->Perform(M.Msg + CN_BASE, M.WParam, M.LParam);
  return true;
}

TWinControl* TWinControl::ChildWithID(UINT ID) const {
  for (TControl* C : Controls_)
    if (auto* W = dynamic_cast<TWinControl*>(C); W && W->Handle_ && W->ControlID_ == ID) return W;
  return nullptr;
}

void TWinControl::WndProc(TMessage& M) {
  switch (M.Msg) {
    case WM_NCDESTROY:
      DefaultHandler(M);
      Unbind();
      return;
    case WM_DESTROY:
      SaveWindowState();
      if (MouseCapture_) {
        MouseCapture_ = nullptr;
        ReleaseCapture();
      }
      break;
    case WM_WINDOWPOSCHANGED:
      UpdateBounds();
      break;
    case WM_SETTEXT:
      DefaultHandler(M);
      // Also a text set past SetText (SetWindowTextA on the handle): the copy
      // SetText compares with follows the window.
      if (M.Result && M.LParam && reinterpret_cast<const char*>(M.LParam) != Text_.c_str())
        Text_ = reinterpret_cast<const char*>(M.LParam);
      return;
    case WM_SIZE:
      DefaultHandler(M);
      if (!IsReading()) {
        Realign();
        Resize();
      }
      return;
    case WM_PAINT:
      if (OwnClass_) {
        PaintHandler(M);
        return;
      }
      break;
    case WM_PRINTCLIENT:
      if (OwnClass_) {
        HDC DC = reinterpret_cast<HDC>(M.WParam);
        RECT R;
        GetClientRect(Handle_, &R);
        if (M.LParam & PRF_ERASEBKGND) ::FillRect(DC, &R, Brush_.Handle());
        PaintHandler(M);
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (OwnClass_) {
        RECT R;
        GetClientRect(Handle_, &R);
        ::FillRect(reinterpret_cast<HDC>(M.WParam), &R, Brush_.Handle());
        M.Result = 1;
        return;
      }
      break;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      if (Reflect(M, reinterpret_cast<HWND>(M.LParam))) return;
      break;
    case WM_NOTIFY:
      if (Reflect(M, reinterpret_cast<NMHDR*>(M.LParam)->hwndFrom)) return;
      break;
    case WM_DRAWITEM: {
      auto* D = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
      if (D->CtlType != ODT_MENU && Reflect(M, D->hwndItem)) return;
      break;
    }
    case WM_DELETEITEM:
      if (Reflect(M, reinterpret_cast<DELETEITEMSTRUCT*>(M.LParam)->hwndItem)) return;
      break;
    case WM_COMPAREITEM:
      if (Reflect(M, reinterpret_cast<COMPAREITEMSTRUCT*>(M.LParam)->hwndItem)) return;
      break;
    case WM_MEASUREITEM: {
      auto* MI = reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam);
      if (MI->CtlType != ODT_MENU)
        if (TWinControl* C = ChildWithID(MI->CtlID)) {
          M.Result = C->Perform(CN_MEASUREITEM, M.WParam, M.LParam);
          return;
        }
      break;
    }
    case WM_GETOBJECT:
      if (AnswerGetObject(M)) return;
      break;
    case WM_SETCURSOR:
      SetCursorHandler(M);
      return;
    case WM_SETFOCUS:
      DefaultHandler(M);
      FocusReceived();
      return;
    case WM_KILLFOCUS:
      DefaultHandler(M);
      FocusLost();
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      WORD Key = static_cast<WORD>(M.WParam);
      if (M.Msg == WM_KEYDOWN || M.Msg == WM_SYSKEYDOWN) OnKeyDown(this, Key, KeyboardShiftState());
      else OnKeyUp(this, Key, KeyboardShiftState());
      if (Key == 0) {
        M.Result = 0;
        return;
      }
      M.WParam = Key;
      break;
    }
    case WM_CHAR: {
      char C = static_cast<char>(M.WParam);
      OnKeyPress(this, C);
      if (C == 0) {
        M.Result = 0;
        return;
      }
      M.WParam = static_cast<unsigned char>(C);
      break;
    }
    case WM_CANCELMODE:
      if (MouseCapture_) {
        MouseCapture_ = nullptr;
        ReleaseCapture();
      }
      break;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORSCROLLBAR: {
      HDC DC = reinterpret_cast<HDC>(M.WParam);
      SetTextColor(DC, ColorToRGB(Font()->Color()));
      SetBkColor(DC, ColorToRGB(Color_));
      M.Result = reinterpret_cast<LRESULT>(Brush_.Handle());
      return;
    }
    default:
      if (IsMouseMessage(M.Msg)) {
        if (ForwardMouseToChild(M)) return;
        // The window acts first (an edit releases its capture), then the events,
        // which may open a modal dialog.
        DefaultHandler(M);
        const LRESULT Result = M.Result;
        TControl::WndProc(M);
        M.Result = Result;
        return;
      }
      // Reflected notifications nobody took: the child's window must not see them.
      if (M.Msg >= CN_BASE && M.Msg <= CN_LAST) {
        M.Result = 0;
        return;
      }
      break;
  }
  DefaultHandler(M);
}
