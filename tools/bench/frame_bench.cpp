// Frame rate of the real drawing path on a private Xvfb (Mesa's software
// renderer): the lighter at rest, with the flame lit, in wireframe and with
// the view turning every frame, each next to a bare clear-and-swap loop in
// the same window. The states take turns within each repetition, so that a
// busy machine slows them alike and the ratios hold; the figures are medians over the repetitions.
// Also the CPU time of a frame spent outside GL (particle arithmetic, mesh walk).
//
// Prints a Markdown section on standard output; the program's own commentary
// goes to /dev/null.
#include <GL/freeglut.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "capture/capture.h"
#include "capture/readback.h"
#include "lighter/callbacks.h"
#include "lighter/keeping.h"
#include "lighter/scene.h"
#include "lighter/startup.h"
#include "render/render.h"
#include "tests/support/command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window.h"
#include "tests/support/xvfb.h"
#include "tools/bench/cpu_work.h"
#include "view/flame_view.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long each figure is measured. --quick (the test suite's run of the
// benchmarks) only shows that every state still runs: its figures mean little.
struct Pace {
  int repetitions;
  double secondsPerMeasurement;
  int minFrames;
  int warmUpFrames;  // the full run's: longer than the longest particle life
  double secondsPerCpuFigure;
};
constexpr Pace kFullPace{7, 0.6, 20, 400, 0.3};
constexpr Pace kQuickPace{2, 0.05, 3, 40, 0.02};
Pace gPace = kFullPace;
constexpr double kCpuShareBudget = 0.05;

enum class State {
  Bare,
  Rest,
  Flame,
  Wireframe,
  LitRest,
  LitFlame,
  Turning,
  LitTurning,
  FlameTurning
};
constexpr int kStateCount = 9;
constexpr State kStates[] = {State::Bare,      State::Rest,       State::Flame,
                             State::Wireframe, State::LitRest,    State::LitFlame,
                             State::Turning,   State::LitTurning, State::FlameTurning};

const char* label(State s) {
  switch (s) {
    case State::Bare:
      return "bare clear and swap";
    case State::Rest:
      return "lighter at rest";
    case State::Flame:
      return "flame lit";
    case State::Wireframe:
      return "wireframe";
    case State::LitRest:
      return "Lit, at rest";
    case State::LitFlame:
      return "Lit, flame lit";
    case State::Turning:
      return "turning every frame";
    case State::LitTurning:
      return "Lit, turning every frame";
    case State::FlameTurning:
      return "flame lit, turning every frame";
  }
  return "";
}

long gFrames = 0;
Scene scene;             // the program's, for the frames measured here
bool gReadBack = false;  // frames read back and kept as they are drawn
void readBackDisplay();

void bareDisplay() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glutSwapBuffers();
  glutPostRedisplay();
  ++gFrames;
}

// While the view turns, every frame has a camera of its own: half a degree
// either side of the start view in turn, as a slow drag would move it, so
// that the picture (and the renderer's work on its pixels) stays the start
// view's and the figure is the cost of turning itself.
bool gTurning = false;
constexpr double kTurnDegrees = 0.5;

void lighterDisplay() {
  if (gTurning) {
    scene.view.orbit.azimuth = gFrames % 2 == 0 ? kTurnDegrees : -kTurnDegrees;
  }
  display();
  ++gFrames;
}

// The scene as the user would have set it: a third click lights the flame
// (act 3, zoom -10), "Wireframe" picks display_mode 0.
// "Lit" is picked from the menu's "Mesh Modes" (display_mode 3).
void enter(State s) {
  const bool flame = s == State::Flame || s == State::LitFlame || s == State::FlameTurning;
  scene.flame.flameOn = flame ? 1 : 0;
  scene.act = flame ? 3 : 0;
  scene.flame.playSpark = 0;
  scene.flame.zoom = -10.0f;
  const bool lit = s == State::LitRest || s == State::LitFlame || s == State::LitTurning;
  scene.view.display_mode = s == State::Wireframe ? kWireframe : lit ? kLit : kSmooth;
  gTurning = s == State::Turning || s == State::LitTurning || s == State::FlameTurning;
  scene.view.orbit = view::Orbit{};
  glutDisplayFunc(s == State::Bare ? bareDisplay : gReadBack ? readBackDisplay : lighterDisplay);
  glutPostRedisplay();
}

