#include "gui/winhook.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "classes/sysutils.h"

namespace {

// Each hook needs a procedure address of its own, so that several hooks, ours
// or others', can sit on one window in any order. A thunk is a few bytes of code
// that puts the hook's state where the window handle was and jumps to the one
// shared entry; the state remembers the handle.
class TThunkPool {
public:
  static constexpr size_t SlotSize = 32;

  void* Allocate() {
    std::lock_guard<std::mutex> Guard(Lock_);
    if (Free_.empty()) {
      const size_t PageSize = 4096;
      auto* Page = static_cast<uint8_t*>(
          VirtualAlloc(nullptr, PageSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
      if (!Page) throw EOSError("Cannot allocate a window procedure thunk");
      for (size_t Offset = 0; Offset + SlotSize <= PageSize; Offset += SlotSize) Free_.push_back(Page + Offset);
    }
    void* Slot = Free_.back();
    Free_.pop_back();
    return Slot;
  }

  void Release(void* Slot) {
    std::lock_guard<std::mutex> Guard(Lock_);
    Free_.push_back(static_cast<uint8_t*>(Slot));
  }

private:
  std::mutex Lock_;
  std::vector<uint8_t*> Free_;
};

TThunkPool& Pool() {
  static TThunkPool* P = new TThunkPool;  // outlives every window, even at exit
  return *P;
}

WNDPROC MakeThunk(void* State, WNDPROC Entry) {
  auto* Code = static_cast<uint8_t*>(Pool().Allocate());
  uint8_t* P = Code;
#if defined(_M_X64) || defined(__x86_64__)
  // mov rcx, State ; mov rax, Entry ; jmp rax
  const auto S = reinterpret_cast<uint64_t>(State);
  const auto E = reinterpret_cast<uint64_t>(Entry);
  *P++ = 0x48; *P++ = 0xB9; std::memcpy(P, &S, 8); P += 8;
  *P++ = 0x48; *P++ = 0xB8; std::memcpy(P, &E, 8); P += 8;
  *P++ = 0xFF; *P++ = 0xE0;
#elif defined(_M_IX86) || defined(__i386__)
  // mov dword ptr [esp+4], State ; jmp Entry
  const auto S = reinterpret_cast<uint32_t>(State);
  *P++ = 0xC7; *P++ = 0x44; *P++ = 0x24; *P++ = 0x04; std::memcpy(P, &S, 4); P += 4;
  const auto Rel = static_cast<int32_t>(reinterpret_cast<intptr_t>(Entry) - reinterpret_cast<intptr_t>(P + 5));
  *P++ = 0xE9; std::memcpy(P, &Rel, 4); P += 4;
#else
#error "window procedure thunks are written for x86 and x86-64"
#endif
  FlushInstructionCache(GetCurrentProcess(), Code, TThunkPool::SlotSize);
  return reinterpret_cast<WNDPROC>(Code);
}

}  // namespace

// Lives as long as a message may still come through its thunk: until the hook is
// out of the chain (or the window is gone) and no call of it is running.
struct TWindowHook::TState {
  HWND Wnd = nullptr;
  WNDPROC Previous = nullptr;
  WNDPROC Thunk = nullptr;
  THandler Handler;
  int Depth = 0;            // calls of the thunk in progress (messages nest)
  bool Active = true;       // the handler is called
  bool InChain = true;      // our thunk is somewhere in the window's procedure chain
  bool WindowGone = false;  // WM_NCDESTROY went through
  bool Owned = true;        // a TWindowHook still refers to this state

  static LRESULT CALLBACK Entry(HWND Self, UINT Msg, WPARAM W, LPARAM L);

  // Out of the chain if we are in front; otherwise keep passing messages on.
  void TakeOut() {
    Active = false;
    if (!InChain || WindowGone) return;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)) == Thunk) {
      SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Previous));
      InChain = false;
    }
  }

  static void FreeIfUnused(TState* S) {
    if (S->Owned || S->Depth > 0 || (S->InChain && !S->WindowGone)) return;
    Pool().Release(reinterpret_cast<void*>(S->Thunk));
    delete S;
  }
};

LRESULT CALLBACK TWindowHook::TState::Entry(HWND Self, UINT Msg, WPARAM W, LPARAM L) {
  auto* S = reinterpret_cast<TState*>(Self);
  HWND Wnd = S->Wnd;
  ++S->Depth;
  LRESULT Result = 0;
  bool Handled = false;
  if (S->Active && S->Handler) {
    try {
      Result = S->Handler(Wnd, Msg, W, L, Handled);
    } catch (...) {
      HandleWindowException(nullptr);
      Handled = false;
    }
  }
  // The procedure behind us sees the destruction of a window we have left.
  if (Msg == WM_DESTROY) S->TakeOut();
  if (!Handled) Result = CallWindowProcA(S->Previous, Wnd, Msg, W, L);
  if (Msg == WM_NCDESTROY) {
    S->WindowGone = true;
    S->Active = false;
  }
  --S->Depth;
  FreeIfUnused(S);
  return Result;
}

TWindowHook::~TWindowHook() {
  if (!State_) return;
  State_->TakeOut();
  State_->Owned = false;
  TState::FreeIfUnused(State_);
}

void TWindowHook::Install(HWND Wnd, THandler Handler) {
  if (Installed()) throw EOSError("The window hook is installed already");
  if (!Wnd || !IsWindow(Wnd)) throw EOSError("Cannot hook a window that does not exist");
  if (State_) {
    State_->Owned = false;
    TState::FreeIfUnused(State_);
    State_ = nullptr;
  }
  auto S = std::make_unique<TState>();
  S->Wnd = Wnd;
  S->Handler = std::move(Handler);
  S->Thunk = MakeThunk(S.get(), &TState::Entry);
  SetLastError(0);
  LONG_PTR Old = SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(S->Thunk));
  if (!Old && GetLastError() != 0) {
    Pool().Release(reinterpret_cast<void*>(S->Thunk));
    throw EOSError("Cannot replace the window procedure");
  }
  S->Previous = reinterpret_cast<WNDPROC>(Old);
  State_ = S.release();
}

void TWindowHook::Restore() {
  if (State_) State_->TakeOut();
}

bool TWindowHook::Installed() const { return State_ && State_->Active; }

HWND TWindowHook::Window() const { return State_ ? State_->Wnd : nullptr; }

WNDPROC TWindowHook::Previous() const { return State_ ? State_->Previous : nullptr; }

LRESULT TWindowHook::CallPrevious(UINT Msg, WPARAM W, LPARAM L) const {
  if (!State_ || State_->WindowGone) return 0;
  return CallWindowProcA(State_->Previous, State_->Wnd, Msg, W, L);
}
