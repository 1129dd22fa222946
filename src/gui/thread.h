// gui/ layer 1 of 6. The order, lowest first: 1 handles, hooks, exception sink,
// dialogs, message window, threads, registry, ini files; 2 graphics; 3 controls;
// 4 standard, extended, button and common controls; 5 forms; 6 application.
// A unit includes only units of its own layer or below (README, "Layout").
//
// Worker threads, and calls from a worker into the main (GUI) thread.
#pragma once

#include "classes/sysutils.h"
#include "gui/handles.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <functional>

INSTBRISKO_EXCEPTION(EThread, Exception);

// The main thread is the one that runs the program's static initialisation, i.e.
// the one that enters main/WinMain. Synchronous calls reach it through a hidden
// message-only window (msgwindow.h), so they are served whenever any message
// loop runs there (the application's, a modal dialog's, a message box's), and
// while the main thread waits in TThread::WaitFor or a TThread destructor.
//
// Creates that window; call it on the main thread at start-up. The first TThread
// constructed on the main thread, and CheckSynchronize, do it too. Calls queued
// before the window exists are served by the next CheckSynchronize or WaitFor.
void InitMainThread();
DWORD MainThreadID();
// Runs every queued synchronous call, in the order asked; on any other thread it
// does nothing. True when it ran at least one.
bool CheckSynchronize();

// A thread whose body is the virtual Execute.
//
// Execute is virtual, so it must not start before the derived object is complete:
// a derived class that wants to run at once passes CreateSuspended = true and calls
// Resume() at the end of its own constructor. A derived class whose Execute uses its
// own members calls TerminateAndWait() first thing in its destructor, before those
// members are gone; the base destructor does it in any case.
class TThread {
public:
  explicit TThread(bool CreateSuspended);
  // Terminates, resumes a suspended thread, and waits for it while serving its
  // synchronous calls. A thread that never ran does not run Execute at all.
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts a thread created suspended; does nothing once it runs.
  void Resume();
  // Asks Execute to end; Execute looks at Terminated() to see it.
  void Terminate() { Terminated_ = true; }
  bool Terminated() const { return Terminated_; }
  bool Suspended() const { return Suspended_; }
  bool Finished() const { return Finished_; }
  // Waits until Execute has returned and gives ReturnValue. On the main thread it
  // serves synchronous calls meanwhile. Raises EThread on a suspended thread or
  // when called by the thread itself.
  DWORD WaitFor();
  void TerminateAndWait();
  HANDLE Handle() const { return Handle_.Get(); }
  DWORD ThreadID() const { return ThreadID_; }
  DWORD ReturnValue() const { return ReturnValue_; }
  // What escaped Execute, or null.
  std::exception_ptr FatalException() const { return FatalException_; }

  // Runs Method on the main thread and blocks until it has run; an exception it
  // throws is rethrown here. On the main thread it simply calls Method.
  static void Synchronize(const std::function<void()>& Method);

protected:
  virtual void Execute() = 0;
  void SetReturnValue(DWORD Value) { ReturnValue_ = Value; }

private:
  static unsigned __stdcall ThreadProc(void* Self);

  TKernelHandle Handle_;
  DWORD ThreadID_ = 0;
  std::atomic<bool> Terminated_{false};
  std::atomic<bool> Suspended_{false};
  std::atomic<bool> Finished_{false};
  DWORD ReturnValue_ = 0;
  std::exception_ptr FatalException_;
};
