// gui/ layer 1 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 control families (standard, extended, buttons, common controls, grids, tool
// bars, page controls); 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// RAII holders for Win32 handles, device contexts and COM pointers, and a scope
// guard. Every holder owns at most one handle, cannot be copied, and hands
// ownership over explicitly with Attach (take, closing what was held) and Detach
// (give up, without closing). Holders of a state to put back (a selected object,
// a saved DC, a paint DC) live on the stack and cannot be moved.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <memory>
#include <utility>

// Owns one handle of type H; Traits says what is empty and how to close.
template <typename H, typename Traits>
class TUniqueHandle {
public:
  TUniqueHandle() = default;
  explicit TUniqueHandle(H Handle) : Handle_(Handle) {}
  ~TUniqueHandle() { Close(); }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;
  TUniqueHandle(TUniqueHandle&& Other) noexcept : Handle_(Other.Detach()) {}
  TUniqueHandle& operator=(TUniqueHandle&& Other) noexcept {
    if (this != &Other) Attach(Other.Detach());
    return *this;
  }

  H Get() const { return Handle_; }
  bool Valid() const { return Traits::Valid(Handle_); }
  explicit operator bool() const { return Valid(); }
  void Attach(H Handle) { Close(); Handle_ = Handle; }
  H Detach() { return std::exchange(Handle_, Traits::Empty()); }
  void Close() {
    if (Valid()) Traits::Close(Handle_);
    Handle_ = Traits::Empty();
  }
  // For out-parameters: closes what is held and gives the slot to be filled.
  H* Receive() { Close(); return &Handle_; }

private:
  H Handle_ = Traits::Empty();
};

namespace handle_traits {
// Kernel objects: both NULL and INVALID_HANDLE_VALUE mean "none", as the API mixes them.
struct Kernel {
  static HANDLE Empty() { return nullptr; }
  static bool Valid(HANDLE H) { return H != nullptr && H != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE H) { CloseHandle(H); }
};
struct Find {
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE H) { return H != nullptr && H != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE H) { FindClose(H); }
};
struct ChangeNotification {
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static bool Valid(HANDLE H) { return H != nullptr && H != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE H) { FindCloseChangeNotification(H); }
};
struct RegKey {
  static HKEY Empty() { return nullptr; }
  static bool Valid(HKEY H) { return H != nullptr; }
  static void Close(HKEY H) { RegCloseKey(H); }
};
template <typename T>
struct Gdi {
  static T Empty() { return nullptr; }
  static bool Valid(T H) { return H != nullptr; }
  static void Close(T H) { DeleteObject(H); }
};
struct Menu {
  static HMENU Empty() { return nullptr; }
  static bool Valid(HMENU H) { return H != nullptr; }
  static void Close(HMENU H) { DestroyMenu(H); }
};
struct MemoryDC {
  static HDC Empty() { return nullptr; }
  static bool Valid(HDC H) { return H != nullptr; }
  static void Close(HDC H) { DeleteDC(H); }
};
struct ItemIdList {
  static LPITEMIDLIST Empty() { return nullptr; }
  static bool Valid(LPITEMIDLIST H) { return H != nullptr; }
  static void Close(LPITEMIDLIST H) { CoTaskMemFree(H); }
};
}  // namespace handle_traits

// A kernel object handle (event, thread, process, file): CloseHandle.
using TKernelHandle = TUniqueHandle<HANDLE, handle_traits::Kernel>;
// A FindFirstFile search: FindClose.
using TFindHandle = TUniqueHandle<HANDLE, handle_traits::Find>;
// A FindFirstChangeNotification watch: FindCloseChangeNotification.
using TChangeNotificationHandle = TUniqueHandle<HANDLE, handle_traits::ChangeNotification>;
// An opened registry key: RegCloseKey.
using TRegKey = TUniqueHandle<HKEY, handle_traits::RegKey>;
// A GDI object (font, brush, pen, bitmap, region) that is ours to delete: DeleteObject.
template <typename T = HGDIOBJ>
using TGdiObject = TUniqueHandle<T, handle_traits::Gdi<T>>;
// A menu not attached to a window: DestroyMenu.
using TMenuHandle = TUniqueHandle<HMENU, handle_traits::Menu>;
// An item identifier list from the shell allocator: CoTaskMemFree.
using TItemIdList = TUniqueHandle<LPITEMIDLIST, handle_traits::ItemIdList>;
// A DC of our own making (CreateCompatibleDC): DeleteDC.
//   TMemoryDC Memory(CreateCompatibleDC(nullptr));
using TMemoryDC = TUniqueHandle<HDC, handle_traits::MemoryDC>;

// An object selected into a DC; the object the DC held before goes back in at the
// end, so the DC is as it was when the holder goes and our object can be deleted.
class TSelectedObject {
public:
  TSelectedObject(HDC DC, HGDIOBJ Object) : DC_(DC), Current_(Object), Previous_(SelectObject(DC, Object)) {}
  ~TSelectedObject() {
    if (Previous_ && Previous_ != HGDI_ERROR) SelectObject(DC_, Previous_);
  }
  TSelectedObject(const TSelectedObject&) = delete;
  TSelectedObject& operator=(const TSelectedObject&) = delete;

  // Selects another object in place of the current one; the first previous one
  // still comes back at the end.
  void Select(HGDIOBJ Object) {
    if (Object == Current_) return;
    SelectObject(DC_, Object);
    Current_ = Object;
  }
  HGDIOBJ Current() const { return Current_; }

private:
  HDC DC_;
  HGDIOBJ Current_;
  HGDIOBJ Previous_;
};

