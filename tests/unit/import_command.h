// Runs the real lighter-import as a user does, for the command tests.
#pragma once

#include <string>
#include <vector>

#include "tests/support/command.h"
#include "tests/unit/importer_test_support.h"

namespace importcmd {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs lighter-import with `args` in `dir`, as its working directory.
inline Result run(const importertest::TempDir& dir, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {LIGHTER_IMPORT_BINARY};
  argv.insert(argv.end(), args.begin(), args.end());
  importertest::TempDir logs;
  const std::string out = (logs / "out").string(), err = (logs / "err").string();
  Result r;
  {
    support::Child child(argv, dir.path().string(), {}, out, err);
    r.status = child.waitForExit(support::Seconds(120)).value_or(-1);
  }
  r.out = support::readFile(out);
  r.err = support::readFile(err);
  return r;
}

}  // namespace importcmd
