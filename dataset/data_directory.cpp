#include "dataset/data_directory.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "dataset/pictures.h"
#include "mesh/no_lid.h"

namespace dataset {

namespace fs = std::filesystem;

namespace {

std::string failure(const fs::path& path, const std::string& what) {
  return path.string() + ": " + what + ": " + std::strerror(errno);
}

void writeFile(const fs::path& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) throw WriteError(failure(path, "cannot write it"));
}

void writeFile(const fs::path& path, const std::string& text) {
  writeFile(path, text.data(), text.size());
}

void writeFile(const fs::path& path, const std::vector<unsigned char>& bytes) {
  writeFile(path, bytes.data(), bytes.size());
}

void writeFiles(const fs::path& dir, const DataSet& data) {
  writeFile(dir / "lighterBase.m", meshText(*data.body, data.bodyTitle, data.numbers));
  writeFile(dir / "lighterTop.m",
            data.lid != nullptr ? meshText(*data.lid, data.lidTitle, data.numbers) : noLidText());
  writeFile(dir / "topTexture.bmp", encodeBmp(lidPattern()));
  writeFile(dir / "baseTexture.bmp", encodeBmp(bodyPattern()));
  writeFile(dir / "silverTexture.bmp",
            encodeBmp(data.surface != nullptr ? *data.surface : brushedSilver()));
  if (!fs::create_directory(dir / "Data"))
    throw WriteError(failure(dir / "Data", "cannot make it"));
  writeFile(dir / "Data" / "Particle.raw", particleGlow());
  // What only Lit reads, for a model with a look of its own.
  if (!data.body->look.empty()) {
    writeFile(dir / kBaseLookFile, encodeLook(data.body->look, data.body->vertices.size()));
  }
  if (data.lid != nullptr && !data.lid->look.empty()) {
    writeFile(dir / kTopLookFile, encodeLook(data.lid->look, data.lid->vertices.size()));
  }
  if (data.modelTexture != nullptr) {
    writeFile(dir / kModelTextureFile, encodeBmp(*data.modelTexture));
  }
}

// A new empty directory named after `dir` with `tag`, beside it.
fs::path siblingDirectory(const fs::path& dir, const std::string& tag) {
  std::string pattern =
      (dir.parent_path() / ("." + dir.filename().string() + "." + tag + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw WriteError(failure(dir.parent_path(), "cannot make a directory in it"));
  }
  // mkdtemp makes it private; the data directory gets a new directory's
  // usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fs::permissions(pattern, static_cast<fs::perms>(0777 & ~mask));
  return pattern;
}

void removeQuietly(const fs::path& path) {
  std::error_code ignored;
  fs::remove_all(path, ignored);
}

// SIGINT, SIGTERM, SIGHUP and SIGQUIT held back while the output is put in
// place: one that comes meanwhile (Ctrl-C) takes effect once the data
// directory is complete or every trace of it is gone, never in between. It
// waits at most as long as writing the files takes.
class TerminationHeld {
 public:
  TerminationHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &previous_);
  }
  ~TerminationHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
  TerminationHeld(const TerminationHeld&) = delete;
  TerminationHeld& operator=(const TerminationHeld&) = delete;

 private:
  sigset_t previous_;
};

// Moves `from` to `to`, which must not exist (an empty directory made by
// another process in between is not replaced either).
void renameNoReplace(const fs::path& from, const fs::path& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
    throw WriteError(failure(to, "cannot put the data directory there"));
  }
}

}  // namespace

void checkOutputDirectory(const fs::path& dir, bool replace) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(dir, error);
  if (!fs::exists(status)) return;
  if (!replace) {
    throw WriteError(dir.string() +
                     ": already exists; choose another directory with -o, or replace it with "
                     "--force");
  }
  const bool replaceable =
      fs::is_directory(status) &&
      (fs::is_empty(dir, error) || fs::is_regular_file(dir / "lighterBase.m", error));
  if (!replaceable) {
    throw WriteError(dir.string() +
                     ": is not a data directory (no lighterBase.m in it); not replacing it");
  }
}

void writeDataDirectory(const fs::path& target, const DataSet& data, bool replace) {
  fs::path dir = fs::absolute(target).lexically_normal();
  if (!dir.has_filename()) dir = dir.parent_path();  // "out/" is "out"
  if (dir == dir.root_path()) throw WriteError(target.string() + ": cannot be a data directory");
  checkOutputDirectory(dir, replace);
  const TerminationHeld held;  // released after the clean-up below
  // Parents that do not exist yet are made, and removed again on failure.
  fs::path firstMade;
  for (fs::path p = dir.parent_path(); !p.empty() && !fs::exists(p); p = p.parent_path()) {
    firstMade = p;
    if (p == p.parent_path()) break;
  }
  std::error_code error;
  if (!firstMade.empty() && !fs::create_directories(dir.parent_path(), error)) {
    throw WriteError(dir.parent_path().string() + ": cannot make it: " + error.message());
  }
  fs::path staging;
  try {
    staging = siblingDirectory(dir, "part");
    writeFiles(staging, data);
    if (replace && fs::exists(fs::symlink_status(dir))) {
      const fs::path old = siblingDirectory(dir, "old");
      if (std::rename(dir.c_str(), old.c_str()) != 0) {
        throw WriteError(failure(dir, "cannot move it aside"));
      }
      if (std::rename(staging.c_str(), dir.c_str()) != 0) {
        const std::string reason = failure(dir, "cannot put the data directory there");
        std::rename(old.c_str(), dir.c_str());
        throw WriteError(reason);
      }
      removeQuietly(old);
    } else {
      renameNoReplace(staging, dir);
    }
  } catch (...) {
    if (!staging.empty()) removeQuietly(staging);
    if (!firstMade.empty()) removeQuietly(firstMade);
    throw;
  }
}

}  // namespace dataset
