// lighter_checked: the program with per-frame checks, for benchmarks and the
// endurance test. Start-up and every frame are the real ones; around each
// frame this build drains glGetError and counts heap allocations, and reports
// both on standard error. Standard output is the program's own, unchanged.
//
// Frames that keep a picture or a clip (F12, Shift+F12, --screenshot,
// --record) read the window back and encode it, and the F12 key starts and
// ends clips: their allocations are counted apart from the rest.
//
// LIGHTER_EXIT_AFTER_FRAMES=N ends the run with status 0 once N frames are
// swapped; LIGHTER_LAUNCH_NS (wall-clock nanoseconds since the epoch, as
// `date +%s%N` prints them, taken by whoever started the process) makes the
// first frame report the start-up time.
#include <GL/glut.h>
#include <errno.h>
#include <malloc.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <vector>

#include "lighter/callbacks.h"
#include "lighter/keeping.h"
#include "lighter/program.h"

// glibc's own allocator, under the names it exports for replacements.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

// Linker-made bounds of this executable's code: a call from inside them is
// the program's own (its libraries are linked in statically), anything else
// is a shared library's (libc, libstdc++, GLUT, Mesa, Xlib).
extern "C" char __executable_start;
extern "C" char etext;

namespace {

// What one frame allocated. Only the main thread counts (the flag is
// thread-local), and only while a frame runs; Mesa's worker threads are
// counted apart, by the main thread's frame window alone.
struct HeapCount {
  unsigned long ours = 0;       // called from this executable's code
  unsigned long libraries = 0;  // called from shared libraries on the main thread
};

thread_local bool tCounting = false;
thread_local bool tMainThread = false;
bool gEventLoopRunning = false;        // start-up is over
unsigned long gOursBetweenFrames = 0;  // the program's, in the other callbacks
bool gKeepingKey = false;              // in the callback of F12 or Shift+F12
unsigned long gOursOnKeepingKeys = 0;
HeapCount gFrameHeap;
std::atomic<bool> gFrameRunning{false};
unsigned long gOtherThreads = 0;  // added to atomically

bool fromThisExecutable(const void* caller) {
  const char* at = static_cast<const char*>(caller);
  return at >= &__executable_start && at < &etext;
}

void countAllocation(const void* caller) {
  if (tCounting) {
    if (fromThisExecutable(caller)) {
      ++gFrameHeap.ours;
    } else {
      ++gFrameHeap.libraries;
    }
  } else if (gFrameRunning) {
    __atomic_add_fetch(&gOtherThreads, 1, __ATOMIC_RELAXED);
  } else if (tMainThread && gEventLoopRunning && fromThisExecutable(caller)) {
    // In a mouse, key, menu or timer callback.
    if (gKeepingKey) {
      ++gOursOnKeepingKeys;
    } else {
      ++gOursBetweenFrames;
    }
  }
}

}  // namespace

// Replacements of the C allocator: they count, then hand over to glibc.
extern "C" {
void* malloc(size_t size) noexcept {
  countAllocation(__builtin_return_address(0));
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) noexcept {
  countAllocation(__builtin_return_address(0));
  return __libc_calloc(count, size);
}
void* realloc(void* block, size_t size) noexcept {
  countAllocation(__builtin_return_address(0));
  return __libc_realloc(block, size);
}
void* memalign(size_t alignment, size_t size) noexcept {
  countAllocation(__builtin_return_address(0));
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) noexcept {
  countAllocation(__builtin_return_address(0));
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) noexcept {
  countAllocation(__builtin_return_address(0));
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  void* block = __libc_memalign(alignment, size);
  if (block == nullptr) return ENOMEM;
  *out = block;
  return 0;
}
void free(void* block) noexcept { __libc_free(block); }
}