// Runs frames through GLUT's own event loop step, one frame per step since
// every frame posts the next.
void runFrames(long count) {
  const long target = gFrames + count;
  while (gFrames < target) glutMainLoopEvent();
}

// --recording: the flame lit (in Smooth and in Lit) without a clip, with
// a clip recorded as Shift+F12 records it (its frames encoded on the
// clip's own thread as they come), and with the frames only read back and
// kept, as a clip encoded after it ends would need them.
enum class Recording { kNone, kClip, kReadBackOnly };
constexpr Recording kRecordings[] = {Recording::kNone, Recording::kClip, Recording::kReadBackOnly};
const char* label(Recording r) {
  switch (r) {
    case Recording::kNone:
      return "not recording";
    case Recording::kClip:
      return "recording, encoded on the clip's thread";
    case Recording::kReadBackOnly:
      return "frames read back and kept (encoding after the clip)";
  }
  return "";
}

// The frames a clip encoded after its end would hold until then.
std::vector<Frame> gKeptFrames;
std::optional<ClipPacer> gPacer;
Clock::time_point gKeepingSince;

void keepReadBackFrame() {
  const int elapsed = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - gKeepingSince).count());
  if (gPacer->keep(elapsed)) gKeptFrames.push_back(readDrawnFrame(scene.view.GW, scene.view.GH));
}

void readBackDisplay() {
  display(scene.view, scene.meshes, scene.flame, scene.textures, scene.lit, keepReadBackFrame);
  ++gFrames;
}

