// TDiscMonitorThread: a worker thread that watches one folder (and, when asked,
// its whole subtree) for the changes named by its filter and reports each one on
// the GUI thread, waiting there until the report has run.
//
//   auto* M = new TDiscMonitorThread;            // created suspended
//   M->SetDirectory("C:\\Data");  M->SetFilter(FILE_NOTIFY_CHANGE_DIR_NAME);
//   M->OnFolderChange = TNotifyEvent([](TObject*) { ... });
//   M->Resume();
//   delete M;                                     // stops and waits, serving a report on its way
//
// A folder that cannot be watched (missing, no file-system path, gone while
// watched) leaves the thread idle until new settings arrive or it is stopped.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>

#include "classes/object.h"
#include "classes/typinfo.h"
#include "gui/handles.h"
#include "gui/thread.h"

class TDiscMonitorThread : public TThread, public TObject {
  DECLARE_CLASS(TDiscMonitorThread)
public:
  // Created suspended; Resume starts the watch with the settings of that moment.
  TDiscMonitorThread();
  // Clears both handlers first, so a report already on its way does nothing, then
  // stops the thread and waits for it.
  ~TDiscMonitorThread() override;

  std::string Directory() const;
  DWORD Filter() const;
  bool WatchSubtree() const;
  // A changed value restarts the watch of a running thread.
  void SetDirectory(const std::string& Value);
  void SetFilter(DWORD Value);
  void SetWatchSubtree(bool Value);
  // Makes a running thread close its watch and open a new one with the settings now.
  void Restart();
  // Opens the watch with the settings now, here, then starts the thread: a change
  // made once Resume has returned is reported.
  void Resume();

  // Raised on the GUI thread, with the thread as Sender.
  TNotifyEvent OnFolderChange;
  TNotifyEvent OnWatchFailed;

protected:
  void Execute() override;
  void DoFolderChange();
  void DoWatchFailed();

private:
  TChangeNotificationHandle OpenWatch();

  TChangeNotificationHandle FirstWatch_;  // opened by Resume, taken over by Execute
  mutable std::mutex SettingsLock_;  // the settings are written on the GUI thread, read here
  std::string Directory_;
  DWORD Filter_ = 0;
  bool WatchSubtree_ = false;
  TKernelHandle StopEvent_;
  TKernelHandle RestartEvent_;
};
