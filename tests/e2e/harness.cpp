#include "tests/e2e/harness.h"

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

// Last: X11 headers define macros that clash with other headers.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

namespace e2e {
namespace fs = std::filesystem;
namespace {

constexpr const char* kTitle = "^Lighter Demonstration$";
// X clients that could not connect, and screenshots that failed, are tried
// this often, this far apart.
constexpr int kAttempts = 5;
constexpr auto kRetryWait = std::chrono::milliseconds(100);

int countOccurrences(const std::string& haystack, const std::string& needle) {
  int n = 0;
  for (size_t at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, at + needle.size())) {
    ++n;
  }
  return n;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) out.push_back(line);
  }
  return out;
}

uint32_t bigEndian32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<uint8_t>(bytes.at(at + i));
  return v;
}

// Decodes the output of `xwd` for a 24-bit TrueColor window (32 bits per pixel).
Screenshot decodeXwd(const std::string& xwd) {
  if (xwd.size() < 100) throw std::runtime_error("xwd gave no picture");
  const uint32_t headerSize = bigEndian32(xwd, 0);
  Screenshot shot;
  shot.width = static_cast<int>(bigEndian32(xwd, 16));
  shot.height = static_cast<int>(bigEndian32(xwd, 20));
  const bool msbFirst = bigEndian32(xwd, 28) == 1;
  const uint32_t bitsPerPixel = bigEndian32(xwd, 44);
  const uint32_t bytesPerLine = bigEndian32(xwd, 48);
  const uint32_t colorCount = bigEndian32(xwd, 76);
  if (bitsPerPixel != 32) throw std::runtime_error("xwd: expected 32 bits per pixel");
  const size_t start = headerSize + static_cast<size_t>(colorCount) * 12;
  if (xwd.size() < start + static_cast<size_t>(bytesPerLine) * shot.height) {
    throw std::runtime_error("xwd: picture cut short");
  }
  shot.rgb.resize(static_cast<size_t>(shot.width) * shot.height * 3);
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      const size_t p = start + static_cast<size_t>(y) * bytesPerLine + static_cast<size_t>(x) * 4;
      uint32_t v = 0;
      for (size_t i = 0; i < 4; ++i) {
        const uint32_t byte = static_cast<uint8_t>(xwd[p + i]);
        v |= msbFirst ? byte << (8 * (3 - i)) : byte << (8 * i);
      }
      uint8_t* out = &shot.rgb[(static_cast<size_t>(y) * shot.width + x) * 3];
      out[0] = static_cast<uint8_t>(v >> 16);
      out[1] = static_cast<uint8_t>(v >> 8);
      out[2] = static_cast<uint8_t>(v);
    }
  }
  return shot;
}

std::map<std::string, int> shellValues(const std::string& text) {
  std::map<std::string, int> values;
  for (const auto& line : lines(text)) {
    auto eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = std::atoi(line.c_str() + eq + 1);
  }
  return values;
}

// "main 118 23 3": a menu's measures as e2e_menu_measures prints them.
MenuMeasures parseMeasures(const std::string& text) {
  MenuMeasures all;
  int found = 0;
  for (const auto& line : lines(text)) {
    std::istringstream in(line);
    std::string name;
    MenuMeasure m;
    if (!(in >> name >> m.labelWidth >> m.fontHeight >> m.rows)) continue;
    MenuMeasure* slot = name == "main"    ? &all.main
                        : name == "flame" ? &all.flame
                        : name == "mode"  ? &all.mode
                                          : nullptr;
    if (slot) {
      *slot = m;
      ++found;
    }
  }
  if (found != 3) throw std::runtime_error("no menu measures in: " + text);
  return all;
}

}  // namespace

std::string binaryPath() { return LIGHTER_BINARY; }
std::string checkedBinaryPath() { return LIGHTER_CHECKED_BINARY; }
std::string dataDir() { return LIGHTER_DATA_DIR; }

support::TempDir copyDataSet(const std::vector<std::string>& without) {
  support::TempDir dir("lighter-data");
  fs::copy(dataDir(), dir.path(),
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  for (const auto& name : without) fs::remove(fs::path(dir.path()) / name);
  return dir;
}

Rgb Screenshot::at(int x, int y) const {
  const uint8_t* p = &rgb.at((static_cast<size_t>(y) * width + x) * 3);
  return {p[0], p[1], p[2]};
}

int Screenshot::countBrighter(int x0, int y0, int x1, int y1, int threshold) const {
  int n = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      if (at(x, y).sum() > threshold) ++n;
    }
  }
  return n;
}

