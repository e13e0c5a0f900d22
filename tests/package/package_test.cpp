// The Debian package of this build: what it holds and depends on, what
// Debian's and freedesktop.org's own checkers say of it, and the program run
// from the extracted package through its launcher.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/package/package_files.h"
#include "tests/support/command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_models.h"

namespace {
namespace fs = std::filesystem;
using package::Outcome;
using package::root;
using package::runTool;

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\n");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t\n") - first + 1);
}

std::string controlField(const std::string& name) {
  return trimmed(support::run({"dpkg-deb", "--field", package::debPath(), name}));
}

bool isElf(const std::string& path) {
  char magic[4] = {};
  std::ifstream(path, std::ios::binary).read(magic, sizeof magic);
  return std::string(magic, sizeof magic) == "\177ELF";
}

// The shared libraries an ELF file names as NEEDED ("libc.so.6").
std::vector<std::string> neededLibraries(const std::string& path) {
  static const std::regex needed(R"(\(NEEDED\)\s+Shared library: \[(.+)\])");
  std::vector<std::string> libraries;
  std::smatch m;
  for (const auto& line : package::lines(support::run({"readelf", "--dynamic", path}))) {
    if (std::regex_search(line, m, needed)) libraries.push_back(m[1]);
  }
  return libraries;
}

// The Debian package that holds the library the dynamic linker finds under
// this name: its file from the linker's cache, then dpkg's database, which
// may know the file under /lib or under /usr/lib.
std::string packageOwning(const std::string& library) {
  const std::regex entry("^\\s*" + std::regex_replace(library, std::regex(R"([.+])"), R"(\$&)") +
                         R"( \(libc6,x86-64\) => (.+)$)");
  std::smatch m;
  for (const auto& line : package::lines(support::run({"ldconfig", "--print-cache"}))) {
    if (!std::regex_match(line, m, entry)) continue;
    const std::string file = fs::canonical(m[1].str());
    const std::string usr = "/usr";
    const bool inUsr = file.rfind(usr + "/lib/", 0) == 0;
    for (const std::string& candidate : {file, inUsr ? file.substr(usr.size()) : file}) {
      int status = -1;
      const std::string owner = support::run({"dpkg", "--search", candidate}, &status);
      if (status == 0) return owner.substr(0, owner.find(':'));
    }
  }
  return "";
}

// Package names in a Depends field, alternatives included ("a (>= 1), b | c").
std::set<std::string> packagesNamed(const std::string& depends) {
  static const std::regex name(R"((^|[,|])\s*([a-z0-9][a-z0-9.+-]+))");
  std::set<std::string> names;
  for (std::sregex_iterator it(depends.begin(), depends.end(), name), end; it != end; ++it) {
    names.insert((*it)[2]);
  }
  return names;
}

TEST(Contents, HoldsExactlyWhatTheInstallRulesInstall) {
  // The manifest names each file as installed under the prefix, without the
  // staging directory in front.
  const auto manifest = package::installManifest();
  ASSERT_FALSE(manifest.empty());
  for (const auto& path : manifest) {
    EXPECT_TRUE(fs::exists(package::stageDir() + path)) << path;
  }
  const auto files = package::filesUnder(root());
  EXPECT_EQ(std::set<std::string>(files.begin(), files.end()),
            std::set<std::string>(manifest.begin(), manifest.end()));
}

TEST(Control, NamedAfterTheProjectVersionAndTheArchitecture) {
  EXPECT_EQ(controlField("Package"), "lighter");
  EXPECT_EQ(controlField("Version"), LIGHTER_VERSION);
  const std::string architecture = trimmed(support::run({"dpkg", "--print-architecture"}));
  EXPECT_EQ(controlField("Architecture"), architecture);
  EXPECT_EQ(fs::path(package::debPath()).filename().string(),
            "lighter_" LIGHTER_VERSION "_" + architecture + ".deb");
}

TEST(Control, DependsOnThePackageOfEveryLibraryItsProgramsLink) {
  const std::string depends = controlField("Depends");
  const std::set<std::string> named = packagesNamed(depends);
  int programs = 0;
  for (const auto& file : package::filesUnder(root())) {
    if (!isElf(root() + file)) continue;
    ++programs;
    for (const auto& library : neededLibraries(root() + file)) {
      const std::string owner = packageOwning(library);
      EXPECT_FALSE(owner.empty()) << "no package holds " << library;
      EXPECT_EQ(named.count(owner), 1u)
          << file << " links " << library << " from " << owner << "; Depends: " << depends;
    }
  }
  EXPECT_GT(programs, 0);
}

TEST(Checkers, LintianFindsNoErrorAndNoWarning) {
  const Outcome lintian = runTool({"lintian", "--fail-on", "error,warning", package::debPath()});
  EXPECT_EQ(lintian.status, 0) << lintian.output;
}

