// Locks in the model cache, so that lighters started together never undo each
// other's work and a dead import's directory can be told from a live one.
//
// An import runs in a hidden directory `.import-XXXXXX` in the cache that
// its lighter holds locked (flock on the directory itself) for as long as it
// imports. The lock is inherited by the importer, so it lasts while either
// runs, and the system drops it when both are gone, however they end: a
// `.import-*` directory that nobody holds locked is dead and can go. The
// lock on the cache's own directory orders the changes to its names: making
// and locking an import directory, the search for dead ones, and moving
// entries in and out.
#pragma once

#include <filesystem>
#include <string>

// The cache's lock, held while the object lives. It waits for another
// lighter's; on a file system without such locks it is simply not held.
class CacheLock {
 public:
  explicit CacheLock(const std::filesystem::path& root);
  ~CacheLock();
  CacheLock(const CacheLock&) = delete;
  CacheLock& operator=(const CacheLock&) = delete;
  bool held() const { return held_; }

 private:
  int fd_ = -1;
  bool held_ = false;
};

// A fresh, locked `.import-XXXXXX` directory in the cache `root`, removed
// with all it holds when the object goes. Made under `lock`, so that no
// search for dead imports finds it between its making and its locking.
class ImportDirectory {
 public:
  ImportDirectory(const std::filesystem::path& root, const CacheLock& lock);
  ~ImportDirectory();
  ImportDirectory(const ImportDirectory&) = delete;
  ImportDirectory& operator=(const ImportDirectory&) = delete;
  bool made() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  // Moves `from` (an entry) in here, to go with the directory; false, with
  // errno set, when it cannot be moved.
  bool take(const std::filesystem::path& from) const;

 private:
  std::string path_;
  int fd_ = -1;  // holds the lock; left open across exec, for the importer
};

// Removes each `.import-*` directory in `root` that no process holds locked.
void removeDeadImports(const std::filesystem::path& root);
