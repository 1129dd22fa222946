#include "shelltree/DiscMonitor.h"

#include "gui/exceptionsink.h"

namespace {
bool CanOpenFolder(const std::string& Folder) {
  TKernelHandle Handle(CreateFileA(Folder.c_str(), FILE_LIST_DIRECTORY,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return Handle.Valid();
}
}  // namespace

BEGIN_CLASS_INFO(TDiscMonitorThread, TObject, nullptr)
END_CLASS_INFO

TDiscMonitorThread::TDiscMonitorThread()
    : TThread(true),
      StopEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      RestartEvent_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
  if (!StopEvent_ || !RestartEvent_) throw EThread("Cannot create the events of a folder monitor");
}

TDiscMonitorThread::~TDiscMonitorThread() {
  OnFolderChange = {};
  OnWatchFailed = {};
  SetEvent(StopEvent_.Get());
  TerminateAndWait();
}

std::string TDiscMonitorThread::Directory() const {
  std::lock_guard<std::mutex> Guard(SettingsLock_);
  return Directory_;
}

DWORD TDiscMonitorThread::Filter() const {
  std::lock_guard<std::mutex> Guard(SettingsLock_);
  return Filter_;
}

bool TDiscMonitorThread::WatchSubtree() const {
  std::lock_guard<std::mutex> Guard(SettingsLock_);
  return WatchSubtree_;
}

void TDiscMonitorThread::SetDirectory(const std::string& Value) {
  {
    std::lock_guard<std::mutex> Guard(SettingsLock_);
    if (Directory_ == Value) return;
    Directory_ = Value;
  }
  Restart();
}

void TDiscMonitorThread::SetFilter(DWORD Value) {
  {
    std::lock_guard<std::mutex> Guard(SettingsLock_);
    if (Filter_ == Value) return;
    Filter_ = Value;
  }
  Restart();
}

void TDiscMonitorThread::SetWatchSubtree(bool Value) {
  {
    std::lock_guard<std::mutex> Guard(SettingsLock_);
    if (WatchSubtree_ == Value) return;
    WatchSubtree_ = Value;
  }
  Restart();
}

void TDiscMonitorThread::Restart() {
  // A thread not yet started reads the settings when it starts.
  if (!Suspended()) SetEvent(RestartEvent_.Get());
}

void TDiscMonitorThread::Resume() {
  if (!Suspended()) return;
  FirstWatch_ = OpenWatch();
  TThread::Resume();
}

TChangeNotificationHandle TDiscMonitorThread::OpenWatch() {
  std::string Folder;
  DWORD Filter;
  bool Subtree;
  {
    std::lock_guard<std::mutex> Guard(SettingsLock_);
    Folder = Directory_;
    Filter = Filter_;
    Subtree = WatchSubtree_;
  }
  if (Folder.empty()) return {};
  return TChangeNotificationHandle(FindFirstChangeNotificationA(Folder.c_str(), Subtree, Filter));
}

void TDiscMonitorThread::Execute() {
  TChangeNotificationHandle Watch = FirstWatch_ ? std::move(FirstWatch_) : OpenWatch();
  while (!Terminated()) {
    HANDLE Handles[3] = {StopEvent_.Get(), RestartEvent_.Get(), Watch.Get()};
    const DWORD Count = Watch ? 3 : 2;
    if (!Watch) {
      Synchronize([this] { DoWatchFailed(); });
    }
    const DWORD Signalled = WaitForMultipleObjects(Count, Handles, FALSE, INFINITE);
    if (Signalled == WAIT_OBJECT_0) break;
    if (Signalled == WAIT_OBJECT_0 + 1) {
      Watch.Close();
      Watch = OpenWatch();
      continue;
    }
    if (Signalled != WAIT_OBJECT_0 + 2) break;  // the wait itself failed: nothing left to watch with
    // Armed again before the report, not after it: a change made while the report
    // is handled (a folder made and at once removed again) then signals the next
    // round. Wine keeps no change that happens while no request waits.
    const bool Rearmed = FindNextChangeNotification(Watch.Get());
    Synchronize([this] { DoFolderChange(); });
    // A watch whose folder is gone (deleted, its drive removed) would report the
    // same change for ever: it ends, and the thread waits for new settings. A
    // folder whose deletion waits for the handles on it to close cannot be opened
    // any more: the watch lets it go.
    if (!Rearmed || !CanOpenFolder(Directory())) Watch.Close();
  }
}

// Both run on the GUI thread; a handler's failure is the application's to show,
// and the watch goes on.
void TDiscMonitorThread::DoFolderChange() {
  try {
    OnFolderChange(this);
  } catch (...) {
    HandleWindowException(this);
  }
}

void TDiscMonitorThread::DoWatchFailed() {
  try {
    OnWatchFailed(this);
  } catch (...) {
    HandleWindowException(this);
  }
}
