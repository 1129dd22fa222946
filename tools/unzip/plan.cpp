// The plan of an extraction: the per-entry checks, then those over the whole archive
// (overlapping data, disk space), then the folders to make and the groups of entries
// that may be written side by side.
#include "plan.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <unordered_map>

#include "entryname.h"

namespace unzip {

namespace {

// What programs using the plain (ANSI) file functions can open: a file path of up to
// MAX_PATH - 1 characters, a folder path leaving room for an 8.3 name inside it.
constexpr size_t kLongestFile = MAX_PATH - 1;
constexpr size_t kLongestFolder = MAX_PATH - 13;

std::wstring FullPath(const std::wstring& Path) {
  const DWORD n = GetFullPathNameW(Path.c_str(), 0, nullptr, nullptr);
  if (n == 0) throw UnzipError(Status::WriteFailed, "bad destination folder \"" + Utf8FromWide(Path) + "\"");
  std::wstring full(n, L'\0');
  const DWORD m = GetFullPathNameW(Path.c_str(), n, full.data(), nullptr);
  full.resize(m < n ? m : 0);
  if (full.empty()) throw UnzipError(Status::WriteFailed, "bad destination folder \"" + Utf8FromWide(Path) + "\"");
  // Keep "C:\" whole; any other trailing separator goes.
  while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();
  return full;
}

bool EntryIsFolderByAttributes(const Entry& E) {
  if ((E.ExternalAttributes & FILE_ATTRIBUTE_DIRECTORY) && E.UncompressedSize == 0 && E.CompressedSize == 0)
    return true;
  return E.HostSystem == 3 && ((E.ExternalAttributes >> 16) & 0170000) == 0040000;
}

// Windows compares names without regard to case; so do the keys that find one file or
// folder under its different spellings.
std::wstring Key(std::wstring Path) {
  if (!Path.empty()) CharUpperBuffW(Path.data(), static_cast<DWORD>(Path.size()));
  return Path;
}

std::wstring ParentOf(const std::wstring& Path) { return Path.substr(0, Path.find_last_of(L'\\')); }

void CheckEntry(const Entry& E, const std::string& Shown) {
  if (E.Encrypted()) throw UnzipError(Status::Refused, "entry \"" + Shown + "\" is encrypted, which is not supported");
  if (E.Method != 0 && E.Method != 8)
    throw UnzipError(Status::Refused, "entry \"" + Shown + "\" uses compression method " + std::to_string(E.Method) +
                                          ", which is not supported");
  if (E.Method == 0 && E.CompressedSize != E.UncompressedSize)
    throw UnzipError(Status::Damaged, "damaged archive: stored entry \"" + Shown + "\" has two different sizes");
}

void CheckLength(const std::wstring& Path, size_t Limit, const std::string& Shown) {
  if (Path.size() <= Limit) return;
  throw UnzipError(Status::Refused, "path too long: \"" + Shown + "\" would be written as a path of " +
                                        std::to_string(Path.size()) + " characters; Windows programs accept " +
                                        std::to_string(Limit));
}

// The data ranges, local header through compressed data, of the directory's entries.
// An entry overlaps another when a range starting before it reaches past its start, or
// the next range starts before it ends.
void CheckOverlaps(const Directory& Dir, const std::vector<uint64_t>& Ends, const std::vector<std::string>& Shown) {
  const size_t n = Dir.Entries.size();
  auto start = [&](size_t i) { return Dir.Entries[i].LocalHeaderOffset; };
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), size_t{0});
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return start(a) != start(b) ? start(a) < start(b) : a < b; });
  size_t first = n;
  uint64_t reach = 0;
  for (size_t k = 0; k < n; ++k) {
    const size_t i = order[k];
    const bool overlaps = (k > 0 && reach > start(i)) || (k + 1 < n && start(order[k + 1]) < Ends[i]);
    if (overlaps) first = std::min(first, i);
    reach = std::max(reach, Ends[i]);
  }
  if (first == n) return;
  size_t other = 0;
  while (other == first || start(other) >= Ends[first] || start(first) >= Ends[other]) ++other;
  throw UnzipError(Status::Damaged, "damaged archive: the data of entry \"" + Shown[first] +
                                        "\" overlaps that of entry \"" + Shown[other] + "\"");
}

// Free space for this user on the volume of Root, or of its nearest existing parent when
// Root is yet to be made. Unknown (no check) when Windows cannot tell.
void CheckDiskSpace(const std::wstring& Root, uint64_t Needed) {
  std::wstring existing = Root;
  while (GetFileAttributesW(existing.c_str()) == INVALID_FILE_ATTRIBUTES) {
    const size_t cut = existing.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut < 2) return;
    existing.resize(cut);
  }
  if (existing.back() != L'\\') existing += L'\\';
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW(existing.c_str(), &available, nullptr, nullptr)) return;
  if (Needed > available.QuadPart)
    throw UnzipError(Status::WriteFailed, "not enough disk space: " + std::to_string(Needed) + " bytes needed, " +
                                              std::to_string(available.QuadPart) + " available");
}

