// The storm: the checked build of the program compiled with
// UndefinedBehaviorSanitizer (lighter_storm), driven by random events from a
// fixed seed as a hostile user would drive it: left clicks in and out of the
// click rectangle, bursts of clicks 1 ms apart, other buttons, the wheel,
// drags (left from beside the lighter, middle, Shift and left), menu walks
// and picks (never "Exit" until the end), resizes down to 1x1 and up to
// 2000x50 and 50x2000, moves off-screen and back, unmap and map, keys (the
// camera's among them, never Q or Escape, which exit, nor F), F12 pictures
// and short Shift+F12 clips into a pictures folder of its own.
//
// Every 30 s the window is put back to its normal size and place with no
// menu open, and a click outside the rectangle must be answered on standard
// output; resident memory is sampled then. At the end "Exit" must give
// status 0, with no sanitizer report, no GL error, no allocation by the
// program in frames or between them (pictures and clips apart), no growth
// of resident memory (the floor of the last samples within 10 % of its value
// after the first minute, no sample half again that), and every picture and
// clip written.
//
// LIGHTER_STORM_MINUTES sets the length (1 by default, fractions allowed)
// and LIGHTER_STORM_SEED the seed (13 by default); tools/storm.sh runs
// longer storms. The figures are printed for the report.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/harness.h"
#include "tests/support/temp_dir.h"
#include "view/view_model.h"

