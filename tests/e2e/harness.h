// Drives the real lighter binary under a private Xvfb: output, exit status,
// clicks, drags, the wheel, keys, menus, the window's size and place,
// screenshots and recorded GL calls. The one driver of the real program, for
// the end-to-end and packaging tests, the storm and the docs' pictures
// (tools/pictures).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "lighter/menu_layout.h"
#include "tests/support/command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xvfb.h"

namespace e2e {

using support::Seconds;

// A spark's short flame lasts this long; a click before its timer fires is
// put out by it.
inline constexpr std::chrono::milliseconds kShortFlame{70};

// Where the build put the program and the data set it ships.
std::string binaryPath();
std::string dataDir();
// The test build of the program that checks every frame (lighter_checked).
std::string checkedBinaryPath();

// A copy of the shipped data set in a fresh directory, for tests that remove
// or change files; the directory goes with the returned object. `without`
// names files left out.
support::TempDir copyDataSet(const std::vector<std::string>& without = {});

// A point in window pixels, counted from the top-left corner as X counts.
struct Point {
  int x = 0, y = 0;
};

struct Rgb {
  int r = 0, g = 0, b = 0;
  int sum() const { return r + g + b; }
};

// The window's pixels as the X server holds them, row 0 at the top.
struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
  Rgb at(int x, int y) const;
  // Pixel in window coordinates counted upward from the lower-left corner,
  // as the click rectangle and GL count them.
  Rgb atUp(int x, int yUp) const { return at(x, height - 1 - yUp); }
  // Number of pixels in [x0,x1) x [y0,y1) (top-down rows) whose r+g+b > threshold.
  int countBrighter(int x0, int y0, int x1, int y1, int threshold) const;
  void savePng(const std::string& path) const;
};

// One GL call as `apitrace dump` prints it.
struct GlCall {
  long index = 0;
  std::string name;  // e.g. "glTranslatef"
  std::string args;  // text between the parentheses
};

// The texture name a glBindTexture call binds (apitrace prints
// "target = GL_TEXTURE_2D, texture = 4"); -1 for any other call.
int boundTexture(const GlCall& call);

struct Options {
  std::string workdir;  // defaults to the shipped data set
  bool trace = false;   // record the GL calls with apitrace
};

// Which program runs, how, and where its standard error goes.
struct Program {
  Program(std::string binary = "", bool captureErrors = false)
      : binary(std::move(binary)), captureErrors(captureErrors) {}
  std::string binary;                // defaults to binaryPath()
  bool captureErrors = false;        // to a file read by errors(), instead of the test's own
  std::vector<std::string> args;     // the program's command line
  bool lineBuffered = true;          // under `stdbuf -oL`; false: its own buffering
  std::vector<std::string> wrapper;  // a command that runs the rest (a shell, setpriv)
  std::vector<std::string> env;      // NAME=value added to its environment
};

// The program's menus, told apart by their size as freeglut makes them.
enum class MenuKind { kMain, kFlame, kMode, kUnknown };

class Lighter {
 public:
  explicit Lighter(Options options = {}, Program program = {});
  ~Lighter();

  // Standard output so far (line-buffered, so complete lines are there).
  std::string output() const;
  // Standard error so far (needs Program::captureErrors).
  std::string errors() const;
  // The program's process id (stdbuf runs it in its own process).
  pid_t pid() const { return child_->pid(); }
  // Waits until standard output contains `text` `count` times.
  bool waitForOutput(const std::string& text, int count = 1, Seconds timeout = Seconds(20));
  std::optional<int> waitForExit(Seconds timeout = Seconds(20));