void Screenshot::savePng(const std::string& path) const {
  const std::string raw = path + ".rgb";
  std::ofstream(raw, std::ios::binary)
      .write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
  support::run({"/usr/bin/convert", "-size", std::to_string(width) + "x" + std::to_string(height),
                "-depth", "8", "rgb:" + raw, path});
  fs::remove(raw);
}

Lighter::Lighter(Options options, Program program) : options_(std::move(options)) {
  if (options_.workdir.empty()) options_.workdir = dataDir();
  stdoutPath_ = outDir_.path() + "/stdout.txt";
  tracePath_ = outDir_.path() + "/calls.trace";
  if (program.captureErrors) stderrPath_ = outDir_.path() + "/stderr.txt";
  if (program.binary.empty()) program.binary = binaryPath();
  programEnv_ = program.env;
  // Line-buffered output, so that a test sees each line as it is printed.
  std::vector<std::string> argv = program.wrapper;
  if (program.lineBuffered) argv.insert(argv.end(), {"stdbuf", "-oL"});
  argv.push_back(program.binary);
  argv.insert(argv.end(), program.args.begin(), program.args.end());
  if (options_.trace) {
    argv.insert(argv.begin(), {"apitrace", "trace", "--output=" + tracePath_});
  }
  child_ =
      std::make_unique<support::Child>(argv, options_.workdir, env(), stdoutPath_, stderrPath_);
}

Lighter::~Lighter() {
  child_.reset();  // kills the program if a test left it running, before its files go
}

std::vector<std::string> Lighter::env() const {
  std::vector<std::string> env = programEnv_;
  env.push_back("DISPLAY=" + xvfb_.display());
  return env;
}

std::string Lighter::xClient(std::vector<std::string> argv, int* status) const {
  argv.insert(argv.begin(), {"env", "DISPLAY=" + xvfb_.display()});
  for (int attempt = 1;; ++attempt) {
    std::string errors;
    std::string out = support::run(argv, status, &errors);
    // xdotool: "Can't open display", xwd: "unable to open display".
    if (errors.find("open display") == std::string::npos || attempt == kAttempts) return out;
    std::this_thread::sleep_for(kRetryWait);
  }
}

