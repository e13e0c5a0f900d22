// The driver itself, against the real program: the menus are found and
// pointed into by the sizes freeglut gives them, and the checked build that
// the storm and the endurance run rely on counts the allocations of
// pictures and clips apart from the frames' own.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "tests/e2e/harness.h"
#include "tests/support/temp_dir.h"

namespace {

using e2e::Lighter;
using e2e::MenuKind;
using support::Seconds;

std::optional<Lighter::ShownMenu> waitForMenu(Lighter& lighter, MenuKind kind) {
  std::optional<Lighter::ShownMenu> found;
  support::waitUntil(
      [&] {
        for (const auto& m : lighter.shownMenus()) {
          if (m.kind == kind) found = m;
        }
        return found.has_value();
      },
      Seconds(20));
  return found;
}

// The main menu opens at the pointer with the size measured in freeglut's
// font; pointing at the middle of "Mesh Modes" opens the mesh modes at its
// right, level with that row, and a click on the middle of "Wireframe"
// picks it.
TEST(Driver, MenusAreFoundByTheSizesFreeglutGivesThem) {
  Lighter lighter;
  ASSERT_TRUE(lighter.waitForWindow());
  const auto litPixels = [](const e2e::Screenshot& s) {
    return s.countBrighter(280, 300, 500, 595, 30);
  };
  const auto smooth = lighter.settledScreenshot();
  ASSERT_TRUE(smooth.has_value());
  const Lighter::Geometry window = lighter.geometry();
  lighter.clickOnScreen(window.x + 150, window.y + 120, 3);
  const auto main = waitForMenu(lighter, MenuKind::kMain);
  ASSERT_TRUE(main.has_value());
  EXPECT_EQ(main->at.x, window.x + 150);
  EXPECT_EQ(main->at.y, window.y + 120);
  EXPECT_EQ(main->at.height, menuHeight(lighter.menuMeasures().main));

  const e2e::Point modes = lighter.entryPoint(*main, 1);
  lighter.pointOnScreen(modes.x, modes.y);
  const auto sub = waitForMenu(lighter, MenuKind::kMode);
  ASSERT_TRUE(sub.has_value());
  EXPECT_EQ(sub->at.x, main->at.x + main->at.width);
  EXPECT_EQ(sub->at.y, main->at.y + lighter.menuMeasures().main.fontHeight + kMenuBorder);
  EXPECT_EQ(lighter.shownMenus().size(), 2u);  // no menu of an unknown size

  const e2e::Point wireframe = lighter.entryPoint(*sub, 0);
  lighter.clickOnScreen(wireframe.x, wireframe.y);
  // Wireframe shows lines on black: far fewer lit pixels than the smooth body.
  const auto lines = lighter.waitForScreenshot(
      [&](const e2e::Screenshot& s) { return litPixels(s) < litPixels(*smooth) / 2; });
  EXPECT_TRUE(lines.has_value()) << "smooth: " << litPixels(*smooth);
  EXPECT_EQ(lighter.exitThroughMenu(), 0);
}

// F12 and a Shift+F12 clip in the checked build: their allocations show in
// a count of their own, and the frames and callbacks stay at none.
TEST(Driver, TheCheckedBuildCountsPicturesAndClipsApart) {
  support::TempDir home("lighter-checked-home");
  std::filesystem::create_directory(home.path() + "/Pictures");
  e2e::Program program(e2e::checkedBinaryPath(), /*captureErrors=*/true);
  program.env = {"HOME=" + home.path(), "XDG_CONFIG_HOME="};
  Lighter lighter({}, program);
  ASSERT_TRUE(lighter.waitForWindow(Seconds(60)));
  const auto errorsShow = [&](const std::string& text) {
    return support::waitUntil([&] { return lighter.errors().find(text) != std::string::npos; },
                              Seconds(60));
  };
  lighter.key("F12");
  ASSERT_TRUE(errorsShow("lighter: saved the picture as ")) << lighter.errors();
  lighter.key("F12", {"shift"});
  ASSERT_TRUE(errorsShow("lighter: recording a clip")) << lighter.errors();
  ASSERT_TRUE(lighter.waitForFrames(10));
  lighter.key("F12", {"shift"});
  ASSERT_TRUE(errorsShow("lighter: saved the clip as ")) << lighter.errors();
  ASSERT_EQ(lighter.exitThroughMenu(), 0);

  const std::string errors = lighter.errors();
  std::smatch m;
  ASSERT_TRUE(std::regex_search(
      errors, m,
      std::regex("keeping pictures and clips: program ([0-9]+) in ([0-9]+) frames, "
                 "([0-9]+) on F12;")))
      << errors;
  EXPECT_GT(std::stol(m[1]), 0) << "the picture and the clip's frames were not counted";
  EXPECT_GE(std::stol(m[2]), 11) << "the picture's frame and the clip's ten";
  EXPECT_GT(std::stol(m[3]), 0) << "starting and ending the clip allocate";
  EXPECT_NE(errors.find("program 0 (in 0 frames)"), std::string::npos) << errors;
  EXPECT_NE(errors.find("by the program between frames 0\n"), std::string::npos) << errors;
}

}  // namespace
