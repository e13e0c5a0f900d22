#include "importer/write.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>

#include "importer/records.h"
#include "mesh/no_lid.h"

namespace importer {

namespace fs = std::filesystem;

namespace {

// Text written straight into a buffer that grows by doubling: a million
// faces make tens of megabytes of lines.
class TextBuffer {
 public:
  explicit TextBuffer(size_t expected) { text_.resize(expected); }
  // Room for one line of at most `length` characters.
  void reserveLine(size_t length) {
    if (size_ + length > text_.size()) text_.resize(2 * text_.size() + length);
  }
  void put(char c) { text_[size_++] = c; }
  void put(float value) {
    size_ = static_cast<size_t>(std::to_chars(at(), end(), value, std::chars_format::fixed).ptr -
                                text_.data());
  }
  void put(int value) {
    size_ = static_cast<size_t>(std::to_chars(at(), end(), value).ptr - text_.data());
  }
  std::string take() {
    text_.resize(size_);
    return std::move(text_);
  }

 private:
  char* at() { return text_.data() + size_; }
  char* end() { return text_.data() + text_.size(); }
  std::string text_;
  size_t size_ = 0;
};

// The longest lines: a float in fixed notation takes at most 48 characters
// (a sign, 39 digits, a point and the digits of the smallest), an int 11.
constexpr size_t kVertexLine = 2 + 3 * 49 + 1;
constexpr size_t kFaceLine = 2 + 3 * 12 + 1;

std::string failure(const fs::path& path, const std::string& what) {
  return path.string() + ": " + what + ": " + std::strerror(errno);
}

void writeFile(const fs::path& path, const void* data, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) throw ImportError(failure(path, "cannot write it"));
}

void writeFile(const fs::path& path, const std::string& text) {
  writeFile(path, text.data(), text.size());
}

void writeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  writeFile(path, bytes.data(), bytes.size());
}

// A model without a lid gets the marked empty lid file, so the program takes
// the missing lid as intended.
std::string lidText(const datagen::Mesh& lid) {
  return lid.vertices.empty() ? noLidText() : meshText(lid);
}

void writeFiles(const fs::path& dir, const FramedModel& model,
                const std::optional<datagen::Picture>& surface) {
  writeFile(dir / "lighterBase.m", meshText(model.base));
  writeFile(dir / "lighterTop.m", lidText(model.lid));
  writeFile(dir / "topTexture.bmp", datagen::encodeBmp(datagen::lidPattern()));
  writeFile(dir / "baseTexture.bmp", datagen::encodeBmp(datagen::bodyPattern()));
  writeFile(dir / "silverTexture.bmp",
            datagen::encodeBmp(surface ? *surface : datagen::brushedSilver()));
  if (!fs::create_directory(dir / "Data"))
    throw ImportError(failure(dir / "Data", "cannot make it"));
  writeFile(dir / "Data" / "Particle.raw", datagen::particleGlow());
}

// A new empty directory named after `dir` with `tag`, beside it.
fs::path siblingDirectory(const fs::path& dir, const std::string& tag) {
  std::string pattern =
      (dir.parent_path() / ("." + dir.filename().string() + "." + tag + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw ImportError(failure(dir.parent_path(), "cannot make a directory in it"));
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
    throw ImportError(failure(to, "cannot put the data directory there"));
  }
}

}  // namespace

std::string meshText(const datagen::Mesh& mesh) {
  TextBuffer text(mesh.vertices.size() * 36 + mesh.faces.size() * 24 + kVertexLine);
  for (const datagen::Vec3& v : mesh.vertices) {
    text.reserveLine(kVertexLine);
    text.put('v');
    for (double c : {v.x, v.y, v.z}) {
      text.put(' ');
      text.put(static_cast<float>(c));
    }
    text.put('\n');
  }
  for (const auto& f : mesh.faces) {
    text.reserveLine(kFaceLine);
    text.put('f');
    for (int c : f) {
      text.put(' ');
      text.put(c + 1);
    }
    text.put('\n');
  }
  return text.take();
}

void checkOutputDirectory(const fs::path& dir, bool force) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(dir, error);
  if (!fs::exists(status)) return;
  if (!force) {
    throw ImportError(dir.string() +
                      ": already exists; choose another directory with -o, or replace it with "
                      "--force");
  }
  const bool replaceable =
      fs::is_directory(status) &&
      (fs::is_empty(dir, error) || fs::is_regular_file(dir / "lighterBase.m", error));
  if (!replaceable) {
    throw ImportError(dir.string() +
                      ": is not a data directory (no lighterBase.m in it); not replacing it");
  }
}

void writeDataDirectory(const fs::path& target, const FramedModel& model,
                        const std::optional<datagen::Picture>& surface, bool force) {
  fs::path dir = fs::absolute(target).lexically_normal();
  if (!dir.has_filename()) dir = dir.parent_path();  // "out/" is "out"
  if (dir == dir.root_path()) throw ImportError(target.string() + ": cannot be a data directory");
  checkOutputDirectory(dir, force);
  const TerminationHeld held;  // released after the clean-up below
  // Parents that do not exist yet are made, and removed again on failure.
  fs::path firstMade;
  for (fs::path p = dir.parent_path(); !p.empty() && !fs::exists(p); p = p.parent_path()) {
    firstMade = p;
    if (p == p.parent_path()) break;
  }
  std::error_code error;
  if (!firstMade.empty() && !fs::create_directories(dir.parent_path(), error)) {
    throw ImportError(dir.parent_path().string() + ": cannot make it: " + error.message());
  }
  fs::path staging;
  try {
    staging = siblingDirectory(dir, "part");
    writeFiles(staging, model, surface);
    if (force && fs::exists(fs::symlink_status(dir))) {
      const fs::path old = siblingDirectory(dir, "old");
      if (std::rename(dir.c_str(), old.c_str()) != 0) {
        throw ImportError(failure(dir, "cannot move it aside"));
      }
      if (std::rename(staging.c_str(), dir.c_str()) != 0) {
        const std::string reason = failure(dir, "cannot put the data directory there");
        std::rename(old.c_str(), dir.c_str());
        throw ImportError(reason);
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

}  // namespace importer
