// Pictures and clips of the real program: F12 and Shift+F12 into the
// pictures folder a test's own user-dirs.dirs names, --screenshot and
// --record, and the refusals, each one line with no file left behind.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/e2e/pictures.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A home of the test's own: user-dirs.dirs in its .config names `pictures`
// (relative to the home) as the pictures folder, when given.
struct Home {
  support::TempDir dir{"lighter-home"};
  explicit Home(const std::string& pictures = "") {
    fs::create_directories(dir.path() + "/.config");
    if (!pictures.empty()) {
      std::ofstream(dir.path() + "/.config/user-dirs.dirs")
          << "# written by the test\nXDG_PICTURES_DIR=\"$HOME/" << pictures << "\"\n";
    }
  }
  std::string path(const std::string& name = "") const { return dir.path() + "/" + name; }
  // The program in this home, its standard error kept; `wrapper` runs it.
  e2e::Program program(std::vector<std::string> args = {},
                       std::vector<std::string> wrapper = {}) const {
    e2e::Program p("", true);
    p.wrapper = std::move(wrapper);
    p.wrapper.insert(p.wrapper.end(), {"env", "HOME=" + dir.path(), "XDG_CONFIG_HOME="});
    p.args = std::move(args);
    return p;
  }
};

std::vector<std::string> filesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

bool waitForErrors(e2e::Lighter& lighter, const std::string& text) {
  return support::waitUntil([&] { return lighter.errors().find(text) != std::string::npos; },
                            support::Seconds(60));
}

// The path a "saved ... as PATH" line names, up to the end of the line or
// " (".
std::string savedPath(const std::string& errors, const std::string& what) {
  const std::regex line("lighter: saved " + what + " as ([^\n]*?)( \\(([0-9]+) frames.*)?\n");
  std::smatch m;
  return std::regex_search(errors, m, line) ? m[1].str() : "";
}

bool flameBurns(const e2e::Screenshot& s) { return s.countBrighter(350, 60, 450, 290, 300) > 1000; }