  // Waits for the window to appear and its first frame to be drawn; false on
  // timeout. A window is mapped before it is drawn, so only from then on do
  // clicks, menus and screenshots meet the running program.
  bool waitForWindow(Seconds timeout = Seconds(20));
  // Waits until `count` more frames have been drawn into the window (after
  // waitForWindow). A frame's swap returns only once the X server has its
  // picture, so the second frame counted comes from a pass of the program's
  // loop, GLUT's timers included, that began after this call.
  bool waitForFrames(int count, Seconds timeout = Seconds(20));
  // Waits until the GLUT timers of at most `delay` that the program registered
  // while handling an event whose answer (a printed line) has been seen have
  // fired: they are registered before the next frame is drawn, and fire in the
  // first pass of the loop that begins `delay` later.
  bool waitForTimers(std::chrono::milliseconds delay, Seconds timeout = Seconds(20));
  std::string windowId() const { return window_; }
  // Position and size as the X server reports them.
  struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
  };
  Geometry geometry() const;
  std::string title() const;

  // Left click at window coordinates (y counted from the top, as X counts).
  void click(int x, int y);
  // The pointer moved to window point (x, y), and a mouse button pressed or
  // released where it is. Buttons by xdotool's numbers: 1 left, 2 middle,
  // 3 right, 4 and 5 the wheel up (away from the user) and down.
  void pointTo(int x, int y);
  void pressButton(int button);
  void releaseButton(int button);
  // A drag along `path`: `button` pressed at the first point, the pointer
  // moved through the others and the button released at the last, with the
  // modifier keys `modifiers` (xdotool's names: "shift", "ctrl") held
  // throughout. One xdotool run, so the events arrive in order and together.
  void drag(const std::vector<Point>& path, int button = 1,
            const std::vector<std::string>& modifiers = {});
  // Turns the wheel with the pointer at (x, y): `steps` clicks up when
  // positive, down when negative.
  void wheel(int x, int y, int steps);
  // Opens the menu with a right click at (x, y) and picks the entry reached
  // by `path`: indices into the main menu, then into its submenu.
  void pickMenu(const std::vector<int>& path, int x = 100, int y = 100);

  // The same events at screen points, and without waiting for their
  // answer, for drivers that track the window themselves (the storm):
  // `button` clicked `count` times 1 ms apart; the pointer moved.
  void clickOnScreen(int x, int y, int button = 1, int count = 1);
  void pointOnScreen(int x, int y);
  // A drag through screen points, as drag() makes it.
  void dragOnScreen(const std::vector<Point>& path, int button,
                    const std::vector<std::string>& modifiers = {});
  // The window given the input focus and the key pressed, without waiting
  // for the focus (a window off-screen or being mapped may never take it).
  void keyNow(const std::string& chord);
  // The window asked to take a size or a place, to go or to come back.
  void askSize(int width, int height);
  void askPlace(int x, int y);
  void unmap();
  void map();
  // Gives the window the input focus and presses the key `name` (xdotool's
  // names: "space", "q", "Escape", "Left", "Home", "plus"), with the modifier
  // keys `modifiers` ("shift", "ctrl", "alt") held.
  void key(const std::string& name, const std::vector<std::string>& modifiers = {});
  // Resizes the window and waits until a frame of the new size is drawn.
  bool resize(int width, int height);
  // Moves the window's corner to screen point (x, y) and waits until the X
  // server reports it there.
  bool move(int x, int y);
  // Right click at (x, y): opens the main menu there and waits until it is
  // shown; returns its geometry on the screen.
  std::optional<Geometry> openMenu(int x, int y);
  // Picks "Exit" and returns the exit status.
  std::optional<int> exitThroughMenu();

  // The open menus of freeglut, in no particular order.
  struct ShownMenu {
    Geometry at;
    MenuKind kind = MenuKind::kUnknown;
  };
  std::vector<ShownMenu> shownMenus() const;
  // The screen point in the middle of entry `row` of a menu shown at `menu`.
  Point entryPoint(const ShownMenu& menu, int row) const;
  // The sizes freeglut gives the program's menus (measured once a process,
  // in freeglut's font, on this display).
  const MenuMeasures& menuMeasures() const;

  Screenshot screenshot() const;
  // A picture with nothing moving in it: the pictures of two frames in a row
  // that agree; none on timeout.
  std::optional<Screenshot> settledScreenshot(Seconds timeout = Seconds(20));
  // Takes screenshots until `condition` holds for one; returns it.
  std::optional<Screenshot> waitForScreenshot(
      const std::function<bool(const Screenshot&)>& condition, Seconds timeout = Seconds(20));

  // The recorded GL calls (needs Options::trace and a finished process).
  std::vector<GlCall> glCalls() const;

  const std::string& display() const { return xvfb_.display(); }

 private:
  std::vector<std::string> env() const;
  // Runs an X client on the private display, started again if it could not
  // connect.
  std::string xClient(std::vector<std::string> argv, int* status = nullptr) const;
  std::string xdotool(const std::vector<std::string>& args) const;
  std::vector<Geometry> openMenus() const;

  Options options_;
  std::vector<std::string> programEnv_;
  support::Xvfb xvfb_;
  support::TempDir outDir_{"lighter-run"};
  std::string stdoutPath_;
  std::string stderrPath_;
  std::string tracePath_;
  std::unique_ptr<support::Child> child_;
  std::string window_;
  unsigned long damage_ = 0;  // reports each frame drawn into the window
  int damageEvents_ = 0;      // first event number of the DAMAGE extension
};

// The calls of the program's window between two buffer swaps: frame k of a
// trace (frame 0 also holds start-up); menu drawing is left out.
std::vector<std::vector<GlCall>> splitFrames(const std::vector<GlCall>& calls);

// Whether the frame makes a call of that name.
bool hasCall(const std::vector<GlCall>& frame, const std::string& name);

// Whether a chunk of calls between two swaps is a frame of the lighter's
// window: it clears and ends with the swap (freeglut's menus swap buffers of
// their own).
bool isLighterFrame(const std::vector<GlCall>& calls);

// A frame's calls with their arguments, but without those of the context's
// and the swap's calls (addresses that change from run to run).
std::vector<std::string> callsOf(const std::vector<GlCall>& frame);

}  // namespace e2e
