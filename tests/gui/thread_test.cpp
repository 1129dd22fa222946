// TThread and the synchronous call into the main thread, with real threads and
// the real message loop of the test's main thread.
#include "gui/handles.h"
#include "gui/thread.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A thread whose body is a function, the way a derived class should be written.
class TLambdaThread : public TThread {
public:
  using TBody = std::function<void(TLambdaThread&)>;
  explicit TLambdaThread(TBody Body) : TThread(true), Body_(std::move(Body)) {}
  ~TLambdaThread() override { TerminateAndWait(); }
  using TThread::SetReturnValue;

protected:
  void Execute() override { Body_(*this); }

private:
  TBody Body_;
};

// Runs the main thread's message loop, and nothing else, until Done.
template <typename F>
void PumpUntil(F Done) {
  DWORD Start = GetTickCount();
  while (!Done()) {
    MSG Msg;
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&Msg);
      DispatchMessageA(&Msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    ASSERT_LT(GetTickCount() - Start, 60000u) << "message loop never got done";
  }
}

TEST(Thread, CallsFromSeveralThreadsRunOnTheMainThreadInTheOrderAsked) {
  InitMainThread();
  ASSERT_EQ(MainThreadID(), GetCurrentThreadId());
  struct TEntry {
    int Thread, Call;
    DWORD RanOn;
  };
  std::vector<TEntry> Log;  // touched only on the main thread
  constexpr int Threads = 4, Calls = 25;
  std::atomic<int> Returned{0};
  std::vector<std::unique_ptr<TLambdaThread>> Workers;
  for (int T = 0; T < Threads; ++T)
    Workers.push_back(std::make_unique<TLambdaThread>([&, T](TLambdaThread&) {
      for (int C = 0; C < Calls; ++C) {
        TThread::Synchronize([&, C] { Log.push_back({T, C, GetCurrentThreadId()}); });
        ++Returned;
      }
      EXPECT_FALSE(CheckSynchronize());  // serves nothing off the main thread
    }));
  for (auto& W : Workers) W->Resume();

  PumpUntil([&] {
    for (auto& W : Workers)
      if (!W->Finished()) return false;
    return true;
  });
  EXPECT_EQ(Returned, Threads * Calls);
  ASSERT_EQ(Log.size(), size_t(Threads * Calls));
  std::vector<int> Next(Threads, 0);
  for (const TEntry& E : Log) {
    EXPECT_EQ(E.RanOn, GetCurrentThreadId());
    EXPECT_EQ(E.Call, Next[E.Thread]++) << "thread " << E.Thread;
  }
}

TEST(Thread, AnExceptionOfTheCallIsRethrownInTheWorker) {
  std::string Caught;
  DWORD CallThread = 0;
  TLambdaThread Worker([&](TLambdaThread& Self) {
    try {
      TThread::Synchronize([&] {
        CallThread = GetCurrentThreadId();
        throw EListError("tObjectList Index Eror!");
      });
    } catch (const EListError& E) {
      Caught = E.Message();
    }
    Self.SetReturnValue(7);
  });
  Worker.Resume();
  EXPECT_EQ(Worker.WaitFor(), 7u);
  EXPECT_EQ(Caught, "tObjectList Index Eror!");
  EXPECT_EQ(CallThread, GetCurrentThreadId());
  EXPECT_EQ(Worker.FatalException(), nullptr);
}

TEST(Thread, OnTheMainThreadSynchronizeCallsDirectly) {
  bool Ran = false;
  TThread::Synchronize([&] { Ran = true; });
  EXPECT_TRUE(Ran);
  EXPECT_THROW(TThread::Synchronize([] { throw Exception("direct"); }), Exception);
}

TEST(Thread, DestroyedWhileItWaitsInSynchronizeTheCallIsServedAndItEnds) {
  TKernelHandle Asking(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  bool Served = false;
  DWORD ServedOn = 0;
  auto Worker = std::make_unique<TLambdaThread>([&](TLambdaThread&) {
    SetEvent(Asking.Get());
    TThread::Synchronize([&] {
      Served = true;
      ServedOn = GetCurrentThreadId();
    });
  });
  Worker->Resume();
  ASSERT_EQ(WaitForSingleObject(Asking.Get(), 10000), WAIT_OBJECT_0);
  // Its request reaches this thread's queue just before it blocks.
  ASSERT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_POSTMESSAGE), WAIT_OBJECT_0);
  Worker.reset();
  EXPECT_TRUE(Served);
  EXPECT_EQ(ServedOn, GetCurrentThreadId());
}

TEST(Thread, AMonitorThatReportsUntilTerminatedIsStoppedByItsDestructor) {
  std::atomic<int> Reports{0};
  auto Worker = std::make_unique<TLambdaThread>([&](TLambdaThread& Self) {
    while (!Self.Terminated()) TThread::Synchronize([&] { ++Reports; });
  });
  Worker->Resume();
  PumpUntil([&] { return Reports > 10; });
  Worker.reset();
  EXPECT_GT(Reports, 10);
}

TEST(Thread, ASuspendedThreadDestroyedWithoutRunningNeverExecutes) {
  bool Ran = false;
  auto Worker = std::make_unique<TLambdaThread>([&](TLambdaThread&) { Ran = true; });
  EXPECT_TRUE(Worker->Suspended());
  EXPECT_NE(Worker->Handle(), nullptr);
  EXPECT_NE(Worker->ThreadID(), 0u);
  EXPECT_THROW(Worker->WaitFor(), EThread);
  Worker.reset();
  EXPECT_FALSE(Ran);
}

TEST(Thread, RunsOnItsOwnThreadAndKeepsWhatEscapedExecute) {
  DWORD RanOn = 0;
  TLambdaThread Worker([&](TLambdaThread& Self) {
    RanOn = GetCurrentThreadId();
    Self.SetReturnValue(3);
    throw Exception("escaped");
  });
  Worker.Resume();
  Worker.Resume();  // a second start does nothing
  EXPECT_EQ(Worker.WaitFor(), 3u);
  EXPECT_TRUE(Worker.Finished());
  EXPECT_EQ(RanOn, Worker.ThreadID());
  ASSERT_NE(Worker.FatalException(), nullptr);
  try {
    std::rethrow_exception(Worker.FatalException());
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message(), "escaped");
  }
}

}  // namespace
