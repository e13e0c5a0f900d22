// What the importer says while it works: a line per stage with --verbose,
// and for models over a million faces one progress line as the stages start.
#pragma once

#include <algorithm>
#include <cstddef>
#include <ctime>
#include <ostream>
#include <sstream>
#include <string>

namespace importer {

// Models above this many faces take seconds; a progress line says so.
inline constexpr size_t kLargeModel = 1000000;

// `value` as `pattern` (one printf conversion of a double) prints it.
std::string format(const char* pattern, double value);

// Stage lines for --verbose, and the progress line for large models: the
// stages' names as they start, on one line, with the lines that are always
// printed (the simplification, a note) held back until it ends.
class Progress {
 public:
  Progress(std::ostream& out, bool verbose) : out_(out), verbose_(verbose) {}
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  // A failure ends the progress line, so that its message starts on a line of its own.
  ~Progress() {
    if (onLine()) out_ << "\n" << std::flush;
  }

  // With --verbose (or `always`): one line per stage, with the processor
  // time it took (the importer runs on one thread; on a busy machine the
  // time that passes is longer).
  void stage(const std::string& name, const std::string& what, bool always = false) {
    const std::clock_t now = std::clock();
    const double ms = 1000.0 * static_cast<double>(now - last_) / CLOCKS_PER_SEC;
    last_ = now;
    if (!verbose_ && !always) return;
    const std::string line = "  " + name + std::string(10 - std::min<size_t>(name.size(), 9), ' ') +
                             what + format(" [%.0f ms CPU]", ms) + "\n";
    (onLine() ? held_ : out_) << line;
  }
  void startLarge(size_t faces) {
    if (faces <= kLargeModel || large_ || verbose_) return;
    large_ = true;
    out_ << "lighter-import: " << faces << " faces, this takes a few seconds:" << std::flush;
  }
  void step(const char* name) {
    if (onLine()) out_ << " " << name << "..." << std::flush;
  }
  void done() {
    if (!onLine()) return;
    out_ << " done\n" << held_.str();
    ended_ = true;
  }

 private:
  bool onLine() const { return large_ && !ended_; }

  std::ostream& out_;
  bool verbose_;
  bool large_ = false;
  bool ended_ = false;
  std::ostringstream held_;
  std::clock_t last_ = std::clock();
};

}  // namespace importer
