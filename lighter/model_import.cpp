#include "lighter/model_import.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "lighter/cache_entry.h"
#include "lighter/cache_limit.h"
#include "lighter/cache_lock.h"
#include "lighter/model_cache.h"
#include "lighter/termination_cleanup.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

// An import that takes longer than this is said, so a start that waits on a
// large model does not look like a hang.
constexpr std::chrono::milliseconds kQuietImport{500};

// Whether opening an entry reads its files through for their SHA-256 as
// well as checking their sizes. Start-up reads and parses every byte of them
// anyway, far slower than SHA-256 goes: the hashes cost under 1 ms on an
// entry of the importer's face budget and about 3 ms on one with a 1024 by
// 1024 texture, beside a start-up of about 100 ms (docs/performance.md).
constexpr bool kCheckHashes = true;

// What the "importing" line says of where the import goes.
constexpr char kKeptInCache[] = "once; later starts take it from the cache";
constexpr char kKeptForThisRun[] = "for this run only: LIGHTER_CACHE_LIMIT is 0";

// Why an import goes to a temporary directory.
enum class NotCached {
  kUnwritable,  // the cache cannot be written, as has been said up to "; "
  kNoCacheKept  // the limit is 0
};

// A directory made by mkdtemp and removed, with all it holds, when the
// object goes; keep() lets it stay.
class TemporaryDirectory {
 public:
  explicit TemporaryDirectory(std::string pattern) : path_(std::move(pattern)) {
    if (::mkdtemp(path_.data()) == nullptr) path_.clear();
  }
  ~TemporaryDirectory() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
  bool made() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  std::string keep() { return std::exchange(path_, {}); }

 private:
  std::string path_;
};

// The temporary directory of an import that could not go to the cache,
// removed when the program exits ("Exit", a failed start-up) or is ended by
// a termination signal.
std::string gTemporaryImport;

void removeTemporaryImport() {
  std::error_code ignored;
  fs::remove_all(gTemporaryImport, ignored);
}

// Waits for the importer; says so once it has taken longer than
// kQuietImport. Returns its wait status, or -1.
int waitForImporter(pid_t pid, const std::string& model, const char* kept, std::ostream& err) {
  const auto said = std::chrono::steady_clock::now() + kQuietImport;
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return status;
    if (done < 0 && errno != EINTR) return -1;
    if (std::chrono::steady_clock::now() >= said) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  err << "lighter: importing " << model << " (" << kept << ")...\n";
  err.flush();
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return status;
}

// Starts the importer with the termination signals held back until its
// process is known, so that a signal that ends us ends it too.
int spawnImporter(pid_t& pid, const std::string& importer, std::vector<char*>& argv) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const sigset_t held = terminationSignals();
  sigset_t previous;
  ::pthread_sigmask(SIG_BLOCK, &held, &previous);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setsigmask(&attributes, &previous);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  const int failed =
      ::posix_spawn(&pid, importer.c_str(), &actions, &attributes, argv.data(), environ);
  if (failed == 0) setImporterProcess(pid);
  ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return failed;
}