// Every folder below Root that the entries need, parents first, and each entry's folder.
void PlanFolders(Plan& P) {
  std::map<std::wstring, std::wstring> byKey;  // a parent's key is a prefix of its child's, so sorts first
  auto need = [&](std::wstring Folder) {
    while (Folder.size() > P.Root.size() && byKey.emplace(Key(Folder), Folder).second) Folder = ParentOf(Folder);
  };
  for (const PlannedEntry& e : P.Entries) need(e.IsFolder ? e.Path : ParentOf(e.Path));

  std::unordered_map<std::wstring, size_t> index;
  for (auto& [key, folder] : byKey) {
    index.emplace(key, P.Folders.size());
    P.Folders.push_back(std::move(folder));
  }
  auto find = [&](const std::wstring& Folder) {
    if (Folder.size() <= P.Root.size()) return kNoFolder;
    return index.at(Key(Folder));
  };
  for (const std::wstring& f : P.Folders) P.FolderParents.push_back(find(ParentOf(f)));
  for (PlannedEntry& e : P.Entries) e.Folder = find(e.IsFolder ? e.Path : ParentOf(e.Path));
}

void PlanGroups(Plan& P) {
  std::unordered_map<std::wstring, size_t> byKey;
  std::vector<uint64_t> sizes;
  for (size_t i = 0; i < P.Entries.size(); ++i) {
    const PlannedEntry& e = P.Entries[i];
    if (e.IsFolder) continue;
    const auto [it, added] = byKey.emplace(Key(e.Path), P.Groups.size());
    if (added) {
      P.Groups.emplace_back();
      sizes.push_back(0);
    }
    P.Groups[it->second].push_back(i);
    sizes[it->second] += e.Source->UncompressedSize;
  }
  std::vector<size_t> order(P.Groups.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return sizes[a] > sizes[b]; });
  std::vector<std::vector<size_t>> sorted;
  sorted.reserve(order.size());
  for (size_t g : order) sorted.push_back(std::move(P.Groups[g]));
  P.Groups = std::move(sorted);
}

}  // namespace

Plan MakePlan(const ArchiveFile& File, const Directory& Dir, const std::wstring& Destination) {
  Plan p;
  p.Root = FullPath(Destination.empty() ? L"." : Destination);
  const size_t n = Dir.Entries.size();
  std::vector<std::string> shown(n);
  std::vector<uint64_t> ends(n);
  std::vector<const char*> mismatches(n);
  uint64_t needed = 0;
  for (size_t i = 0; i < n; ++i) {
    const Entry& e = Dir.Entries[i];
    const std::wstring name = DecodeName(e);
    const EntryPath path = CheckEntryPath(name, EntryIsFolderByAttributes(e));
    shown[i] = Utf8FromWide(name);
    CheckEntry(e, shown[i]);
    const LocalRecord local = ReadLocalRecord(File, Dir, e, shown[i]);
    const uint64_t data = local.DataOffset;
    ends[i] = data + e.CompressedSize;
    mismatches[i] = local.Mismatch;
    if (path.IsFolder && path.Parts.empty()) continue;  // the destination itself
    std::wstring full = p.Root;
    for (const std::wstring& part : path.Parts) {
      if (full.back() != L'\\') full += L'\\';
      full += part;
    }
    if (path.IsFolder) {
      CheckLength(full, kLongestFolder, shown[i]);
    } else {
      CheckLength(full, kLongestFile, shown[i]);
      if (path.Parts.size() > 1) CheckLength(ParentOf(full), kLongestFolder, shown[i]);
      needed = e.UncompressedSize > ~needed ? ~uint64_t{0} : needed + e.UncompressedSize;
    }
    p.Entries.push_back({&e, std::move(full), shown[i], path.IsFolder, path.IsFolder ? 0 : data, kNoFolder});
  }
  // Overlaps first: the names of entries that share one record mostly differ from it too.
  CheckOverlaps(Dir, ends, shown);
  for (size_t i = 0; i < n; ++i)
    if (mismatches[i])
      throw UnzipError(Status::Damaged, "damaged archive: the local header of entry \"" + shown[i] +
                                            "\" differs from the central directory in " + mismatches[i]);
  CheckDiskSpace(p.Root, needed);
  PlanFolders(p);
  PlanGroups(p);
  return p;
}

}  // namespace unzip