namespace {

using Clock = std::chrono::steady_clock;
using e2e::Lighter;
using e2e::MenuKind;
using e2e::Point;
using support::Seconds;

constexpr int kNormalX = view::kWindowX;
constexpr int kNormalY = view::kWindowY;
constexpr int kNormalWidth = view::kWindowWidth;
constexpr int kNormalHeight = view::kWindowHeight;
constexpr auto kCheckEvery = std::chrono::seconds(30);
// A right click opens the main menu once the program has handled it, which
// on a loaded machine can take seconds. Until the menu is seen no other
// click may follow: it would reach the program after the menu has opened
// and could land on "Exit".
constexpr Seconds kMenuWait{60};
constexpr Seconds kAnswerWait{60};
constexpr size_t kEventsKept = 30;

double stormMinutes() {
  const char* text = std::getenv("LIGHTER_STORM_MINUTES");
  const double minutes = text ? std::atof(text) : 0.0;
  return minutes > 0.0 ? minutes : 1.0;
}

unsigned stormSeed() {
  const char* text = std::getenv("LIGHTER_STORM_SEED");
  return text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : 13u;
}

long residentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

int occurrences(const std::string& text, const std::string& needle) {
  int n = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

// The storm's failure: what went wrong, with what the storm saw last.
struct StormFailure {
  std::string why;
};

class Storm {
 public:
  Storm(Lighter& lighter, unsigned seed) : lighter_(lighter), random_(seed), start_(Clock::now()) {}

  void randomEvent();
  // The window back at its normal size and place with no menu open, then a
  // click outside the rectangle answered on standard output.
  void checkpoint();
  // "Exit" through the menu, at the normal size; its status.
  std::optional<int> leaveThroughExit();
  // Waits until every clip started has been written.
  bool clipsWritten();
  // Waits until no clip is being recorded or encoded.
  bool noClipInFlight();

  double elapsed() const { return Seconds(Clock::now() - start_).count(); }
  const std::map<std::string, int>& counts() const { return counts_; }
  const std::vector<long>& samples() const { return samples_; }
  const std::vector<double>& sampleTimes() const { return sampleTimes_; }
  int checks() const { return checks_; }
  // What the storm did last, the window and the open menus: for a failure.
  std::string report() const;

 private:
  int below(int n) { return n <= 1 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(random_); }
  template <typename T>
  const T& oneOf(const std::vector<T>& items) {
    return items[static_cast<size_t>(below(static_cast<int>(items.size())))];
  }
  void pause(int maxMs) { std::this_thread::sleep_for(std::chrono::milliseconds(below(maxMs))); }
  void log(const std::string& what);
  void count(const std::string& kind) { ++counts_[kind]; }
  [[noreturn]] void fail(const std::string& why) { throw StormFailure{why}; }

  Point onScreen(Point window) const { return {wx_ + window.x, wy_ + window.y}; }
  // Whether a point lies on an open menu. A click in the window while a menu
  // is open is tested by freeglut against the menu with the click's window
  // coordinates, so a window point is tested both where it is on the screen
  // and taken as a screen point.
  bool onMenu(const std::vector<Point>& windowPoints);
  void click(Point window, int button, int count = 1);
  std::optional<Lighter::ShownMenu> waitForMenu(MenuKind kind, Point near, Seconds timeout);
  Point inWindow() { return {below(ww_), below(wh_)}; }
  Point inClickArea();

  void leftInClickArea();
  void leftAnywhere();
  void burst();
  void otherButton();
  void wheel();
  void drag();
  void menuWalk();
  void resize();
  void moveAwayAndBack();
  void unmapAndMap();
  void keyPress();
  void cameraKey();
  void picture();
  void clip();

  bool normalWindow();
  Point freePoint(const std::vector<Point>& candidates);
  bool closeMenus();
  bool adoptSubmenus();

  Lighter& lighter_;
  std::mt19937 random_;
  Clock::time_point start_;
  int wx_ = kNormalX, wy_ = kNormalY, ww_ = kNormalWidth, wh_ = kNormalHeight;
  std::deque<std::string> events_;
  std::map<std::string, int> counts_;
  std::vector<long> samples_;
  std::vector<double> sampleTimes_;
  int checks_ = 0;
  int clipsStarted_ = 0;
};

void Storm::log(const std::string& what) {
  char at[32];
  std::snprintf(at, sizeof at, "%.1f ", elapsed());
  events_.push_back(at + what);
  if (events_.size() > kEventsKept) events_.pop_front();
}

std::string Storm::report() const {
  std::ostringstream out;
  const Lighter::Geometry g = lighter_.geometry();
  out << "the window: " << g.x << " " << g.y << " " << g.width << "x" << g.height
      << "; open menus:";
  for (const auto& m : lighter_.shownMenus()) {
    out << " " << m.at.x << "," << m.at.y << " " << m.at.width << "x" << m.at.height;
  }
  out << "\nthe last events (seconds into the storm, what was sent):\n";
  for (const auto& e : events_) out << "  " << e << "\n";
  const std::string errors = lighter_.errors();
  const size_t tail = errors.size() > 2000 ? errors.size() - 2000 : 0;
  out << "the end of standard error:\n" << errors.substr(tail);
  return out.str();
}

bool Storm::onMenu(const std::vector<Point>& windowPoints) {
  const auto menus = lighter_.shownMenus();
  for (const Point& w : windowPoints) {
    for (const Point& p : {onScreen(w), w}) {
      for (const auto& m : menus) {
        if (p.x >= m.at.x && p.x < m.at.x + m.at.width && p.y >= m.at.y &&
            p.y < m.at.y + m.at.height) {
          return true;
        }
      }
    }
  }
  return false;
}

void Storm::click(Point window, int button, int times) {
  const Point s = onScreen(window);
  const std::string what = "button " + std::to_string(button) + " x" + std::to_string(times) +
                           " at " + std::to_string(s.x) + " " + std::to_string(s.y);
  if (onMenu({window})) {
    log("no " + what + ": on a menu");
    return;
  }
  log(what);
  lighter_.clickOnScreen(s.x, s.y, button, times);
}

std::optional<Lighter::ShownMenu> Storm::waitForMenu(MenuKind kind, Point near, Seconds timeout) {
  std::optional<Lighter::ShownMenu> found;
  const auto distance = [&](const Lighter::ShownMenu& m) {
    return std::abs(m.at.x - near.x) + std::abs(m.at.y - near.y);
  };
  support::waitUntil(
      [&] {
        for (const auto& m : lighter_.shownMenus()) {
          if (m.kind == kind && (!found || distance(m) < distance(*found))) found = m;
        }
        return found.has_value();
      },
      timeout);
  return found;
}

Point Storm::inClickArea() {
  const view::PixelRect r = view::clickAreaFor(ww_, wh_);
  const int x = r.left + below(r.right - r.left + 1);
  const int yUp = r.bottom + below(r.top - r.bottom + 1);
  return {x, wh_ - 1 - yUp};
}

void Storm::leftInClickArea() {
  click(inClickArea(), 1);
  count("left click in the rectangle");
}

void Storm::leftAnywhere() {
  click(inWindow(), 1);
  count("left click anywhere");
}

void Storm::burst() {
  click(inClickArea(), 1, 2 + below(9));
  count("burst of clicks 1 ms apart");
}

void Storm::otherButton() {
  click({below(kNormalWidth), below(kNormalHeight)}, oneOf<int>({2, 6, 7, 8, 9}));
  count("other button");
}

void Storm::wheel() {
  click(inWindow(), below(2) == 0 ? 4 : 5, 1 + below(5));
  count("wheel turn");
}

// A drag through a few points of the window: the left button from beside
// the lighter, the middle button or Shift and the left button from anywhere.
void Storm::drag() {
  const int kind = below(3);
  Point from = inWindow();
  if (kind == 0) {
    const view::PixelRect r = view::clickAreaFor(ww_, wh_);
    const int beside = below(std::max(1, r.left));
    from.x = below(2) == 0 ? beside : std::min(ww_ - 1, r.right + 1 + beside);
  }
  std::vector<Point> path = {from};
  for (int i = 1 + below(8); i > 0; --i) path.push_back(inWindow());
  if (onMenu(path)) {
    log("no drag: on a menu");
    return;
  }
  std::vector<Point> screen;
  std::string what;
  for (const Point& p : path) {
    screen.push_back(onScreen(p));
    what += " " + std::to_string(screen.back().x) + "," + std::to_string(screen.back().y);
  }
  const int button = kind == 1 ? 2 : 1;
  const std::vector<std::string> modifiers =
      kind == 2 ? std::vector<std::string>{"shift"} : std::vector<std::string>{};
  static const char* const kKinds[] = {"left drag from beside the lighter", "middle drag",
                                       "Shift and left drag"};
  log(std::string(kKinds[kind]) + " through" + what);
  lighter_.dragOnScreen(screen, button, modifiers);
  count(kKinds[kind]);
}

// Opens the menu, hovers an entry or two and, half the time, picks a colour
// or a mesh mode; the rest leaves it open for the events that follow. Only
// a submenu's entries are ever clicked, so "Exit" is never picked.
void Storm::menuWalk() {
  // A right press on the window's first row or column opens no menu, so a
  // window of 1 pixel has none.
  if (ww_ < 2 || wh_ < 2) return;
  const Point at{1 + below(std::min(ww_, 700) - 1), 1 + below(std::min(wh_, 500) - 1)};
  if (!lighter_.shownMenus().empty()) return;  // a right click would only close them
  click(at, 3);
  count("menu opened");
  const auto main = waitForMenu(MenuKind::kMain, onScreen(at), kMenuWait);
  if (!main) fail("the menu did not open within 60 s");
  const int entry = below(2);  // "Flame Colors" or "Mesh Modes", never "Exit"
  const Point hover = lighter_.entryPoint(*main, entry);
  log("hover entry " + std::to_string(entry) + " at " + std::to_string(hover.x) + " " +
      std::to_string(hover.y));
  lighter_.pointOnScreen(hover.x, hover.y);
  if (below(2) == 0) return;
  const MenuKind kind = entry == 0 ? MenuKind::kFlame : MenuKind::kMode;
  const auto sub = waitForMenu(kind, {main->at.x + main->at.width, hover.y}, Seconds(2));
  if (!sub) return;
  const int pick = below(kind == MenuKind::kFlame ? 5 : 3);
  const Point p = lighter_.entryPoint(*sub, pick);
  log("pick entry " + std::to_string(pick) + " at " + std::to_string(p.x) + " " +
      std::to_string(p.y));
  lighter_.clickOnScreen(p.x, p.y);
  count("menu pick");
}

void Storm::resize() {
  const std::vector<Point> sizes = {
      {1, 1}, {2000, 50}, {50, 2000}, {800, 600}, {1 + below(1200), 1 + below(900)}};
  const Point size = oneOf(sizes);
  ww_ = size.x;
  wh_ = size.y;
  log("resize to " + std::to_string(ww_) + " " + std::to_string(wh_));
  lighter_.askSize(ww_, wh_);
  count("resize");
}

void Storm::moveAwayAndBack() {
  const Point place = oneOf<Point>({{-3000, -3000}, {5000, 200}, {200, 5000}, {-790, -590}});
  log("move to " + std::to_string(place.x) + " " + std::to_string(place.y) + " and back");
  lighter_.askPlace(place.x, place.y);
  pause(100);
  lighter_.askPlace(wx_, wy_);
  count("move off-screen and back");
}

void Storm::unmapAndMap() {
  log("unmap and map");
  lighter_.unmap();
  pause(100);
  lighter_.map();
  count("unmap and map");
}

// Q and Escape end the program, as "Exit" does, so they are never pressed;
// nor is F: leaving full screen gives the window back the size it had
// before, which may be one of the storm's 1x1 sizes long after the storm
// reset it. Every other key the program answers is.
void Storm::keyPress() {
  const std::string key = oneOf<std::string>({"a", "Return", "space", "w", "s", "l", "c", "W", "C",
                                              "F1", "ctrl+c", "alt+F4", "BackSpace"});
  log("key " + key);
  lighter_.keyNow(key);
  count("key press");
}

void Storm::cameraKey() {
  const std::string key =
      oneOf<std::string>({"Left", "Right", "Up", "Down", "plus", "minus", "r", "R", "Home"});
  log("key " + key);
  lighter_.keyNow(key);
  count("camera key");
}

void Storm::picture() {
  log("key F12");
  lighter_.keyNow("F12");
  count("F12 picture");
}

// A short clip: Shift+F12 starts it and, a moment later, ends it.
void Storm::clip() {
  log("key shift+F12 twice");
  lighter_.keyNow("shift+F12");
  std::this_thread::sleep_for(std::chrono::milliseconds(200 + below(600)));
  lighter_.keyNow("shift+F12");
  ++clipsStarted_;
  count("Shift+F12 clip");
}

void Storm::randomEvent() {
  // Weights out of 1000.
  struct Choice {
    int weight;
    void (Storm::*event)();
  };
  static const Choice kChoices[] = {
      {140, &Storm::leftInClickArea}, {100, &Storm::leftAnywhere}, {60, &Storm::burst},
      {60, &Storm::otherButton},      {60, &Storm::wheel},         {100, &Storm::drag},
      {110, &Storm::menuWalk},        {90, &Storm::resize},        {40, &Storm::moveAwayAndBack},
      {40, &Storm::unmapAndMap},      {100, &Storm::keyPress},     {80, &Storm::cameraKey},
      {15, &Storm::picture},          {5, &Storm::clip},
  };
  int r = below(1000);
  for (const Choice& c : kChoices) {
    if (r < c.weight) {
      (this->*c.event)();
      return;
    }
    r -= c.weight;
  }
}

Point Storm::freePoint(const std::vector<Point>& candidates) {
  for (const Point& p : candidates) {
    if (!onMenu({p})) return p;
  }
  return candidates.back();
}

// A left click in the window closes open menus; one on a corner no menu
// covers.
bool Storm::closeMenus() {
  for (int i = 0; i < 10; ++i) {
    if (lighter_.shownMenus().empty()) return true;
    click(freePoint({{2, 2}, {797, 2}, {2, 597}, {797, 597}}), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return lighter_.shownMenus().empty();
}

// freeglut can leave a submenu on screen alone: when the pointer enters its
// entry and a click closes the menu before the program has shown it (both
// events handled in one go, as on a busy machine), the submenu is shown
// after its menu has gone, and no click closes it. As a user would: open
// the menu again and point at both entries with a submenu, which makes
// those submenus the menu's own again, so that a click closes them all.
bool Storm::adoptSubmenus() {
  const Point at = freePoint({{400, 300}, {100, 100}, {700, 100}, {100, 500}, {700, 500}});
  click(at, 3);
  const auto main = waitForMenu(MenuKind::kMain, onScreen(at), kMenuWait);
  if (!main) return false;
  for (int entry = 0; entry < 2; ++entry) {
    const Point p = lighter_.entryPoint(*main, entry);
    lighter_.pointOnScreen(p.x, p.y);
    // The entry's submenu opens at its right, level with the entry.
    waitForMenu(entry == 0 ? MenuKind::kFlame : MenuKind::kMode, {main->at.x + main->at.width, p.y},
                Seconds(10));
  }
  return true;
}

bool Storm::normalWindow() {
  lighter_.map();
  lighter_.askPlace(kNormalX, kNormalY);
  lighter_.askSize(kNormalWidth, kNormalHeight);
  wx_ = kNormalX, wy_ = kNormalY, ww_ = kNormalWidth, wh_ = kNormalHeight;
  support::waitUntil(
      [&] {
        const Lighter::Geometry g = lighter_.geometry();
        return g.x == kNormalX && g.y == kNormalY && g.width == kNormalWidth &&
               g.height == kNormalHeight;
      },
      Seconds(10));
  for (int i = 0; i < 3; ++i) {
    if (closeMenus()) return true;
    for (const auto& m : lighter_.shownMenus()) {
      if (m.kind == MenuKind::kMain) return false;
    }
    log("submenus open without their menu");
    count("submenu left open alone");
    if (!adoptSubmenus()) return false;
  }
  return closeMenus();
}

void Storm::checkpoint() {
  const double at = elapsed();
  const std::string when = " at " + std::to_string(static_cast<int>(at)) + " s";
  if (!normalWindow()) fail("menus stay open" + when);
  const int x = 100 + checks_ % 150;
  const int y = 50;
  const std::string line =
      "mouse clicked at " + std::to_string(x) + " " + std::to_string(kNormalHeight - 1 - y) + "\n";
  const int before = occurrences(lighter_.output(), line);
  click({x, y}, 1);
  if (!lighter_.waitForOutput(line, before + 1, kAnswerWait)) {
    if (lighter_.waitForExit(Seconds(0))) fail("the program ended" + when);
    fail("no \"" + line.substr(0, line.size() - 1) + "\" on standard output" + when);
  }
  ++checks_;
  // A clip still recording or encoding holds its frames: memory is sampled
  // once every clip begun has been written. A Shift+F12 lost to an unmapped
  // window leaves one recording until it stops itself after 10 s.
  if (!noClipInFlight()) fail("a clip still recording 30 s later" + when);
  samples_.push_back(residentKb(lighter_.pid()));
  sampleTimes_.push_back(at);
}

bool Storm::noClipInFlight() {
  return support::waitUntil(
      [&] {
        const std::string errors = lighter_.errors();
        return occurrences(errors, "lighter: recording a clip") <=
               occurrences(errors, "lighter: saved the clip as ");
      },
      Seconds(30));
}

bool Storm::clipsWritten() {
  return support::waitUntil(
      [&] {
        return occurrences(lighter_.errors(), "lighter: saved the clip as ") >= clipsStarted_;
      },
      Seconds(60));
}

std::optional<int> Storm::leaveThroughExit() {
  if (!normalWindow()) fail("menus stay open at the end");
  click({100, 100}, 3);
  const auto main = waitForMenu(MenuKind::kMain, onScreen({100, 100}), kMenuWait);
  if (!main) fail("the menu did not open for \"Exit\"");
  const Point p = lighter_.entryPoint(*main, 2);
  lighter_.clickOnScreen(p.x, p.y);
  return lighter_.waitForExit(kAnswerWait);
}

// The pictures the program says it saved, each a whole PNG file.
std::vector<std::string> missingPictures(const std::string& errors) {
  static const std::regex saved("lighter: saved the picture as (.*)");
  std::vector<std::string> missing;
  std::istringstream in(errors);
  for (std::string line; std::getline(in, line);) {
    std::smatch m;
    if (!std::regex_match(line, m, saved)) continue;
    std::ifstream file(m[1].str(), std::ios::binary);
    char signature[8] = {};
    file.read(signature, sizeof signature);
    if (!file || std::string(signature + 1, 3) != "PNG") missing.push_back(m[1]);
  }
  return missing;
}

TEST(Storm, RandomEventsFindNoFault) {
  const double minutes = stormMinutes();
  const unsigned seed = stormSeed();
  const int seconds = static_cast<int>(minutes * 60);
  std::printf("storm: %d s, seed %u (LIGHTER_STORM_MINUTES, LIGHTER_STORM_SEED)\n", seconds, seed);
  // A home of its own whose Pictures folder takes F12's pictures and the clips.
  support::TempDir home("lighter-storm-home");
  std::filesystem::create_directory(home.path() + "/Pictures");
  e2e::Program program(LIGHTER_STORM_BINARY, /*captureErrors=*/true);
  // No stdbuf: the program's own line buffering after start-up is under test.
  program.lineBuffered = false;
  program.env = {"UBSAN_OPTIONS=print_stacktrace=1", "HOME=" + home.path(), "XDG_CONFIG_HOME="};
  Lighter lighter({}, program);
  ASSERT_TRUE(lighter.waitForWindow(Seconds(60))) << lighter.errors();

  Storm storm(lighter, seed);
  int events = 0;
  std::optional<int> status;
  try {
    storm.checkpoint();
    auto nextCheck = Clock::now() + kCheckEvery;
    const auto end = Clock::now() + std::chrono::seconds(seconds);
    while (Clock::now() < end) {
      storm.randomEvent();
      ++events;
      std::this_thread::sleep_for(std::chrono::milliseconds(10 * (events % 5)));
      if (lighter.waitForExit(Seconds(0))) {
        FAIL() << "the program ended after " << events << " events\n" << storm.report();
      }
      if (Clock::now() >= nextCheck) {
        storm.checkpoint();
        nextCheck += kCheckEvery;
      }
    }
    storm.checkpoint();
    ASSERT_TRUE(storm.clipsWritten()) << "a clip was not written\n" << storm.report();
    status = storm.leaveThroughExit();
  } catch (const StormFailure& failure) {
    FAIL() << failure.why << "\n" << storm.report();
  }

  std::printf("storm: %d events:\n", events);
  for (const auto& [kind, n] : storm.counts()) std::printf("  %d %s\n", n, kind.c_str());
  std::printf("storm: %d clicks outside the rectangle answered, one every 30 s\n", storm.checks());
  std::printf("storm: resident memory at each check (s:kB):");
  for (size_t i = 0; i < storm.samples().size(); ++i) {
    std::printf(" %.0f:%ld", storm.sampleTimes()[i], storm.samples()[i]);
  }
  std::printf("\n");
  const std::string errors = lighter.errors();
  const size_t totals = errors.find("checked:");
  std::printf("storm: %s", totals == std::string::npos ? "no totals\n" : errors.c_str() + totals);

  ASSERT_TRUE(status.has_value()) << "\"Exit\" did not end the program\n" << storm.report();
  EXPECT_EQ(*status, 0) << "\"Exit\" gave another status\n" << errors;
  EXPECT_EQ(errors.find("runtime error"), std::string::npos) << "a sanitizer report\n" << errors;
  EXPECT_EQ(errors.find("GL error 0x"), std::string::npos) << errors;
  EXPECT_NE(errors.find("GL errors 0;"), std::string::npos) << "no totals of GL errors\n" << errors;
  EXPECT_NE(errors.find("program 0 (in 0 frames)"), std::string::npos)
      << "the program allocated in frames\n"
      << errors;
  EXPECT_NE(errors.find("by the program between frames 0\n"), std::string::npos)
      << "the program allocated between frames\n"
      << errors;
  EXPECT_EQ(errors.find("cannot be told apart"), std::string::npos) << errors;
  EXPECT_EQ(missingPictures(errors), std::vector<std::string>{});

  // The baseline: the first sample at or after one minute (half the run for
  // shorter runs), all at the normal window size. A leak raises the floor:
  // the lowest of the last third of the later samples stays within 10 % of
  // the baseline. A single sample may stand higher (what the allocator and
  // Mesa keep for a while after a 2000-pixel window or a clip), but never
  // half again the baseline.
  const double baseAt = seconds < 120 ? seconds / 2.0 : 60.0;
  long base = -1;
  std::vector<long> later;
  for (size_t i = 0; i < storm.samples().size(); ++i) {
    if (base >= 0) {
      later.push_back(storm.samples()[i]);
      EXPECT_LE(storm.samples()[i], base + base / 2)
          << "resident memory at " << storm.sampleTimes()[i] << " s, half again " << base << " kB";
    }
    if (base < 0 && storm.sampleTimes()[i] >= baseAt) base = storm.samples()[i];
  }
  ASSERT_FALSE(later.empty()) << "no memory sample after the baseline";
  const size_t tail = std::max<size_t>(1, later.size() / 3);
  const long floor =
      *std::min_element(later.end() - static_cast<std::ptrdiff_t>(tail), later.end());
  EXPECT_LE(floor, base + base / 10)
      << "resident memory's floor over the last " << tail << " samples " << floor
      << " kB, more than 10 % above " << base << " kB";
  std::printf("storm: baseline resident memory %ld kB (first check at or after %.0f s)\n", base,
              baseAt);
}

}  // namespace
