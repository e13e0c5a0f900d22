#include "lighter/model_import.h"

#include <fcntl.h>
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

#include "lighter/model_cache.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

// An import that takes longer than this is said, so a start that waits on a
// large model does not look like a hang.
constexpr std::chrono::milliseconds kQuietImport{500};

// A directory made by mkdtemp and removed, with all it holds, when the
// object goes; keep() lets it stay.
class StagingDirectory {
 public:
  explicit StagingDirectory(std::string pattern) : path_(std::move(pattern)) {
    if (::mkdtemp(path_.data()) == nullptr) path_.clear();
  }
  ~StagingDirectory() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  StagingDirectory(const StagingDirectory&) = delete;
  StagingDirectory& operator=(const StagingDirectory&) = delete;
  bool made() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  std::string keep() { return std::exchange(path_, {}); }

 private:
  std::string path_;
};

// The temporary directory of an import that could not go to the cache,
// removed when the program exits ("Exit", a failed start-up).
std::string gTemporaryImport;

void removeTemporaryImport() {
  std::error_code ignored;
  fs::remove_all(gTemporaryImport, ignored);
}

// Waits for the importer; says so once it has taken longer than
// kQuietImport. Returns its wait status, or -1.
int waitForImporter(pid_t pid, const std::string& model, std::ostream& err) {
  const auto said = std::chrono::steady_clock::now() + kQuietImport;
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return status;
    if (done < 0 && errno != EINTR) return -1;
    if (std::chrono::steady_clock::now() >= said) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  err << "lighter: importing " << model << " (once; later starts take it from the cache)...\n";
  err.flush();
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return status;
}

// Runs lighter-import on `model` with its defaults, writing `output`. Its
// report is not wanted; its messages go to our standard error. True when it
// succeeded; otherwise its message, or ours, has been said.
bool runImporter(const std::string& model, const std::string& output, std::ostream& err) {
  const std::string importer = importerPath();
  std::vector<std::string> args = {importer, "-o", output, "--", model};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int failed = ::posix_spawn(&pid, importer.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) {
    err << "lighter: cannot run " << importer << ": " << std::strerror(failed) << "\n";
    return false;
  }
  const int status = waitForImporter(pid, model, err);
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

bool isDataDirectory(const fs::path& dir) {
  std::error_code ignored;
  return fs::is_regular_file(dir / "lighterBase.m", ignored);
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

// Imports into a private directory in the cache and renames the complete
// data directory to `entry`. Another lighter that put the same entry there
// first is as good.
std::optional<std::string> importIntoCache(const std::string& model, const fs::path& root,
                                           const fs::path& entry, std::ostream& err,
                                           bool& cacheUnwritable) {
  StagingDirectory staging((root / ".import-XXXXXX").string());
  if (!staging.made()) {
    err << "lighter: cannot write the cache " << root.string() << ": " << std::strerror(errno)
        << "; ";
    cacheUnwritable = true;
    return std::nullopt;
  }
  const fs::path output = fs::path(staging.path()) / "data";
  if (!runImporter(model, output.string(), err)) return std::string();
  if (std::rename(output.c_str(), entry.c_str()) != 0 && !isDataDirectory(entry)) {
    err << "lighter: cannot put the import in the cache as " << entry.string() << ": "
        << std::strerror(errno) << "\n";
    return std::string();
  }
  return entry.string();
}

// The fallback: an import into a temporary directory for this run only.
std::string importForThisRun(const std::string& model, std::ostream& err) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string base = tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
  err << "importing into a temporary directory instead, removed at exit\n";
  StagingDirectory temporary(base + "/lighter-XXXXXX");
  if (!temporary.made()) {
    err << "lighter: cannot make a directory in " << base << ": " << std::strerror(errno) << "\n";
    return "";
  }
  const fs::path output = fs::path(temporary.path()) / "data";
  if (!runImporter(model, output.string(), err)) return "";
  gTemporaryImport = temporary.keep();
  std::atexit(removeTemporaryImport);
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
  const fs::path root = usableCacheRoot(err);
  if (root.empty()) return importForThisRun(model, err);
  const fs::path entry = root / cacheEntryName(*digest);
  if (isDataDirectory(entry)) return entry.string();
  bool cacheUnwritable = false;
  const std::optional<std::string> imported =
      importIntoCache(model, root, entry, err, cacheUnwritable);
  if (cacheUnwritable) return importForThisRun(model, err);
  return *imported;
}
