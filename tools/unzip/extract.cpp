// Extraction: the plan, then the folders, then the files on a pool of workers, the
// outcomes reported in archive order, and last the folders' times.
#include "extract.h"

#include <atomic>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "entryname.h"
#include "entrywriter.h"
#include "plan.h"
#include "winfile.h"

namespace unzip {

namespace {

constexpr unsigned kMostWorkers = 8;

// One per core, at most kMostWorkers; UNZIP_WORKERS (1 to 8) chooses another number.
unsigned WorkerCount() {
  wchar_t value[8];
  const DWORD n = GetEnvironmentVariableW(L"UNZIP_WORKERS", value, 8);
  if (n > 0 && n < 8) {
    const int chosen = _wtoi(value);
    if (chosen >= 1 && chosen <= static_cast<int>(kMostWorkers)) return static_cast<unsigned>(chosen);
  }
  const DWORD cores = GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
  return cores == 0 ? 1 : std::min<unsigned>(cores, kMostWorkers);
}

// Outcomes arrive in whatever order the workers finish; the messages leave in archive
// order, each as soon as every entry before it has its outcome.
class InOrder {
public:
  InOrder(size_t Count, const MessageSink& Report) : Outcomes_(Count), Report_(Report) {}

  void Done(size_t Index, Status S, std::string Message) {
    std::lock_guard<std::mutex> lock(Mutex_);
    Outcomes_[Index] = {S, std::move(Message), true};
    while (Next_ < Outcomes_.size() && Outcomes_[Next_].Done) {
      Outcome& o = Outcomes_[Next_++];
      if (!o.Message.empty()) Report_(o.Message);
      std::string().swap(o.Message);
    }
  }
  Status StatusOf(size_t Index) const { return Outcomes_[Index].S; }

private:
  struct Outcome {
    Status S = Status::Ok;
    std::string Message;
    bool Done = false;
  };
  std::vector<Outcome> Outcomes_;
  const MessageSink& Report_;
  std::mutex Mutex_;
  size_t Next_ = 0;
};

class Extractor {
public:
  Extractor(const Options& Opt, const MessageSink& Report) : Opt_(Opt), Report_(Report), File_(Opt.Archive) {}

  Status Run(Summary& Done) {
    Dir_ = ReadCentralDirectory(File_);
    Plan_ = MakePlan(File_, Dir_, Opt_.Destination);
    if (!MakeRoot(Plan_.Root)) {
      Report_("cannot create the folder \"" + Utf8FromWide(Plan_.Root) + "\": " + SystemMessage(Error_));
      return Status::WriteFailed;
    }
    MakeFolders();
    InOrder outcomes(Plan_.Entries.size(), Report_);
    for (size_t i = 0; i < Plan_.Entries.size(); ++i)
      if (Plan_.Entries[i].IsFolder) FolderOutcome(i, outcomes);
    WriteFiles(outcomes);

    Status status = Status::Ok;
    for (size_t i = 0; i < Plan_.Entries.size(); ++i) {
      const Status s = outcomes.StatusOf(i);
      if (s == Status::Ok) ++(Plan_.Entries[i].IsFolder ? Done.Folders : Done.Files);
      status = Worse(status, s);
    }
    // Writing files into a folder moves its time, so folders get theirs last.
    for (const PlannedEntry& p : Plan_.Entries)
      if (p.IsFolder && FolderErrors_[p.Folder] == 0) SetFolderTime(p);
    return status;
  }

private:
  // Creates the destination and any missing folder above it; sets Error_ when that fails.
  bool MakeRoot(const std::wstring& Path) {
    if (CreateDirectoryW(Win32Path(Path).c_str(), nullptr) || IsFolder(Path)) return true;
    Error_ = GetLastError();
    if (Error_ != ERROR_PATH_NOT_FOUND) return false;
    const size_t cut = Path.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut < 2) return false;
    if (!MakeRoot((cut == 2 && Path[1] == L':') ? Path.substr(0, 3) : Path.substr(0, cut))) return false;
    if (CreateDirectoryW(Win32Path(Path).c_str(), nullptr) || IsFolder(Path)) return true;
    Error_ = GetLastError();
    return false;
  }