TEST(Picture, F12SavesTheWindowAsXShowsItIntoThePicturesFolderOfUserDirs) {
  const Home home("shots");
  fs::create_directory(home.path("shots"));
  e2e::Lighter lighter({}, home.program());
  ASSERT_TRUE(lighter.waitForWindow());
  ASSERT_TRUE(lighter.resize(640, 520));  // any size
  lighter.key("F12");
  ASSERT_TRUE(waitForErrors(lighter, "lighter: saved the picture as "));
  const std::vector<std::string> files = filesIn(home.path("shots"));
  ASSERT_EQ(files.size(), 1u);
  EXPECT_TRUE(std::regex_match(files[0], std::regex(R"(lighter-\d{8}-\d{6}\.png)"))) << files[0];
  EXPECT_EQ(lighter.errors(),
            "lighter: saved the picture as " + home.path("shots/") + files[0] + "\n");
  const auto picture = e2e::readPng(home.path("shots/") + files[0]);
  ASSERT_TRUE(picture.has_value());
  ASSERT_EQ(picture->width, 640);
  ASSERT_EQ(picture->height, 520);
  // At rest every frame is the same picture: the window shows what was saved.
  const e2e::Screenshot shot = lighter.screenshot();
  ASSERT_EQ(shot.rgb.size(), picture->rgb.size());
  EXPECT_EQ(shot.rgb, picture->rgb);
  EXPECT_GT(shot.countBrighter(0, 0, 640, 520, 300), 10000);  // the lighter, not an empty frame
  EXPECT_TRUE(filesIn(home.path()) == (std::vector<std::string>{".config", "shots"}));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// Shift+F12 twice: one clip whose frames last as long as the time between
// the keys, while a click puts the flame out and the menu picks Wireframe.
TEST(Clip, ShiftF12TwiceRecordsTheTimeBetweenAndTheClicksAndMenusOfThatTime) {
  const Home home;  // no user-dirs.dirs and no ~/Pictures: the working directory
  const support::TempDir caller("lighter-caller");
  e2e::Program program = home.program({"--strike", "3", e2e::dataDir()});
  e2e::Lighter lighter({caller.path()}, program);
  ASSERT_TRUE(lighter.waitForWindow());
  ASSERT_TRUE(lighter.waitForOutput("spark!!\n", 2));
  ASSERT_TRUE(lighter.waitForScreenshot(flameBurns, support::Seconds(60)));

  const auto sent = Clock::now();
  lighter.key("shift+F12");
  ASSERT_TRUE(
      waitForErrors(lighter, "lighter: recording a clip (Shift+F12 ends it, 10.0 s at most)\n"));
  const auto started = Clock::now();
  ASSERT_TRUE(lighter.waitForFrames(5));
  lighter.click(390, 450);  // the fourth turn puts the flame out
  ASSERT_TRUE(lighter.waitForOutput("mouse clicked at 390 149\n"));
  lighter.pickMenu({1, 0});  // "Mesh Modes", "Wireframe"
  ASSERT_TRUE(lighter.waitForScreenshot([](const e2e::Screenshot& s) {
    return s.atUp(400, 150).sum() < 100;  // the body's middle no longer solid
  }));
  ASSERT_TRUE(lighter.waitForFrames(5));
  const auto stopping = Clock::now();
  lighter.key("shift+F12");
  ASSERT_TRUE(waitForErrors(lighter, "lighter: saved the clip as "));
  const auto saved = Clock::now();

  const std::string errors = lighter.errors();
  const std::string path = savedPath(errors, "the clip");
  ASSERT_EQ(fs::path(path).parent_path(), caller.path()) << errors;
  EXPECT_TRUE(std::regex_match(fs::path(path).filename().string(),
                               std::regex(R"(lighter-\d{8}-\d{6}\.webp)")));
  EXPECT_EQ(filesIn(caller.path()).size(), 1u);
  const auto clip = e2e::readWebpClip(path);
  ASSERT_TRUE(clip.has_value());
  EXPECT_EQ(clip->width, 800);
  EXPECT_EQ(clip->height, 600);
  EXPECT_EQ(clip->loops, 0);
  std::smatch said;
  ASSERT_TRUE(std::regex_search(errors, said, std::regex(R"(\((\d+) frames, (\d+\.\d) s\)\n)")));
  EXPECT_EQ(static_cast<int>(clip->frames.size()), std::stoi(said[1]));
  EXPECT_GE(clip->frames.size(), 3u);
  // The clip began between the key and its line, and ended between the
  // second key and the line that named the file.
  const auto ms = [](Clock::duration d) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
  };
  EXPECT_GE(clip->lengthMs(), ms(stopping - started) - 1);
  EXPECT_LE(clip->lengthMs(), ms(saved - sent) + 1);
  EXPECT_NEAR(clip->lengthMs() / 1000.0, std::stod(said[2]), 0.051);
  int previous = 0;
  for (int end : clip->endsMs) {
    EXPECT_GE(end - previous, 39) << "frames closer than the clip's pace";
    previous = end;
  }
  // The flame at the start; at the end no flame and blue outlines only.
  const e2e::Picture& first = clip->frames.front();
  const e2e::Picture& last = clip->frames.back();
  const auto bright = [](const e2e::Picture& p, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        const uint8_t* c = &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
        if (c[0] + c[1] + c[2] > 300) ++n;
      }
    }
    return n;
  };
  EXPECT_GT(bright(first, 350, 60, 450, 290), 1000);
  EXPECT_LT(bright(last, 0, 0, 800, 600), 100);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

TEST(CommandLine, ScreenshotSavesTheFirstFrameInTheModeAskedForAndExits) {
  const Home home;
  const support::TempDir caller("lighter-caller");
  e2e::Lighter lighter({caller.path()}, home.program({"--mode", "wireframe", "--screenshot",
                                                      "shot.png", e2e::dataDir()}));
  ASSERT_EQ(lighter.waitForExit(support::Seconds(60)), 0) << lighter.errors();
  EXPECT_EQ(lighter.errors(), "lighter: saved the picture as " + caller.path() + "/shot.png\n");
  EXPECT_EQ(filesIn(caller.path()), std::vector<std::string>{"shot.png"});
  const auto picture = e2e::readPng(caller.path() + "/shot.png");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 800);
  EXPECT_EQ(picture->height, 600);
  int blue = 0;
  for (size_t i = 0; i < picture->rgb.size(); i += 3) {
    ASSERT_EQ(picture->rgb[i] + picture->rgb[i + 1], 0) << "not wireframe at pixel " << i / 3;
    if (picture->rgb[i + 2] > 0) ++blue;
  }
  EXPECT_GT(blue, 1000);
}

TEST(CommandLine, RecordWritesAClipOfTheSecondsAskedForAndExits) {
  const Home home;
  const support::TempDir out("lighter-clips");
  const std::string path = out.path() + "/strike.webp";
  e2e::Lighter lighter({}, home.program({"--record", path, "--seconds", "2", "--strike", "1"}));
  ASSERT_EQ(lighter.waitForExit(support::Seconds(120)), 0) << lighter.errors();
  EXPECT_TRUE(lighter.output().find("spark!!\n") != std::string::npos);
  const std::string errors = lighter.errors();
  EXPECT_EQ(errors.rfind(
                "lighter: recording a clip of 2.0 s\nlighter: saved the clip as " + path + " (", 0),
            0u)
      << errors;
  EXPECT_EQ(filesIn(out.path()), std::vector<std::string>{"strike.webp"});
  const auto clip = e2e::readWebpClip(path);
  ASSERT_TRUE(clip.has_value());
  EXPECT_EQ(clip->lengthMs(), 2000);
  EXPECT_EQ(clip->width, 800);
  EXPECT_NE(errors.find(" (" + std::to_string(clip->frames.size()) + " frames, 2.0 s)\n"),
            std::string::npos);
  EXPECT_GE(clip->frames.size(), 2u);  // at rest, then the spark
}

