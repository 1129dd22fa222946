#include "gui/thread.h"

#include <process.h>

#include <condition_variable>
#include <deque>
#include <mutex>

#include "gui/messages.h"
#include "gui/msgwindow.h"

namespace {

// The first caller fixes it; the initialiser below makes that the thread running
// static initialisation, the one that enters main, even if another unit asks earlier.
DWORD RecordedMainThread() {
  static const DWORD Id = GetCurrentThreadId();
  return Id;
}
const DWORD MainThreadAtStart = RecordedMainThread();

// One worker's call, living on that worker's stack until Done.
struct TSyncRequest {
  const std::function<void()>* Method;
  std::exception_ptr Error;
  bool Done = false;
};

struct TSyncQueue {
  std::mutex Lock;
  std::condition_variable Served;
  std::deque<TSyncRequest*> Pending;
  std::atomic<HWND> Window{nullptr};
  // Set with every request, for the main thread's wait in WaitFor.
  TKernelHandle Wake{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
};

TSyncQueue& Queue() {
  static TSyncQueue Q;
  return Q;
}

bool OnMainThread() { return GetCurrentThreadId() == RecordedMainThread(); }

void EnsureWindow() {
  TSyncQueue& Q = Queue();
  if (Q.Window) return;
  // Lives as long as the program: workers may post to it until the very end.
  // The calls' own exceptions go back to their workers.
  auto* Window = new TMessageWindow([](UINT Msg, WPARAM, LPARAM, LRESULT&) {
    if (Msg != CM_SYNCHRONIZE) return false;
    CheckSynchronize();
    return true;
  });
  Q.Window = Window->Handle();
  // Requests queued before the window existed were not posted to it.
  PostMessageA(Q.Window, CM_SYNCHRONIZE, 0, 0);
}

}  // namespace

void InitMainThread() {
  if (!OnMainThread()) throw EThread("InitMainThread must be called on the main thread");
  EnsureWindow();
}

DWORD MainThreadID() { return RecordedMainThread(); }

bool CheckSynchronize() {
  if (!OnMainThread()) return false;
  TSyncQueue& Q = Queue();
  bool Ran = false;
  for (;;) {
    TSyncRequest* R;
    {
      std::lock_guard<std::mutex> Guard(Q.Lock);
      if (Q.Pending.empty()) break;
      R = Q.Pending.front();
      Q.Pending.pop_front();
    }
    try {
      (*R->Method)();
    } catch (...) {
      R->Error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> Guard(Q.Lock);
      R->Done = true;  // from here on R may be gone
    }
    Q.Served.notify_all();
    Ran = true;
  }
  return Ran;
}

void TThread::Synchronize(const std::function<void()>& Method) {
  if (OnMainThread()) {
    Method();
    return;
  }
  TSyncQueue& Q = Queue();
  TSyncRequest Request{&Method, nullptr, false};
  {
    std::lock_guard<std::mutex> Guard(Q.Lock);
    Q.Pending.push_back(&Request);
  }
  SetEvent(Q.Wake.Get());
  if (HWND Wnd = Q.Window) PostMessageA(Wnd, CM_SYNCHRONIZE, 0, 0);
  {
    std::unique_lock<std::mutex> Guard(Q.Lock);
    Q.Served.wait(Guard, [&] { return Request.Done; });
  }
  if (Request.Error) std::rethrow_exception(Request.Error);
}

TThread::TThread(bool CreateSuspended) {
  if (OnMainThread()) EnsureWindow();
  unsigned Id = 0;
  Handle_.Attach(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &Id)));
  if (!Handle_) throw EThread("Thread creation error");
  ThreadID_ = Id;
  Suspended_ = true;
  if (!CreateSuspended) Resume();
}

TThread::~TThread() { TerminateAndWait(); }

unsigned __stdcall TThread::ThreadProc(void* Self) {
  auto* T = static_cast<TThread*>(Self);
  // Terminated before it ever ran: the owner is tearing it down, maybe already
  // past the derived destructor, so Execute must not be called.
  if (!T->Terminated_) {
    try {
      T->Execute();
    } catch (...) {
      T->FatalException_ = std::current_exception();
    }
  }
  DWORD Result = T->ReturnValue_;
  T->Finished_ = true;
  return Result;
}

void TThread::Resume() {
  if (Suspended_.exchange(false)) ResumeThread(Handle_.Get());
}

DWORD TThread::WaitFor() {
  if (GetCurrentThreadId() == ThreadID_) throw EThread("A thread cannot wait for itself");
  if (Suspended_) throw EThread("Cannot wait for a suspended thread");
  if (OnMainThread()) {
    HANDLE Handles[2] = {Handle_.Get(), Queue().Wake.Get()};
    for (;;) {
      CheckSynchronize();
      // Messages sent to us by other threads are handled too, so a worker blocked in
      // SendMessage to one of our windows cannot deadlock us.
      DWORD R = MsgWaitForMultipleObjects(2, Handles, FALSE, INFINITE, QS_SENDMESSAGE);
      if (R == WAIT_OBJECT_0) break;
      if (R == WAIT_OBJECT_0 + 2) {
        MSG Msg;
        PeekMessageA(&Msg, nullptr, 0, 0, PM_NOREMOVE);
      } else if (R != WAIT_OBJECT_0 + 1) {
        throw EThread("Waiting for a thread failed");
      }
    }
  } else if (WaitForSingleObject(Handle_.Get(), INFINITE) != WAIT_OBJECT_0) {
    throw EThread("Waiting for a thread failed");
  }
  return ReturnValue_;
}

void TThread::TerminateAndWait() {
  // A thread that destroys itself cannot wait for its own end.
  if (!Handle_ || GetCurrentThreadId() == ThreadID_) return;
  Terminate();
  Resume();
  try {
    WaitFor();
  } catch (...) {
    WaitForSingleObject(Handle_.Get(), INFINITE);
  }
}
