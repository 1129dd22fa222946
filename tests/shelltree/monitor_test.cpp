// The folder monitor on real folders: what it reports, how it moves to another
// folder, and that a report on its way when it is destroyed reaches nobody.
#include "shelltree/DiscMonitor.h"

#include "shelltree_testing.h"

#include <memory>
#include <vector>

#include "gui/exceptionsink.h"

namespace {

struct TWatch {
  std::unique_ptr<TDiscMonitorThread> Monitor = std::make_unique<TDiscMonitorThread>();
  int Reports = 0;
  TWatch(const std::string& Folder, DWORD Filter) {
    Monitor->SetWatchSubtree(true);
    Monitor->SetFilter(Filter);
    Monitor->OnFolderChange = TNotifyEvent([this](TObject*) { ++Reports; });
    Monitor->SetDirectory(Folder);
    Monitor->Resume();  // watching once it returns
  }
  template <class F>
  bool Reported(F Change) {
    const int Before = Reports;
    Change();
    return shelltest::PumpUntil([&] { return Reports > Before; });
  }
  // After new settings the thread opens its new watch in its own time: folders are
  // made in Folder until one is reported.
  bool Watching(const std::string& Folder) {
    for (int I = 0; I < 50; ++I) {
      const int Before = Reports;
      CreateDirectoryA((Folder + "\\probe" + std::to_string(I)).c_str(), nullptr);
      if (shelltest::PumpUntil([&] { return Reports > Before; }, 200)) return true;
    }
    return false;
  }
};

// (Wine's subtree watch reports only the folder's own entries, so the changes are made there.)
TEST(DiscMonitor, ReportsNameChangesInTheFolder) {
  shelltest::InitGui();
  shelltest::TScratch Scratch("mon");
  const std::string Deep = Scratch.Root();
  TWatch W(Scratch.Root(), FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
  EXPECT_TRUE(W.Reported([&] { CreateDirectoryA((Deep + "\\new").c_str(), nullptr); }));
  EXPECT_TRUE(W.Reported([&] { RemoveDirectoryA((Deep + "\\new").c_str()); }));
  EXPECT_TRUE(W.Reported([&] { Scratch.File("data.txt"); }));
}

// A change made while a report is being handled (the handler itself makes one, as a
// person may between two reports) is reported in the next round, not lost.
TEST(DiscMonitor, AChangeMadeDuringAReportIsReportedNext) {
  shelltest::InitGui();
  shelltest::TScratch Scratch("during");
  const std::string Folder = Scratch.Root();
  TWatch W(Folder, FILE_NOTIFY_CHANGE_DIR_NAME);
  W.Monitor->OnFolderChange = TNotifyEvent([&](TObject*) {
    if (++W.Reports == 1) CreateDirectoryA((Folder + "\\during").c_str(), nullptr);
  });
  CreateDirectoryA((Folder + "\\first").c_str(), nullptr);
  EXPECT_TRUE(shelltest::PumpUntil([&] { return W.Reports >= 2; }));
}

TEST(DiscMonitor, NewSettingsMoveTheWatch) {
  shelltest::InitGui();
  shelltest::TScratch Scratch("move");
  const std::string One = Scratch.Folder("one"), Two = Scratch.Folder("two");
  TWatch W(One, FILE_NOTIFY_CHANGE_DIR_NAME);
  W.Monitor->SetDirectory(One);  // the same text: the watch goes on as it was
  EXPECT_TRUE(W.Reported([&] { CreateDirectoryA((One + "\\x").c_str(), nullptr); }));
  W.Monitor->SetDirectory(Two);
  EXPECT_EQ(W.Monitor->Directory(), Two);
  EXPECT_TRUE(W.Watching(Two));
  W.Monitor->SetWatchSubtree(false);
  EXPECT_TRUE(W.Watching(Two));
}

TEST(DiscMonitor, AReportOnItsWayWhenDestroyedReachesNobody) {
  shelltest::InitGui();
  shelltest::TScratch Scratch("dying");
  bool Reached = false;
  auto Monitor = std::make_unique<TDiscMonitorThread>();
  Monitor->SetFilter(FILE_NOTIFY_CHANGE_DIR_NAME);
  Monitor->OnFolderChange = TNotifyEvent([&](TObject*) { Reached = true; });
  Monitor->SetDirectory(Scratch.Root());
  Monitor->Resume();
  CreateDirectoryA((Scratch.Root() + "\\x").c_str(), nullptr);
  // No message loop runs: the thread waits in its call into this thread until
  // the destructor serves it.
  Monitor.reset();
  EXPECT_FALSE(Reached);
}

TEST(DiscMonitor, AFolderThatCannotBeWatchedIsReported) {
  shelltest::InitGui();
  shelltest::TScratch Scratch("gone");
  const std::string Folder = Scratch.Folder("watched");
  int Failed = 0;
  TWatch W(Folder, FILE_NOTIFY_CHANGE_DIR_NAME);
  W.Monitor->OnWatchFailed = TNotifyEvent([&](TObject*) { ++Failed; });
  W.Monitor->SetDirectory(Scratch.Root() + "\\missing");
  EXPECT_TRUE(shelltest::PumpUntil([&] { return Failed == 1; }));
}

std::vector<TObject*> Sunk;

TEST(DiscMonitor, AHandlersFailureReachesTheExceptionSinkAndTheWatchGoesOn) {
  shelltest::InitGui();
  shelltest::TScratch Scratch("sink");
  Sunk.clear();
  const TExceptionSink Installed = SetExceptionSink([](TObject* Sender) { Sunk.push_back(Sender); });
  TScopeGuard Restore([Installed] { SetExceptionSink(Installed); });

  TWatch W(Scratch.Root(), FILE_NOTIFY_CHANGE_DIR_NAME);
  const TNotifyEvent Count = W.Monitor->OnFolderChange;
  W.Monitor->OnFolderChange = TNotifyEvent([&](TObject* Sender) {
    Count(Sender);
    if (W.Reports == 1) throw Exception("the first report fails");
  });
  EXPECT_TRUE(W.Reported([&] { CreateDirectoryA((Scratch.Root() + "\\a").c_str(), nullptr); }));
  EXPECT_TRUE(W.Reported([&] { CreateDirectoryA((Scratch.Root() + "\\b").c_str(), nullptr); }));
  W.Monitor->OnWatchFailed = TNotifyEvent([](TObject*) { throw Exception("cannot watch"); });
  W.Monitor->SetDirectory(Scratch.Root() + "\\missing");
  EXPECT_TRUE(shelltest::PumpUntil([] { return Sunk.size() == 2; }));
  EXPECT_EQ(Sunk, (std::vector<TObject*>{W.Monitor.get(), W.Monitor.get()}));
}

}  // namespace