// Runs lighter-import on `model` with its defaults, writing `output`. Its
// report is not wanted; its messages go to our standard error. True when it
// succeeded; otherwise its message, or ours, has been said.
bool runImporter(const std::string& model, const std::string& output, const char* kept,
                 std::ostream& err) {
  const std::string importer = importerPath();
  std::vector<std::string> args = {importer, "-o", output, "--", model};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (const int failed = spawnImporter(pid, importer, argv); failed != 0) {
    err << "lighter: cannot run " << importer << ": " << std::strerror(failed) << "\n";
    return false;
  }
  const int status = waitForImporter(pid, model, kept, err);
  setImporterProcess(0);
  if (status == -1) {
    err << "lighter: lost track of " << importer << ": " << std::strerror(errno) << "\n";
    return false;
  }
  if (WIFSIGNALED(status)) {
    err << "lighter: " << importer << " ended by signal " << WTERMSIG(status) << "\n";
    return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The cache directory, made if need be (private, as a cache should be); an
// empty path, with the reason said, when it cannot be had.
fs::path usableCacheRoot(std::ostream& err) {
  const std::string root = cacheRoot(std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"));
  if (root.empty()) {
    err << "lighter: no cache directory (neither XDG_CACHE_HOME nor HOME is set); ";
    return {};
  }
  std::error_code error;
  fs::create_directories(root, error);
  if (!error && ::access(root.c_str(), W_OK | X_OK) != 0)
    error.assign(errno, std::generic_category());
  if (error) {
    err << "lighter: cannot write the cache " << root << ": " << error.message() << "; ";
    return {};
  }
  return root;
}

// The cache's size limit in bytes; a value that is no limit is said, and
// the default holds.
uint64_t cacheLimit(std::ostream& err) {
  const char* value = std::getenv("LIGHTER_CACHE_LIMIT");
  if (const std::optional<uint64_t> bytes = parseCacheLimit(value)) return *bytes;
  err << "lighter: LIGHTER_CACHE_LIMIT=" << value << " is not a whole number of MiB; the limit is "
      << kDefaultCacheLimitMiB << " MiB\n";
  return kDefaultCacheLimitMiB << 20;
}

// Says why the entry of `model` is imported again.
void sayImportedAgain(const std::string& model, const EntryCheck& check, std::ostream& err) {
  err << "lighter: the cached import of " << model
      << (check.state == EntryState::kNoManifest ? " has no manifest (an older lighter's)"
                                                 : " is damaged (" + check.why + ")")
      << "; importing it again\n";
}

// How opening the cache went: an entry to run in, a failure said (empty),
// or a cache that cannot be written, with its reason said up to "; ".
struct CacheResult {
  std::optional<std::string> dataDir;
  bool unwritable = false;
};

CacheResult unwritable(const fs::path& root, const std::string& reason, std::ostream& err) {
  err << "lighter: cannot write the cache " << root.string() << ": " << reason << "; ";
  return {std::nullopt, true};
}

// A sound entry, marked used; or, with `trash` made, a damaged one moved into
// it, said. Checked again under the cache's lock, so that an entry another
// lighter has just put there is taken as it is and never removed.
CacheResult useOrDiscard(const std::string& model, const fs::path& root, const fs::path& entry,
                         std::optional<ImportDirectory>& trash, std::ostream& err) {
  if (checkEntry(entry, kCheckHashes).state == EntryState::kSound) {
    markUsed(entry);
    return {entry.string()};
  }
  const CacheLock lock(root);
  const EntryCheck check = checkEntry(entry, kCheckHashes);
  if (check.state == EntryState::kSound) {
    markUsed(entry);
    return {entry.string()};
  }
  if (check.state == EntryState::kAbsent) return {};
  sayImportedAgain(model, check, err);
  trash.emplace(root, lock);
  if (!trash->made() || !trash->take(entry)) return unwritable(root, std::strerror(errno), err);
  return {};
}

// Moves into `trash` the least recently used entries that must go for a new
// one of `newBytes` to fit the limit.
void makeRoom(const fs::path& root, const std::string& name, uint64_t newBytes, uint64_t limit,
              const CacheLock& lock, std::optional<ImportDirectory>& trash) {
  const std::vector<std::string> victims =
      entriesToRemove(cachedEntries(root, name), newBytes, limit);
  if (victims.empty()) return;
  trash.emplace(root, lock);
  if (!trash->made()) return;
  for (const std::string& victim : victims) trash->take(root / victim);
}

// Imports into a locked directory in the cache, writes the manifest, makes
// room under the limit and renames the complete data directory to `entry`.
// Another lighter that put a sound entry there first is as good.
CacheResult importIntoCache(const std::string& model, const fs::path& root, const fs::path& entry,
                            uint64_t limit, std::ostream& err) {
  TerminationCleanup cleanup;  // goes last: disarmed once the directory is gone
  std::optional<ImportDirectory> staging;
  {
    const CacheLock lock(root);
    staging.emplace(root, lock);
  }
  if (!staging->made()) return unwritable(root, std::strerror(errno), err);
  cleanup.arm(staging->path());
  const fs::path output = fs::path(staging->path()) / "data";
  if (!runImporter(model, output.string(), kKeptInCache, err)) return {std::string()};
  std::string why;
  if (!writeManifest(output, why)) return unwritable(root, why, err);
  std::optional<ImportDirectory> trash;  // removed once the lock is released
  const CacheLock lock(root);
  makeRoom(root, entry.filename().string(), directoryBytes(output), limit, lock, trash);
  if (std::rename(output.c_str(), entry.c_str()) != 0) {
    const int error = errno;
    if (checkEntry(entry, kCheckHashes).state != EntryState::kSound) {
      err << "lighter: cannot put the import in the cache as " << entry.string() << ": "
          << std::strerror(error) << "\n";
      return {std::string()};
    }
  }
  return {entry.string()};
}

// The fallback: an import into a temporary directory for this run only.
std::string importForThisRun(const std::string& model, NotCached why, std::ostream& err) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string base = tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
  // The importing line of a cache that cannot be written is as it always was.
  const char* kept = why == NotCached::kNoCacheKept ? kKeptForThisRun : kKeptInCache;
  if (why == NotCached::kUnwritable) {
    err << "importing into a temporary directory instead, removed at exit\n";
  }
  TerminationCleanup cleanup;
  TemporaryDirectory temporary(base + "/lighter-XXXXXX");
  if (!temporary.made()) {
    err << "lighter: cannot make a directory in " << base << ": " << std::strerror(errno) << "\n";
    return "";
  }
  cleanup.arm(temporary.path());
  const fs::path output = fs::path(temporary.path()) / "data";
  if (!runImporter(model, output.string(), kept, err)) return "";
  gTemporaryImport = temporary.keep();
  std::atexit(removeTemporaryImport);
  cleanup.keepArmed();
  return output.string();
}

}  // namespace

std::string importerPath() {
  const char* installed = std::getenv("LIGHTER_IMPORT");
  return installed != nullptr && installed[0] != '\0' ? installed : LIGHTER_BUILD_IMPORTER;
}

std::string openModel(const std::string& model, std::ostream& err) {
  std::string reason;
  const std::optional<std::string> digest = fileDigest(model, reason);
  if (!digest) {
    err << "lighter: cannot read " << model << ": " << reason << "\n";
    return "";
  }
  const uint64_t limit = cacheLimit(err);
  if (limit == 0) return importForThisRun(model, NotCached::kNoCacheKept, err);
  const fs::path root = usableCacheRoot(err);
  if (root.empty()) return importForThisRun(model, NotCached::kUnwritable, err);
  removeDeadImports(root);
  const fs::path entry = root / cacheEntryName(*digest);
  CacheResult result;
  {
    std::optional<ImportDirectory> trash;  // a damaged entry, removed on the way out
    result = useOrDiscard(model, root, entry, trash, err);
  }
  if (!result.dataDir && !result.unwritable)
    result = importIntoCache(model, root, entry, limit, err);
  if (result.unwritable) return importForThisRun(model, NotCached::kUnwritable, err);
  return *result.dataDir;
}
