// What the tests of `lighter MODEL` share: a scratch home with its model
// files, its cache and its temporary directory, and the programs run in it.
// Models come from the project's own generators.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/support/command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_models.h"

namespace e2e {

class Home {
 public:
  Home() {
    std::filesystem::create_directory(tmp());
    std::filesystem::create_directory(models());
  }
  std::string path() const { return dir_.path(); }
  std::string cache() const { return path() + "/cache"; }
  std::string cacheRoot() const { return cache() + "/lighter"; }
  std::string tmp() const { return path() + "/tmp"; }
  std::string models() const { return path() + "/models"; }
  // A model from model_gen: `shape` (candle, case, lid) in `faces` faces.
  std::string model(const std::string& shape, int faces, const std::string& name) const {
    const std::string file = models() + "/" + name;
    int status = -1;
    support::run({LIGHTER_MODEL_GEN, shape, std::to_string(faces), file}, &status);
    EXPECT_EQ(status, 0) << file;
    return file;
  }
  // The program on `file`, with this home's cache and temporary directory
  // and the given settings added.
  Program lighterOn(const std::string& file, const std::vector<std::string>& env = {}) const {
    Program p{"", /*captureErrors=*/true};
    p.wrapper = {"env", "XDG_CACHE_HOME=" + cache(), "TMPDIR=" + tmp()};
    p.wrapper.insert(p.wrapper.end(), env.begin(), env.end());
    p.args = {file};
    return p;
  }
  // Every name in the cache's directory, hidden ones included.
  std::vector<std::string> cacheEntries() const { return namesIn(cacheRoot()); }
  static std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& e : std::filesystem::directory_iterator(dir, ignored)) {
      names.push_back(e.path().filename().string());
    }
    return names;
  }

 private:
  support::TempDir dir_{"lighter-open"};
};

// The lighter shows something in the click rectangle: the imported body.
inline bool showsTheBody(Lighter& lighter) {
  return lighter
      .waitForScreenshot([](const Screenshot& s) {
        return s.countBrighter(280, 600 - 300, 500, 600 - 5, 30) > 2000;
      })
      .has_value();
}

}  // namespace e2e
