#include "lighter/cache_entry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>

#include "files/data_file.h"
#include "lighter/cache_manifest.h"
#include "lighter/model_cache.h"

namespace fs = std::filesystem;

namespace {

// The file that makes a directory a data directory.
constexpr char kBodyMesh[] = "lighterBase.m";

// An open descriptor, closed when it goes.
struct Descriptor {
  int fd = -1;
  explicit Descriptor(int fd) : fd(fd) {}
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
};

// A file that is not there at all (rather than unreadable or refused).
bool isMissing(const DataFile& file) {
  return file.fd < 0 && !file.refused && file.reason == std::strerror(ENOENT);
}

// The files under `dir` but the manifest, with their sizes and digests,
// names relative to it.
std::optional<std::vector<ManifestFile>> listFiles(const fs::path& dir, std::string& why) {
  std::vector<ManifestFile> files;
  std::error_code error;
  for (fs::recursive_directory_iterator it(dir, error), end; !error && it != end;
       it.increment(error)) {
    const fs::file_status status = it->symlink_status(error);
    if (error || fs::is_directory(status)) continue;
    const std::string name = it->path().lexically_relative(dir).generic_string();
    if (name == kManifestFile) continue;  // an earlier one, written over
    if (!fs::is_regular_file(status) || !isManifestName(name)) {
      why = name + ": not a file a cache entry holds";
      return std::nullopt;
    }
    std::string reason;
    std::optional<std::string> digest = fileDigest(it->path().string(), reason);
    if (!digest) {
      why = name + ": " + reason;
      return std::nullopt;
    }
    files.push_back({name, static_cast<uint64_t>(fs::file_size(it->path(), error)), *digest});
  }
  if (error) {
    why = dir.string() + ": " + error.message();
    return std::nullopt;
  }
  return files;
}

// The manifest's text, or nothing with `check` saying why.
std::optional<std::string> readManifest(const fs::path& entry, EntryCheck& check) {
  const fs::path path = entry / kManifestFile;
  const DataFile file = openDataFile(path.c_str());
  const Descriptor closer(file.fd);
  if (isMissing(file)) {
    std::error_code ignored;
    check.state = fs::exists(fs::symlink_status(entry, ignored)) ? EntryState::kNoManifest
                                                                 : EntryState::kAbsent;
    return std::nullopt;
  }
  check.state = EntryState::kDamaged;
  if (file.fd < 0) {
    check.why = std::string(kManifestFile) + ": " + file.reason;
    return std::nullopt;
  }
  std::string text(kMaxManifestBytes + 1, '\0');
  size_t got = 0;
  while (got < text.size()) {
    const ssize_t n = ::read(file.fd, &text[got], text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      check.why = std::string(kManifestFile) + ": " + std::strerror(errno);
      return std::nullopt;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  text.resize(got);
  return text;
}

// Whether the entry's file is there as `listed` says; `why` when it is not.
bool matches(const fs::path& entry, const ManifestFile& listed, bool hashes, std::string& why) {
  const DataFile file = openDataFile((entry / listed.name).c_str());
  const Descriptor closer(file.fd);
  if (file.fd < 0) {
    why = listed.name + (isMissing(file) ? " is missing" : ": " + file.reason);
    return false;
  }
  struct stat info {};
  if (::fstat(file.fd, &info) != 0 || static_cast<uint64_t>(info.st_size) != listed.size) {
    why = listed.name + " holds " + std::to_string(info.st_size) + " bytes, not " +
          std::to_string(listed.size);
    return false;
  }
  if (!hashes) return true;
  std::string reason;
  const std::optional<std::string> digest = descriptorDigest(file.fd, reason);
  if (!digest) {
    why = listed.name + ": " + reason;
    return false;
  }
  if (*digest != listed.sha256) {
    why = listed.name + " does not match its SHA-256";
    return false;
  }
  return true;
}

int64_t modificationNanoseconds(const fs::path& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return 0;
  return static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

}  // namespace

bool writeManifest(const fs::path& dir, std::string& why) {
  const std::optional<std::vector<ManifestFile>> files = listFiles(dir, why);
  if (!files) return false;
  std::string text;
  try {
    text = manifestText(*files);
  } catch (const std::invalid_argument& e) {
    why = e.what();
    return false;
  }
  const fs::path path = dir / kManifestFile;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) {
    why = path.string() + ": " + std::strerror(errno);
    std::error_code ignored;
    fs::remove(path, ignored);
    return false;
  }
  return true;
}

EntryCheck checkEntry(const fs::path& entry, bool hashes) {
  EntryCheck check;
  const std::optional<std::string> text = readManifest(entry, check);
  if (!text) return check;
  std::string why;
  const std::optional<std::vector<ManifestFile>> files = parseManifest(*text, why);
  if (!files) {
    check.why = std::string(kManifestFile) + ": " + why;
    return check;
  }
  bool hasBody = false;
  for (const ManifestFile& listed : *files) {
    if (!matches(entry, listed, hashes, check.why)) return check;
    hasBody = hasBody || listed.name == kBodyMesh;
  }
  if (!hasBody) {
    check.why = std::string(kManifestFile) + " lists no " + kBodyMesh;
    return check;
  }
  check.state = EntryState::kSound;
  return check;
}

void markUsed(const fs::path& entry) {
  ::utimensat(AT_FDCWD, (entry / kManifestFile).c_str(), nullptr, 0);
}

uint64_t directoryBytes(const fs::path& dir) {
  uint64_t bytes = 0;
  std::error_code error;
  for (fs::recursive_directory_iterator it(dir, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code ignored;
    if (it->is_regular_file(ignored)) bytes += it->file_size(ignored);
  }
  return bytes;
}

std::vector<CachedEntry> cachedEntries(const fs::path& root, const std::string& except) {
  std::vector<CachedEntry> entries;
  std::error_code error;
  for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name == except || !isCacheEntryName(name)) continue;
    std::error_code ignored;
    const bool hasManifest = fs::is_regular_file(it->path() / kManifestFile, ignored);
    entries.push_back({name, directoryBytes(it->path()),
                       hasManifest ? modificationNanoseconds(it->path() / kManifestFile) : 0});
  }
  return entries;
}