// Seconds per frame over at least gPace.secondsPerMeasurement.
double secondsPerFrame(State s) {
  enter(s);
  runFrames(3);
  long frames = 0;
  const auto start = Clock::now();
  double elapsed = 0.0;
  while (elapsed < gPace.secondsPerMeasurement || frames < gPace.minFrames) {
    runFrames(1);
    ++frames;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  }
  return elapsed / static_cast<double>(frames);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// Seconds per call of `work`, run for about gPace.secondsPerCpuFigure.
template <typename Work>
double secondsPerCall(Work work) {
  long calls = 0;
  const auto start = Clock::now();
  double elapsed = 0.0;
  while (elapsed < gPace.secondsPerCpuFigure) {
    for (int i = 0; i < 50; ++i) work();
    calls += 50;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  }
  return elapsed / static_cast<double>(calls);
}

double secondsPerFrame(State s, Recording r) {
  if (r == Recording::kClip) startOrStopClip();
  gReadBack = r == Recording::kReadBackOnly;
  gPacer.emplace(kClipLongestMs);
  gKeepingSince = Clock::now();
  const double seconds = secondsPerFrame(s);
  if (r == Recording::kClip) startOrStopClip();  // written on the clip's own thread
  gReadBack = false;
  gKeptFrames.clear();
  return seconds;
}

// Frames a second with the flame lit, while not recording and recording,
// the states taking turns in each repetition; prints a Markdown table.
void measureRecording(FILE* out) {
  const State states[] = {State::Flame, State::LitFlame};
  std::vector<double> seconds[2][3];
  for (int rep = 0; rep < gPace.repetitions; ++rep) {
    for (int si = 0; si < 2; ++si) {
      for (int ri = 0; ri < 3; ++ri) {
        seconds[si][ri].push_back(secondsPerFrame(states[si], kRecordings[ri]));
      }
    }
  }
  std::fprintf(out, "### Frames while recording a clip\n\n");
  std::fprintf(out,
               "800 by 600 window, flame lit, %d interleaved repetitions of at least %.1f s, "
               "medians; a clip keeps at most one frame per %d ms.\n\n",
               gPace.repetitions, gPace.secondsPerMeasurement, kClipFrameMs);
  std::fprintf(out, "| mode | recording | frames/s | vs not recording |\n|---|---|---:|---:|\n");
  for (int si = 0; si < 2; ++si) {
    const double base = median(seconds[si][0]);
    for (int ri = 0; ri < 3; ++ri) {
      const double sec = median(seconds[si][ri]);
      std::fprintf(out, "| %s | %s | %.1f | %.2f |\n", si == 0 ? "Smooth" : "Lit",
                   label(kRecordings[ri]), 1.0 / sec, base / sec);
    }
  }
  std::fprintf(out, "\n");
}

void startLighter(const std::string& dataDir) {
  // The program's commentary goes to standard output, which main sends to
  // /dev/null.
  support::startLighterIn(dataDir, scene, std::cout);
}

struct Results {
  std::vector<double> seconds[kStateCount];  // per state, per repetition
  std::vector<double> ratio[kStateCount];    // frame time over the bare loop's, per repetition
  std::vector<double> particles, walkSmooth, walkWire, turnedFlame;
};

// What a turned frame computes besides the start view's: the camera's rig
// and the flame placed on the lighter, every particle's square. Returns a
// sum of the squares so that the compiler keeps the work.
double placeTurnedFlame(const ViewState& view, const FlameState& flame) {
  ViewState turned = view;
  turned.orbit = {kTurnDegrees, 0.0, 1.0};
  const view::FlamePlacement placement = view::flamePlacement(rigOf(turned), turned.flameDepth);
  double sum = 0.0;
  for (const Particle& p : flame.particle) {
    const auto square =
        view::placedSquare(placement, {p.position[0], p.position[1], p.position[2]}, flame.zoom);
    if (square) sum += square->centre.x + square->half;
  }
  return sum;
}

void measureCpu(Results& r) {
  FlameState flame = scene.flame;  // a lit flame in its steady state
  const MeshState& meshes = scene.meshes;
  volatile float sink = 0.0f;
  r.particles.push_back(secondsPerCall([&] { bench::particlePassWithoutGl(flame); }));
  r.walkSmooth.push_back(
      secondsPerCall([&] { sink = sink + bench::traverseMeshes(meshes, true); }));
  r.walkWire.push_back(secondsPerCall([&] { sink = sink + bench::traverseMeshes(meshes, false); }));
  volatile double placed = 0.0;
  r.turnedFlame.push_back(
      secondsPerCall([&] { placed = placed + placeTurnedFlame(scene.view, flame); }));
}

// One state's frame time over another's (Lit's over Smooth's, turning over
// at rest): the median of the ratios of each repetition, whose states ran
// side by side.
double timeRatio(const Results& r, State over, State under) {
  std::vector<double> ratios;
  const auto& l = r.seconds[static_cast<int>(over)];
  const auto& s = r.seconds[static_cast<int>(under)];
  for (size_t i = 0; i < l.size(); ++i) ratios.push_back(l[i] / s[i]);
  return median(ratios);
}

void printLitRatios(FILE* out, const Results& r) {
  std::fprintf(out, "lit_over_smooth_rest %.3f lit_over_smooth_flame %.3f\n",
               timeRatio(r, State::LitRest, State::Rest),
               timeRatio(r, State::LitFlame, State::Flame));
}

// Turning every frame over at rest, Smooth and Lit, from the same repetitions.
void printTurningRatios(FILE* out, const Results& r) {
  std::fprintf(out,
               "turning_over_rest %.3f lit_turning_over_lit_rest %.3f "
               "flame_turning_over_flame %.3f\n",
               timeRatio(r, State::Turning, State::Rest),
               timeRatio(r, State::LitTurning, State::LitRest),
               timeRatio(r, State::FlameTurning, State::Flame));
}

void print(FILE* out, const Results& r) {
  const size_t faces =
      scene.meshes.lighterBaseTriangles.size() + scene.meshes.lighterTopTriangles.size();
  std::fprintf(out, "### Frames\n\n");
  std::fprintf(out,
               "800 by 600 window, Mesa llvmpipe under Xvfb, shipped data set (%zu faces); "
               "%d interleaved repetitions of at least %.1f s per state, medians.\n\n",
               faces, gPace.repetitions, gPace.secondsPerMeasurement);
  std::fprintf(out, "| state | frames/s | ms/frame | time vs bare loop |\n|---|---:|---:|---:|\n");
  for (State s : kStates) {
    const int i = static_cast<int>(s);
    const double sec = median(r.seconds[i]);
    std::fprintf(out, "| %s | %.0f | %.3f | %.1f x |\n", label(s), 1.0 / sec, sec * 1e3,
                 median(r.ratio[i]));
  }
  std::fprintf(out,
               "\nLit over Smooth, frame time, from the same repetitions: **%.2f** at rest, "
               "**%.2f** with the flame lit.\n",
               timeRatio(r, State::LitRest, State::Rest),
               timeRatio(r, State::LitFlame, State::Flame));
  std::fprintf(out,
               "\nTurning every frame over at rest, frame time, from the same repetitions: "
               "**%.3f** in Smooth, **%.3f** in Lit, **%.3f** with the flame lit (Smooth).\n",
               timeRatio(r, State::Turning, State::Rest),
               timeRatio(r, State::LitTurning, State::LitRest),
               timeRatio(r, State::FlameTurning, State::Flame));
  const double flameFrame = median(r.seconds[static_cast<int>(State::Flame)]);
  const double particles = median(r.particles);
  const double walk = median(r.walkSmooth);
  const double share = (particles + walk) / flameFrame;
  std::fprintf(out,
               "\nCPU time per frame outside GL (the same arithmetic timed without GL calls):\n\n");
  std::fprintf(out, "| work | us per frame | share of a flame-lit frame |\n|---|---:|---:|\n");
  std::fprintf(out, "| particle pass (1000 particles) | %.1f | %.2f %% |\n", particles * 1e6,
               100.0 * particles / flameFrame);
  std::fprintf(out, "| mesh walk, smooth | %.1f | %.2f %% |\n", walk * 1e6,
               100.0 * walk / flameFrame);
  std::fprintf(out, "| mesh walk, wireframe | %.1f | %.2f %% of a wireframe frame |\n",
               median(r.walkWire) * 1e6,
               100.0 * median(r.walkWire) / median(r.seconds[static_cast<int>(State::Wireframe)]));
  std::fprintf(out, "| **total, flame lit** | %.1f | **%.2f %%** (budget < %.0f %%: %s) |\n",
               (particles + walk) * 1e6, 100.0 * share, 100.0 * kCpuShareBudget,
               share < kCpuShareBudget ? "met" : "MISSED");
  std::fprintf(out, "| turned view: camera and flame placed (1000 squares) | %.1f | %.2f %% |\n",
               median(r.turnedFlame) * 1e6, 100.0 * median(r.turnedFlame) / flameFrame);
  std::fprintf(out, "\n");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dataDir = argc > 1 ? argv[1] : LIGHTER_DATA_DIR;
  // --lit-ratios: one line of Lit-over-Smooth ratios only; --turning-ratios:
  // one line of turning-over-at-rest ratios only; --recording: the frame rate
  // while a clip is recorded against without; --quick: kQuickPace.
  bool ratiosOnly = false, turningOnly = false, recording = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    ratiosOnly = ratiosOnly || arg == "--lit-ratios";
    turningOnly = turningOnly || arg == "--turning-ratios";
    recording = recording || arg == "--recording";
    if (arg == "--quick") gPace = kQuickPace;
  }
  // Results go to the standard output we were given; the program's own
  // commentary goes to /dev/null.
  FILE* out = fdopen(dup(STDOUT_FILENO), "w");
  const int devnull = open("/dev/null", O_WRONLY);
  dup2(devnull, STDOUT_FILENO);
  close(devnull);

  support::Xvfb server;
  setenv("DISPLAY", server.display().c_str(), 1);
  startLighter(dataDir);

  enter(State::Flame);
  runFrames(gPace.warmUpFrames);
  if (recording) {
    // The clips go into a folder of their own, removed at exit once the
    // last clip is written (the handler that waits for it runs first).
    static std::optional<support::TempDir> pictures("lighter-bench-clips");
    std::atexit([] { pictures.reset(); });
    setenv("HOME", pictures->path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", pictures->path().c_str(), 1);
    prepareKeeping(CommandLine{}, pictures->path(), std::cerr);
    measureRecording(out);
    std::fclose(out);
    std::exit(0);
  }
  Results r;
  for (int rep = 0; rep < gPace.repetitions; ++rep) {
    double bare = 0.0;
    for (State s : kStates) {
      const double sec = secondsPerFrame(s);
      const int i = static_cast<int>(s);
      if (s == State::Bare) bare = sec;
      r.seconds[i].push_back(sec);
      r.ratio[i].push_back(sec / bare);
    }
    measureCpu(r);
  }
  if (ratiosOnly) {
    printLitRatios(out, r);
  } else if (turningOnly) {
    printTurningRatios(out, r);
  } else {
    print(out, r);
  }
  std::fclose(out);
  std::fflush(stdout);
  _exit(0);  // GLUT's window and the server go with the process
}