std::string Lighter::xdotool(const std::vector<std::string>& args) const {
  std::vector<std::string> argv = {"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  return xClient(argv);
}

std::string Lighter::output() const { return support::readFile(stdoutPath_); }

std::string Lighter::errors() const {
  return stderrPath_.empty() ? "" : support::readFile(stderrPath_);
}

bool Lighter::waitForOutput(const std::string& text, int count, Seconds timeout) {
  return support::waitUntil([&] { return countOccurrences(output(), text) >= count; }, timeout);
}

std::optional<int> Lighter::waitForExit(Seconds timeout) { return child_->waitForExit(timeout); }

bool Lighter::waitForWindow(Seconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  const bool found = support::waitUntil(
      [&] {
        auto ids = lines(xdotool({"search", "--onlyvisible", "--name", kTitle}));
        if (ids.empty()) return false;
        window_ = ids.front();
        return true;
      },
      timeout, std::chrono::milliseconds(50));
  if (!found) return false;
  if (damage_ == 0) {
    Display* x = xvfb_.connection();
    // The window may be gone by the time a request about it arrives; that
    // shows as a wait that fails, not as the end of the test process.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    int errors = 0;
    if (!XDamageQueryExtension(x, &damageEvents_, &errors)) {
      throw std::runtime_error("the X server has no DAMAGE extension");
    }
    damage_ = XDamageCreate(x, std::stoul(window_), XDamageReportRawRectangles);
  }
  return waitForFrames(1, deadline - std::chrono::steady_clock::now());
}

bool Lighter::waitForFrames(int count, Seconds timeout) {
  if (damage_ == 0) throw std::runtime_error("waitForFrames needs waitForWindow first");
  Display* x = xvfb_.connection();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  // Once the server has answered, every report of a frame drawn before this
  // call is in the queue: drop them.
  XSync(x, False);
  XEvent event;
  while (XEventsQueued(x, QueuedAlready) > 0) XNextEvent(x, &event);
  int frames = 0;
  while (frames < count) {
    while (frames < count && XPending(x) > 0) {
      XNextEvent(x, &event);
      // A frame is one picture put into the window: one report, whose last
      // rectangle says no more follow.
      if (event.type == damageEvents_ + XDamageNotify &&
          !reinterpret_cast<const XDamageNotifyEvent&>(event).more) {
        ++frames;
      }
    }
    if (frames >= count) break;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{ConnectionNumber(x), POLLIN, 0};
    poll(&p, 1, static_cast<int>(left.count()));
  }
  return true;
}

bool Lighter::waitForTimers(std::chrono::milliseconds delay, Seconds timeout) {
  if (!waitForFrames(1, timeout)) return false;
  std::this_thread::sleep_for(delay);
  return waitForFrames(2, timeout);
}

Lighter::Geometry Lighter::geometry() const {
  auto v = shellValues(xdotool({"getwindowgeometry", "--shell", window_}));
  return {v["X"], v["Y"], v["WIDTH"], v["HEIGHT"]};
}

std::string Lighter::title() const {
  auto name = lines(xdotool({"getwindowname", window_}));
  return name.empty() ? "" : name.front();
}

void Lighter::click(int x, int y) {
  const Geometry g = geometry();
  xdotool({"mousemove", std::to_string(g.x + x), std::to_string(g.y + y), "click", "1"});
}

void Lighter::pointTo(int x, int y) {
  const Geometry g = geometry();
  xdotool({"mousemove", std::to_string(g.x + x), std::to_string(g.y + y)});
}

void Lighter::pressButton(int button) { xdotool({"mousedown", std::to_string(button)}); }

void Lighter::releaseButton(int button) { xdotool({"mouseup", std::to_string(button)}); }

void Lighter::drag(const std::vector<Point>& path, int button,
                   const std::vector<std::string>& modifiers) {
  const Geometry g = geometry();
  std::vector<Point> onScreen;
  for (const Point& p : path) onScreen.push_back({g.x + p.x, g.y + p.y});
  dragOnScreen(onScreen, button, modifiers);
}

void Lighter::wheel(int x, int y, int steps) {
  const Geometry g = geometry();
  const int button = steps > 0 ? 4 : 5;
  xdotool({"mousemove", std::to_string(g.x + x), std::to_string(g.y + y), "click", "--repeat",
           std::to_string(std::abs(steps)), "--delay", "1", std::to_string(button)});
}

void Lighter::key(const std::string& name, const std::vector<std::string>& modifiers) {
  std::string chord;
  for (const auto& m : modifiers) chord += m + "+";
  xdotool({"windowfocus", "--sync", window_});
  xdotool({"key", chord + name});
}

bool Lighter::resize(int width, int height) {
  askSize(width, height);
  const bool resized = support::waitUntil(
      [&] {
        const Geometry g = geometry();
        return g.width == width && g.height == height;
      },
      Seconds(20));
  return resized && waitForFrames(2);
}

bool Lighter::move(int x, int y) {
  askPlace(x, y);
  return support::waitUntil(
      [&] {
        const Geometry g = geometry();
        return g.x == x && g.y == y;
      },
      Seconds(20));
}

std::optional<Lighter::Geometry> Lighter::openMenu(int x, int y) {
  const Geometry g = geometry();
  xdotool({"mousemove", std::to_string(g.x + x), std::to_string(g.y + y), "click", "3"});
  std::vector<Geometry> menus;
  if (!support::waitUntil([&] { return !(menus = openMenus()).empty(); }, Seconds(10))) {
    return std::nullopt;
  }
  return menus.front();
}

// Visible freeglut menus as (x, y, width, height), in no particular order.
std::vector<Lighter::Geometry> Lighter::openMenus() const {
  std::vector<Geometry> menus;
  for (const auto& id : lines(xdotool({"search", "--onlyvisible", "--name", "^freeglut menu$"}))) {
    auto v = shellValues(xdotool({"getwindowgeometry", "--shell", id}));
    menus.push_back({v["X"], v["Y"], v["WIDTH"], v["HEIGHT"]});
  }
  return menus;
}

const MenuMeasures& Lighter::menuMeasures() const {
  static std::optional<MenuMeasures> measures;
  if (!measures) measures = parseMeasures(xClient({LIGHTER_MENU_MEASURES}));
  return *measures;
}

std::vector<Lighter::ShownMenu> Lighter::shownMenus() const {
  const MenuMeasures& m = menuMeasures();
  const auto fits = [](const Geometry& g, const MenuMeasure& measure) {
    return g.width == menuWidth(measure) && g.height == menuHeight(measure);
  };
  std::vector<ShownMenu> shown;
  for (const Geometry& g : openMenus()) {
    MenuKind kind = MenuKind::kUnknown;
    if (fits(g, m.main)) {
      kind = MenuKind::kMain;
    } else if (fits(g, m.flame)) {
      kind = MenuKind::kFlame;
    } else if (fits(g, m.mode)) {
      kind = MenuKind::kMode;
    }
    shown.push_back({g, kind});
  }
  return shown;
}

Point Lighter::entryPoint(const ShownMenu& menu, int row) const {
  const MenuMeasures& m = menuMeasures();
  const MenuMeasure& measure = menu.kind == MenuKind::kFlame  ? m.flame
                               : menu.kind == MenuKind::kMode ? m.mode
                                                              : m.main;
  const MenuPoint p = rowCentre(menuBoxAt(menu.at.x, menu.at.y, measure), row);
  return {p.x, p.y};
}

void Lighter::pickMenu(const std::vector<int>& path, int x, int y) {
  if (path.empty()) return;
  const Geometry g = geometry();
  // The menus of an earlier pick close once the program has handled it; until
  // then they would pass for the menus of this one.
  if (!support::waitUntil([&] { return openMenus().empty(); }, Seconds(10))) {
    throw std::runtime_error("the menu of an earlier pick did not close");
  }
  xdotool({"mousemove", std::to_string(g.x + x), std::to_string(g.y + y), "click", "3"});
  // The main menu opens at the pointer, a submenu to the right of its entry.
  Point near{g.x + x, g.y + y};
  MenuKind kind = MenuKind::kMain;
  for (size_t level = 0; level < path.size(); ++level) {
    ShownMenu menu;
    const auto distance = [&](const ShownMenu& m) {
      return std::abs(m.at.x - near.x) + std::abs(m.at.y - near.y);
    };
    if (!support::waitUntil(
            [&] {
              bool found = false;
              for (const ShownMenu& m : shownMenus()) {
                if (m.kind == kind && (!found || distance(m) < distance(menu))) {
                  menu = m;
                  found = true;
                }
              }
              return found;
            },
            Seconds(10))) {
      throw std::runtime_error("menu level " + std::to_string(level) + " did not open");
    }
    const Point entry = entryPoint(menu, path[level]);
    xdotool({"mousemove", std::to_string(entry.x), std::to_string(entry.y)});
    near = {menu.at.x + menu.at.width, entry.y};
    kind = path[level] == 0 ? MenuKind::kFlame : MenuKind::kMode;
  }
  xdotool({"click", "1"});
}

void Lighter::clickOnScreen(int x, int y, int button, int count) {
  xdotool({"mousemove", std::to_string(x), std::to_string(y), "click", "--repeat",
           std::to_string(count), "--delay", "1", std::to_string(button)});
}

void Lighter::pointOnScreen(int x, int y) {
  xdotool({"mousemove", std::to_string(x), std::to_string(y)});
}

void Lighter::dragOnScreen(const std::vector<Point>& path, int button,
                           const std::vector<std::string>& modifiers) {
  if (path.empty()) return;
  const auto moveTo = [](std::vector<std::string>& args, const Point& p) {
    args.insert(args.end(), {"mousemove", std::to_string(p.x), std::to_string(p.y)});
  };
  std::vector<std::string> args;
  moveTo(args, path.front());
  for (const auto& m : modifiers) args.insert(args.end(), {"keydown", m});
  args.insert(args.end(), {"mousedown", std::to_string(button)});
  for (size_t i = 1; i < path.size(); ++i) moveTo(args, path[i]);
  args.insert(args.end(), {"mouseup", std::to_string(button)});
  for (const auto& m : modifiers) args.insert(args.end(), {"keyup", m});
  xdotool(args);
}

void Lighter::keyNow(const std::string& chord) { xdotool({"windowfocus", window_, "key", chord}); }

void Lighter::askSize(int width, int height) {
  xdotool({"windowsize", window_, std::to_string(width), std::to_string(height)});
}

void Lighter::askPlace(int x, int y) {
  xdotool({"windowmove", window_, std::to_string(x), std::to_string(y)});
}

void Lighter::unmap() { xdotool({"windowunmap", window_}); }

void Lighter::map() { xdotool({"windowmap", window_}); }

std::optional<int> Lighter::exitThroughMenu() {
  pickMenu({2});
  return waitForExit();
}

Screenshot Lighter::screenshot() const {
  // A capture that failed says nothing about the program: take it again.
  for (int attempt = 1;; ++attempt) {
    int status = -1;
    const std::string xwd = xClient({"xwd", "-silent", "-id", window_}, &status);
    if ((status == 0 && xwd.size() >= 100) || attempt == kAttempts) return decodeXwd(xwd);
    std::this_thread::sleep_for(kRetryWait);
  }
}

std::optional<Screenshot> Lighter::settledScreenshot(Seconds timeout) {
  std::optional<Screenshot> last;
  std::optional<Screenshot> settled;
  support::waitUntil(
      [&] {
        if (!waitForFrames(1, timeout)) return false;
        Screenshot shot = screenshot();
        if (last && last->rgb == shot.rgb) settled = shot;
        last = std::move(shot);
        return settled.has_value();
      },
      timeout);
  return settled;
}

std::optional<Screenshot> Lighter::waitForScreenshot(
    const std::function<bool(const Screenshot&)>& condition, Seconds timeout) {
  std::optional<Screenshot> found;
  support::waitUntil(
      [&] {
        Screenshot shot = screenshot();
        if (!condition(shot)) return false;
        found = std::move(shot);
        return true;
      },
      timeout, std::chrono::milliseconds(50));
  return found;
}

std::vector<GlCall> Lighter::glCalls() const {
  const std::string dump = support::run({"apitrace", "dump", "--color=never", tracePath_});
  static const std::regex call(R"(^(\d+) (\w+)\((.*)\)( = .*)?$)");
  std::vector<GlCall> calls;
  std::smatch m;
  for (const auto& line : lines(dump)) {
    if (std::regex_match(line, m, call)) calls.push_back({std::stol(m[1]), m[2], m[3]});
  }
  return calls;
}

int boundTexture(const GlCall& call) {
  const size_t at = call.args.find("texture = ");
  if (call.name != "glBindTexture" || at == std::string::npos) return -1;
  return std::stoi(call.args.substr(at + 10));
}

std::vector<std::vector<GlCall>> splitFrames(const std::vector<GlCall>& calls) {
  // freeglut draws its menus in contexts of their own; only the calls made in
  // the first context, the window's, belong to the program's frames.
  static const std::regex contextArg(R"(ctx = (0x[0-9a-f]+))");
  std::string windowContext;
  bool inWindow = true;
  std::vector<std::vector<GlCall>> frames(1);
  for (const auto& c : calls) {
    std::smatch m;
    if (c.name == "glXMakeContextCurrent" && std::regex_search(c.args, m, contextArg)) {
      if (windowContext.empty()) windowContext = m[1];
      inWindow = m[1] == windowContext;
      continue;
    }
    if (!inWindow) continue;
    frames.back().push_back(c);
    if (c.name == "glXSwapBuffers") frames.emplace_back();
  }
  return frames;
}

bool hasCall(const std::vector<GlCall>& frame, const std::string& name) {
  return std::any_of(frame.begin(), frame.end(), [&](const GlCall& c) { return c.name == name; });
}

bool isLighterFrame(const std::vector<GlCall>& calls) {
  return !calls.empty() && calls.back().name == "glXSwapBuffers" && hasCall(calls, "glClear");
}

std::vector<std::string> callsOf(const std::vector<GlCall>& frame) {
  std::vector<std::string> out;
  for (const GlCall& c : frame) out.push_back(c.name + (c.name.rfind("glX", 0) == 0 ? "" : c.args));
  return out;
}

}  // namespace e2e