// --screenshot and --record refuse at once, without a window, a FILE they
// could not write: one line, status 1, no file.
TEST(Refusals, AFileWhoseFolderIsMissingOrWhoseKindIsUnknownIsOneLineAndStatusOne) {
  const support::TempDir dir("lighter-refused");
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{"--screenshot", dir.path() + "/none/a.png"},
       "lighter: cannot save the picture in " + dir.path() + "/none: No such file or directory\n"},
      {{"--record", dir.path() + "/none/a.webp"},
       "lighter: cannot save the clip in " + dir.path() + "/none: No such file or directory\n"},
      {{"--record", dir.path() + "/a.mp4", "--seconds", "1"},
       "lighter: cannot record " + dir.path() + "/a.mp4: a clip is written as .webp\n"},
      {{"--screenshot", "a.jpg"}, "lighter: cannot save a.jpg: a picture is written as .png\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> argv = {"env",
                                     "-u",
                                     "DISPLAY",
                                     "sh",
                                     "-c",
                                     "exec \"$0\" \"$@\" 2>&1 >/dev/null",
                                     e2e::binaryPath()};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    int status = -1;
    EXPECT_EQ(support::run(argv, &status), c.message);
    EXPECT_EQ(status, 1);
  }
  EXPECT_TRUE(filesIn(dir.path()).empty());
}

// F12 with a pictures folder that is a plain file: one line, and the
// program goes on.
TEST(Refusals, APicturesFolderThatIsAPlainFileIsSaidAndTheProgramGoesOn) {
  const Home home("plain");
  std::ofstream(home.path("plain")) << "not a folder";
  e2e::Lighter lighter({}, home.program());
  ASSERT_TRUE(lighter.waitForWindow());
  lighter.key("F12");
  const std::string line =
      "lighter: cannot save the picture in " + home.path("plain") + ": Not a directory\n";
  ASSERT_TRUE(waitForErrors(lighter, line));
  lighter.key("shift+F12");
  ASSERT_TRUE(waitForErrors(lighter, "lighter: cannot save the clip in " + home.path("plain")));
  lighter.key("space");
  EXPECT_TRUE(lighter.waitForOutput("spark!!\n"));
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
  EXPECT_EQ(lighter.errors(), line + "lighter: cannot save the clip in " + home.path("plain") +
                                  ": Not a directory\n");
  EXPECT_EQ(filesIn(home.path()), (std::vector<std::string>{".config", "plain"}));
}

// The pictures folder on a file system of its own, mounted for the program
// alone (a user and mount namespace: no privilege needed): read-only, or too
// small for the picture. The test looks into it through the program's
// /proc/PID/root while the program runs, since the mount is the program's.
TEST(Refusals, AReadOnlyOrFullPicturesFolderIsSaidAndLeavesNoFile) {
  for (const auto& [options, reason] :
       {std::pair<std::string, std::string>{"ro,size=1m", "Read-only file system"},
        {"size=16k", "No space left on device"}}) {
    SCOPED_TRACE(options);
    const Home home("mounted");
    fs::create_directory(home.path("mounted"));
    const std::vector<std::string> mount = {
        "unshare",
        "--user",
        "--map-root-user",
        "--mount",
        "sh",
        "-c",
        "mount -t tmpfs -o " + options + " none \"$0\" && exec \"$@\"",
        home.path("mounted")};
    e2e::Lighter lighter({}, home.program({}, mount));
    ASSERT_TRUE(lighter.waitForWindow()) << lighter.errors();
    lighter.key("F12");
    const std::string line =
        "lighter: cannot save the picture in " + home.path("mounted") + ": " + reason + "\n";
    ASSERT_TRUE(waitForErrors(lighter, line));
    const std::string seen =
        "/proc/" + std::to_string(lighter.pid()) + "/root" + home.path("mounted");
    EXPECT_TRUE(filesIn(seen).empty());
    lighter.key("space");
    EXPECT_TRUE(lighter.waitForOutput("spark!!\n"));
    EXPECT_EQ(lighter.errors(), line);
    EXPECT_EQ(lighter.exitThroughMenu(), 0);
  }
}

}  // namespace
