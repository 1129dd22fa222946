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
// that loads the hook's state into the place of the window handle and jumps to
// the one shared entry; the state remembers the handle.
//
// A pool page pair holds the code of many thunks and, behind it, their data: a
// state and an entry per thunk. The code page is written once, when it is made,
// and then made read-execute; what differs from one hook to the next lives on
// the data page, which is never executable. No page is ever writable and
// executable at once.
class TThunkPool {
public:
  static constexpr size_t CodeSize = 16;
  struct TData {
    void* State;
    void* Entry;
  };
  static_assert(sizeof(TData) <= CodeSize, "a data page as long as its code page holds every thunk's data");

  WNDPROC Allocate(void* State, WNDPROC Entry) {
    std::lock_guard<std::mutex> Guard(Lock_);
    if (Free_.empty()) AddPage();
    uint8_t* Code = Free_.back();
    Free_.pop_back();
    TData* Data = DataOf(Code);
    Data->State = State;
    Data->Entry = reinterpret_cast<void*>(Entry);
    return reinterpret_cast<WNDPROC>(Code);
  }

  void Release(WNDPROC Thunk) {
    std::lock_guard<std::mutex> Guard(Lock_);
    auto* Code = reinterpret_cast<uint8_t*>(Thunk);
    *DataOf(Code) = TData{nullptr, nullptr};
    Free_.push_back(Code);
  }

private:
  static size_t PageSize() {
    static const size_t Size = [] {
      SYSTEM_INFO Info;
      GetSystemInfo(&Info);
      return static_cast<size_t>(Info.dwPageSize);
    }();
    return Size;
  }

  // Pages come from VirtualAlloc, aligned to the allocation granularity: a
  // thunk's page is its address rounded down.
  static TData* DataOf(uint8_t* Code) {
    const auto Address = reinterpret_cast<uintptr_t>(Code);
    const uintptr_t Page = Address & ~(static_cast<uintptr_t>(PageSize()) - 1);
    const size_t Slot = (Address - Page) / CodeSize;
    return reinterpret_cast<TData*>(Page + PageSize()) + Slot;
  }

  void AddPage() {
    const size_t Size = PageSize();
    auto* Page = static_cast<uint8_t*>(VirtualAlloc(nullptr, 2 * Size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!Page) throw EOSError("Cannot allocate window procedure thunks");
    for (size_t Offset = 0; Offset + CodeSize <= Size; Offset += CodeSize) WriteCode(Page + Offset);
    DWORD Old;
    if (!VirtualProtect(Page, Size, PAGE_EXECUTE_READ, &Old)) {
      VirtualFree(Page, 0, MEM_RELEASE);
      throw EOSError("Cannot make window procedure thunks executable");
    }
    FlushInstructionCache(GetCurrentProcess(), Page, Size);
    for (size_t Offset = 0; Offset + CodeSize <= Size; Offset += CodeSize) Free_.push_back(Page + Offset);
  }

  static void WriteCode(uint8_t* Code) {
    std::memset(Code, 0xCC, CodeSize);  // int3 after the jump
    TData* Data = DataOf(Code);
    uint8_t* P = Code;
#if defined(_M_X64) || defined(__x86_64__)
    // mov rcx, [rip + State] ; jmp [rip + Entry]
    auto Relative = [&](const void* Target, const uint8_t* Next) {
      const auto R = static_cast<int32_t>(reinterpret_cast<const uint8_t*>(Target) - Next);
      std::memcpy(P, &R, 4);
      P += 4;
    };
    *P++ = 0x48; *P++ = 0x8B; *P++ = 0x0D; Relative(&Data->State, Code + 7);
    *P++ = 0xFF; *P++ = 0x25; Relative(&Data->Entry, Code + 13);
#elif defined(_M_IX86) || defined(__i386__)
    // mov eax, [State] ; mov [esp+4], eax ; jmp [Entry]
    auto Absolute = [&](const void* Target) {
      const auto A = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(Target));
      std::memcpy(P, &A, 4);
      P += 4;
    };
    *P++ = 0xA1; Absolute(&Data->State);
    *P++ = 0x89; *P++ = 0x44; *P++ = 0x24; *P++ = 0x04;
    *P++ = 0xFF; *P++ = 0x25; Absolute(&Data->Entry);
#else
#error "window procedure thunks are written for x86 and x86-64"
#endif
  }

  std::mutex Lock_;
  std::vector<uint8_t*> Free_;
};

TThunkPool& Pool() {
  static TThunkPool* P = new TThunkPool;  // outlives every window, even at exit
  return *P;
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
    Pool().Release(S->Thunk);
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
  S->Thunk = Pool().Allocate(S.get(), &TState::Entry);
  SetLastError(0);
  LONG_PTR Old = SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(S->Thunk));
  if (!Old && GetLastError() != 0) {
    Pool().Release(S->Thunk);
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