// The C++ allocator too, so that a `new` is charged to its caller rather
// than to libstdc++.
namespace {
void* countedNew(size_t size, const void* caller) {
  countAllocation(caller);
  if (void* block = __libc_malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(size_t size) { return countedNew(size, __builtin_return_address(0)); }
void* operator new[](size_t size) { return countedNew(size, __builtin_return_address(0)); }
void operator delete(void* block) noexcept { __libc_free(block); }
void operator delete[](void* block) noexcept { __libc_free(block); }
void operator delete(void* block, size_t) noexcept { __libc_free(block); }
void operator delete[](void* block, size_t) noexcept { __libc_free(block); }

namespace {

// Frames with allocations reported one by one; after that only the totals.
constexpr unsigned long kFramesReportedSingly = 20;
// How often the allocator's figures are reported: live heap against what the
// process holds tells a leak (live heap grows) from fragmentation.
constexpr unsigned long kHeapReportFrames = 1000;

struct RunTotals {
  unsigned long frames = 0;
  unsigned long framesWithOurs = 0;
  unsigned long framesWithLibraries = 0;
  unsigned long ours = 0;
  unsigned long libraries = 0;
  unsigned long glErrors = 0;
  unsigned long keepingFrames = 0;  // frames that kept a picture or a clip
  unsigned long oursKeeping = 0;    // the program's allocations in them
};

RunTotals gTotals;
unsigned long gExitAfterFrames = 0;  // 0: run until "Exit"
long long gLaunchNs = -1;
long long gMainNs = 0;     // main entered: the process and its libraries loaded
long long gStartUpNs = 0;  // start-up done: window, GL driver, textures, meshes

long long wallClockNs() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

unsigned long envCount(const char* name) {
  const char* text = std::getenv(name);
  return text ? std::strtoul(text, nullptr, 10) : 0;
}

void drainGlErrors(unsigned long frame) {
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
    ++gTotals.glErrors;
    std::fprintf(stderr, "GL error 0x%04x after frame %lu\n", e, frame);
  }
}

void reportHeap(unsigned long frame, const HeapCount& heap, bool keeping) {
  if (keeping) {
    ++gTotals.keepingFrames;
    gTotals.oursKeeping += heap.ours;
  } else if (heap.ours != 0) {
    ++gTotals.framesWithOurs;
    gTotals.ours += heap.ours;
    if (gTotals.framesWithOurs <= kFramesReportedSingly) {
      std::fprintf(stderr, "heap: %lu allocation(s) by the program in frame %lu\n", heap.ours,
                   frame);
    }
  }
  if (heap.libraries != 0) {
    ++gTotals.framesWithLibraries;
    gTotals.libraries += heap.libraries;
    if (gTotals.framesWithLibraries <= kFramesReportedSingly) {
      std::fprintf(stderr, "heap: %lu allocation(s) by libraries in frame %lu\n", heap.libraries,
                   frame);
    }
  }
}

void reportHeapInUse(unsigned long frame) {
  const struct mallinfo2 info = mallinfo2();
  std::fprintf(stderr, "memory after frame %lu: heap in use %zu kB, held %zu kB\n", frame,
               (info.uordblks + info.hblkhd) / 1024, (info.arena + info.hblkhd) / 1024);
}

void printTotals() {
  std::fprintf(stderr,
               "checked: %lu frames; GL errors %lu; heap allocations in frames: program %lu "
               "(in %lu frames), libraries %lu (in %lu frames), other threads %lu; "
               "keeping pictures and clips: program %lu in %lu frames, %lu on F12; "
               "by the program between frames %lu\n",
               gTotals.frames, gTotals.glErrors, gTotals.ours, gTotals.framesWithOurs,
               gTotals.libraries, gTotals.framesWithLibraries, gOtherThreads, gTotals.oursKeeping,
               gTotals.keepingFrames, gOursOnKeepingKeys, gOursBetweenFrames);
}

double msSinceLaunch(long long ns) { return static_cast<double>(ns - gLaunchNs) / 1e6; }

void reportStartUp() {
  if (gLaunchNs < 0) return;
  const long long now = wallClockNs();
  std::fprintf(stderr,
               "first frame swapped %.2f ms after launch (main entered at %.2f ms, "
               "start-up done at %.2f ms)\n",
               msSinceLaunch(now), msSinceLaunch(gMainNs), msSinceLaunch(gStartUpNs));
}

// The real frame, with the checks around it.
void checkedDisplay() {
  gFrameHeap = HeapCount{};
  const bool keepingBefore = keepingFrames();
  gFrameRunning = true;
  tCounting = true;
  display();
  tCounting = false;
  gFrameRunning = false;
  const unsigned long frame = ++gTotals.frames;
  drainGlErrors(frame);
  reportHeap(frame, gFrameHeap, keepingBefore || keepingFrames());
  if (frame == 1) reportStartUp();
  if (frame % kHeapReportFrames == 0) reportHeapInUse(frame);
  if (gExitAfterFrames != 0 && frame >= gExitAfterFrames) {
    std::exit(0);  // flushes standard output like the "Exit" entry does
  }
}

// F12 and Shift+F12 ask for a picture, and start and end clips.
void checkedSpecial(int key, int x, int y) {
  gKeepingKey = key == GLUT_KEY_F12;
  special(key, x, y);
  gKeepingKey = false;
}

// Once start-up is done: its time, anything it left in GL's error state,
// and the frame and the special keys with their checks in place of the
// plain ones.
void startChecking() {
  gStartUpNs = wallClockNs();
  drainGlErrors(0);
  glutDisplayFunc(checkedDisplay);
  glutSpecialFunc(checkedSpecial);
  gEventLoopRunning = true;
}

}  // namespace

// The split between the program and the libraries rests on return
// addresses; check once that an allocation made here is charged here, so
// that "no allocation by the program" cannot be a broken count.
bool attributionWorks() {
  gFrameHeap = HeapCount{};
  tCounting = true;
  std::vector<int> probe(16);
  asm volatile("" : : "g"(probe.data()) : "memory");  // keeps the allocation
  tCounting = false;
  const bool works = gFrameHeap.ours == 1 && gFrameHeap.libraries == 0;
  gFrameHeap = HeapCount{};
  return works;
}

int main(int argc, char** argv) {
  gMainNs = wallClockNs();
  tMainThread = true;
  gExitAfterFrames = envCount("LIGHTER_EXIT_AFTER_FRAMES");
  if (const char* launch = std::getenv("LIGHTER_LAUNCH_NS")) gLaunchNs = std::atoll(launch);
  std::atexit(printTotals);
  if (!attributionWorks()) {
    std::fprintf(stderr, "checked: allocations cannot be told apart by caller\n");
  }
  return runProgram(argc, argv, startChecking);
}