// The DC's whole state (objects, colours, modes, origins, clipping) saved now and
// put back at the end (SaveDC/RestoreDC).
class TSavedDC {
public:
  explicit TSavedDC(HDC DC) : DC_(DC), Saved_(SaveDC(DC)) {}
  ~TSavedDC() {
    if (Saved_) RestoreDC(DC_, Saved_);
  }
  TSavedDC(const TSavedDC&) = delete;
  TSavedDC& operator=(const TSavedDC&) = delete;

private:
  HDC DC_;
  int Saved_;
};

// The DC of a WM_PAINT: BeginPaint now, EndPaint at the end.
class TPaintDC {
public:
  explicit TPaintDC(HWND Wnd) : Wnd_(Wnd), DC_(BeginPaint(Wnd, &Paint_)) {}
  ~TPaintDC() {
    if (DC_) EndPaint(Wnd_, &Paint_);
  }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;

  HDC Get() const { return DC_; }
  // The part of the client area to paint.
  const RECT& Area() const { return Paint_.rcPaint; }

private:
  HWND Wnd_;
  PAINTSTRUCT Paint_{};
  HDC DC_;
};

// Runs Action when the scope ends, however it ends, unless dismissed first. The
// action must not throw.
//
//   Aligning_ = true;
//   TScopeGuard Done([this] { Aligning_ = false; });
template <class F>
class TScopeGuard {
public:
  explicit TScopeGuard(F Action) : Action_(std::move(Action)) {}
  ~TScopeGuard() {
    if (Active_) Action_();
  }
  TScopeGuard(const TScopeGuard&) = delete;
  TScopeGuard& operator=(const TScopeGuard&) = delete;
  // The scope ended well: the action is not run.
  void Dismiss() { Active_ = false; }

private:
  F Action_;
  bool Active_ = true;
};

// A window's device context from GetDC, given back with ReleaseDC.
class TWindowDC {
public:
  TWindowDC() = default;
  explicit TWindowDC(HWND Wnd) : Wnd_(Wnd), DC_(GetDC(Wnd)) {}
  ~TWindowDC() { Release(); }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  TWindowDC(TWindowDC&& O) noexcept : Wnd_(O.Wnd_), DC_(O.Detach()) {}
  TWindowDC& operator=(TWindowDC&& O) noexcept {
    if (this != &O) { HWND W = O.Wnd_; Attach(W, O.Detach()); }
    return *this;
  }

  HDC Get() const { return DC_; }
  HWND Window() const { return Wnd_; }
  explicit operator bool() const { return DC_ != nullptr; }
  void Attach(HWND Wnd, HDC DC) { Release(); Wnd_ = Wnd; DC_ = DC; }
  HDC Detach() { Wnd_ = nullptr; return std::exchange(DC_, nullptr); }
  void Release() {
    if (DC_) ReleaseDC(Wnd_, DC_);
    Wnd_ = nullptr;
    DC_ = nullptr;
  }

private:
  HWND Wnd_ = nullptr;
  HDC DC_ = nullptr;
};

// A counted COM interface pointer: one reference, given back with Release.
template <typename T>
class TComPtr {
public:
  TComPtr() = default;
  // Takes over a reference the caller already owns (no AddRef).
  explicit TComPtr(T* P) : P_(P) {}
  ~TComPtr() { Release(); }
  TComPtr(const TComPtr&) = delete;
  TComPtr& operator=(const TComPtr&) = delete;
  TComPtr(TComPtr&& O) noexcept : P_(O.Detach()) {}
  TComPtr& operator=(TComPtr&& O) noexcept {
    // Not &O: that is the out-parameter operator below, which releases O.
    if (this != std::addressof(O)) Attach(O.Detach());
    return *this;
  }

  T* Get() const { return P_; }
  T* operator->() const { return P_; }
  explicit operator bool() const { return P_ != nullptr; }
  // For out-parameters (CoCreateInstance, QueryInterface): releases what is held.
  T** operator&() { Release(); return &P_; }
  void** PPV() { return reinterpret_cast<void**>(operator&()); }
  void Attach(T* P) { Release(); P_ = P; }
  T* Detach() { return std::exchange(P_, nullptr); }
  void Release() {
    if (P_) std::exchange(P_, nullptr)->Release();
  }
  // Asks the object for another of its interfaces; Out is empty unless S_OK.
  template <typename U>
  HRESULT QueryInterface(REFIID Iid, TComPtr<U>& Out) const {
    if (!P_) { Out.Release(); return E_POINTER; }
    return P_->QueryInterface(Iid, Out.PPV());
  }

private:
  T* P_ = nullptr;
};

// OLE for the current thread for as long as the guard lives (OleInitialize/OleUninitialize).
class TOleInitializer {
public:
  TOleInitializer() : Result_(OleInitialize(nullptr)) {}
  ~TOleInitializer() { if (SUCCEEDED(Result_)) OleUninitialize(); }
  TOleInitializer(const TOleInitializer&) = delete;
  TOleInitializer& operator=(const TOleInitializer&) = delete;
  TOleInitializer(TOleInitializer&& O) noexcept : Result_(std::exchange(O.Result_, E_FAIL)) {}
  TOleInitializer& operator=(TOleInitializer&&) = delete;
  // S_OK, or S_FALSE when the thread had it already; both are balanced by the destructor.
  HRESULT Result() const { return Result_; }
  bool Succeeded() const { return SUCCEEDED(Result_); }

private:
  HRESULT Result_;
};