  // Parents come before their children, so each folder takes one call; a folder whose
  // parent failed is not tried and fails the same way.
  void MakeFolders() {
    FolderErrors_.assign(Plan_.Folders.size(), 0);
    for (size_t f = 0; f < Plan_.Folders.size(); ++f) {
      const size_t parent = Plan_.FolderParents[f];
      if (parent != kNoFolder && FolderErrors_[parent] != 0) {
        FolderErrors_[f] = FolderErrors_[parent];
        continue;
      }
      const std::wstring& path = Plan_.Folders[f];
      if (CreateDirectoryW(Win32Path(path).c_str(), nullptr)) continue;
      const DWORD err = GetLastError();
      if (err != ERROR_ALREADY_EXISTS || !IsFolder(path)) FolderErrors_[f] = err ? err : ERROR_CANNOT_MAKE;
    }
  }

  DWORD FolderError(const PlannedEntry& P) const { return P.Folder == kNoFolder ? 0 : FolderErrors_[P.Folder]; }

  void FolderOutcome(size_t Index, InOrder& Outcomes) {
    const PlannedEntry& p = Plan_.Entries[Index];
    const DWORD err = FolderError(p);
    if (err == 0) Outcomes.Done(Index, Status::Ok, {});
    else Outcomes.Done(Index, Status::WriteFailed, "cannot create the folder \"" + p.Shown + "\": " + SystemMessage(err));
  }

  void WriteFiles(InOrder& Outcomes) {
    const unsigned workers = static_cast<unsigned>(std::min<size_t>(WorkerCount(), Plan_.Groups.size()));
    if (workers <= 1) {
      Work(Outcomes);
      return;
    }
    std::vector<std::thread> pool;
    try {
      for (unsigned w = 0; w < workers; ++w) pool.emplace_back([&] { Work(Outcomes); });
    } catch (const std::system_error&) {
      // Fewer threads than asked for still share out all the groups.
    }
    if (pool.empty()) Work(Outcomes);
    for (std::thread& t : pool) t.join();
  }

  // Takes groups until none is left; a group's entries are written in archive order.
  void Work(InOrder& Outcomes) {
    EntryWriter writer(File_, Opt_.Overwrite);
    for (size_t g; (g = NextGroup_.fetch_add(1)) < Plan_.Groups.size();) {
      for (size_t i : Plan_.Groups[g]) {
        const PlannedEntry& p = Plan_.Entries[i];
        std::string message;
        Status s = Status::WriteFailed;
        if (const DWORD err = FolderError(p)) {
          message = "cannot create the folder for \"" + p.Shown + "\": " + SystemMessage(err);
        } else {
          try {
            s = writer.Write(p, message);
          } catch (const std::bad_alloc&) {
            message = "cannot write \"" + p.Shown + "\": out of memory";
          }
        }
        Outcomes.Done(i, s, std::move(message));
      }
    }
  }

  void SetFolderTime(const PlannedEntry& P) {
    Handle h(CreateFileW(Win32Path(P.Path).c_str(), FILE_WRITE_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (h.Valid()) ApplyTimes(h.Get(), P.Source->Times);
  }

  const Options& Opt_;
  const MessageSink& Report_;
  ArchiveFile File_;
  Directory Dir_;
  Plan Plan_;
  std::vector<DWORD> FolderErrors_;
  std::atomic<size_t> NextGroup_{0};
  DWORD Error_ = 0;
};

}  // namespace

Status Extract(const Options& Opt, const MessageSink& Report, Summary& Done) {
  Extractor x(Opt, Report);
  return x.Run(Done);
}

}  // namespace unzip