// The lines "Key=value" of a desktop entry's main group.
std::string desktopValue(const std::string& entry, const std::string& key) {
  for (const auto& line : package::lines(support::readFile(entry))) {
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return "";
}

TEST(Checkers, DesktopEntriesAreValidAndNameWhatThePackageHolds) {
  int entries = 0;
  for (const auto& entry : fs::directory_iterator(root() + "/usr/share/applications")) {
    ++entries;
    const Outcome validate = runTool({"desktop-file-validate", entry.path()});
    EXPECT_EQ(validate.status, 0);
    EXPECT_EQ(validate.output, "") << entry.path();
    // The command it runs and its icon are in the package.
    const std::string exec = desktopValue(entry.path(), "Exec");
    const std::string command = exec.substr(0, exec.find(' '));
    EXPECT_EQ(access((root() + "/usr/bin/" + command).c_str(), X_OK), 0) << exec;
    const std::string icon = desktopValue(entry.path(), "Icon");
    int icons = 0;
    for (const auto& size : fs::directory_iterator(root() + "/usr/share/icons/hicolor")) {
      icons += fs::exists(size.path() / "apps" / (icon + ".png"));
    }
    EXPECT_GT(icons, 0) << "no icon " << icon;
  }
  EXPECT_GT(entries, 0);
}

TEST(Checkers, AppStreamMetadataIsValidAndFindsItsDesktopEntry) {
  int files = 0;
  for (const auto& metainfo : fs::directory_iterator(root() + "/usr/share/metainfo")) {
    ++files;
    const Outcome validate =
        runTool({"appstreamcli", "validate", "--no-net", "--pedantic", metainfo.path()});
    EXPECT_EQ(validate.status, 0) << validate.output;
  }
  EXPECT_GT(files, 0);
  // The whole tree: the entry named as launchable and its icon are there.
  const Outcome tree = runTool({"appstreamcli", "validate-tree", "--no-net", "--pedantic", root()});
  EXPECT_EQ(tree.status, 0) << tree.output;
}

TEST(Installed, TheExtractedProgramRunsThroughItsLauncherUntilExit) {
  // A private copy of the package's tree, without the lid: the program's
  // report of the missing lid shows that the launcher found the data set in
  // this tree, wherever the tree is and whatever is installed on the machine.
  const support::TempDir copy("lighter-package");
  ASSERT_EQ(runTool({"dpkg-deb", "--extract", package::debPath(), copy.path()}).status, 0);
  const std::string prefix = copy.path() + "/usr";
  const auto files = package::filesUnder(prefix);
  for (const auto& file : files) {
    if (fs::path(file).filename() == "lighterTop.m") fs::remove(prefix + file);
  }
  const support::TempDir elsewhere("lighter-elsewhere");
  e2e::Lighter lighter({elsewhere.path()}, {prefix + "/bin/lighter"});
  ASSERT_TRUE(lighter.waitForWindow());
  // The process is the program the package holds, not the build's.
  const std::string program = fs::read_symlink("/proc/" + std::to_string(lighter.pid()) + "/exe");
  EXPECT_EQ(program.rfind(prefix + "/", 0), 0u) << program;
  lighter.click(390, 450);
  EXPECT_TRUE(lighter.waitForOutput("spark!!\n"));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  const std::string out = lighter.output();
  EXPECT_NE(out.find("Reading coordinates from lighterBase.m"), std::string::npos);
  EXPECT_NE(out.find("Could not open file lighterTop.m"), std::string::npos);
}

// "Open with": with the package's share directory on XDG_DATA_DIRS, and the
// desktop database made of it as the package's installation makes it, the
// entry is the default for OBJ models. A private home keeps the user's own
// choices out of the answer.
TEST(Installed, TheDesktopEntryIsTheDefaultApplicationForObjModels) {
  const support::TempDir copy("lighter-package");
  ASSERT_EQ(runTool({"dpkg-deb", "--extract", package::debPath(), copy.path()}).status, 0);
  const std::string share = copy.path() + "/usr/share";
  ASSERT_EQ(runTool({"update-desktop-database", share + "/applications"}).status, 0);
  const support::TempDir home("lighter-home");
  const Outcome query = runTool({"env", "-i", "PATH=/usr/bin:/bin", "HOME=" + home.path(),
                                 "XDG_CONFIG_HOME=" + home.path() + "/config",
                                 "XDG_DATA_HOME=" + home.path() + "/data", "XDG_DATA_DIRS=" + share,
                                 "xdg-mime", "query", "default", "model/obj"});
  EXPECT_EQ(query.status, 0) << query.output;
  EXPECT_EQ(query.output, "lighter.desktop\n");
}

// `lighter MODEL` through the extracted launcher runs the package's own
// importer, found from the launcher's place like the data set.
TEST(Installed, TheLauncherImportsAModelWithThePackagesImporter) {
  const support::TempDir copy("lighter-package");
  ASSERT_EQ(runTool({"dpkg-deb", "--extract", package::debPath(), copy.path()}).status, 0);
  const std::string prefix = copy.path() + "/usr";
  const support::TempDir elsewhere("lighter-elsewhere");
  testmodels::writeFile(elsewhere.path() + "/house.obj", testmodels::houseObj());
  e2e::Program launcher(prefix + "/bin/lighter", /*captureErrors=*/true);
  launcher.wrapper = {"env", "XDG_CACHE_HOME=" + elsewhere.path() + "/cache",
                      "LIGHTER_IMPORT=/not/this/one"};
  launcher.args = {"house.obj"};
  e2e::Lighter lighter({elsewhere.path()}, launcher);
  ASSERT_TRUE(lighter.waitForWindow(support::Seconds(60)));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  EXPECT_EQ(lighter.errors().find("lighter: cannot run"), std::string::npos) << lighter.errors();
  int entries = 0;
  for (const auto& entry : fs::directory_iterator(elsewhere.path() + "/cache/lighter")) {
    entries += fs::is_regular_file(entry.path() / "lighterBase.m");
  }
  EXPECT_EQ(entries, 1);
}

}  // namespace
