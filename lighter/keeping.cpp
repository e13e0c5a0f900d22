#include "lighter/keeping.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
#include <optional>
#include <vector>

#include "capture/capture.h"
#include "capture/readback.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kPictureExtension[] = ".png";
const std::string kPicture = "the picture";
const std::string kClip = "the clip";

// What the command line asked for, with FILE made absolute.
struct Request {
  std::string screenshot;
  std::string record;
  int secondsMs = -1;
};

Request gRequest;
std::string gCallerDir;
std::optional<Clock::time_point> gFirstFrame;
bool gPictureWanted = false;

struct Recording {
  std::unique_ptr<ClipRecorder> recorder;
  ClipPacer pacer;
  std::optional<Clock::time_point> start;  // the clip's first frame
  ClipRecorder::Writer write;
  std::string where;
  bool fromCommandLine;
};
std::optional<Recording> gRecording;
// Clips that have ended and are still being written.
std::vector<std::unique_ptr<ClipRecorder>> gEnding;

int msSince(Clock::time_point then, Clock::time_point now) {
  return static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now - then).count());
}

std::string absolute(const std::string& path) {
  return path.empty() || path[0] == '/' ? path : gCallerDir + "/" + path;
}

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string stemNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return captureStem(local);
}

std::string folderNow() { return chooseCaptureFolder(folderFactsNow(gCallerDir)); }

void savePicture(int width, int height) {
  const std::string folder = folderNow();
  checkFolder(folder, kPicture);
  const std::vector<std::uint8_t> png = encodePng(readDrawnFrame(width, height));
  const std::string path = saveNumbered(folder, stemNow(), kPictureExtension, png, kPicture);
  std::cerr << "lighter: saved the picture as " + path + "\n";
}

// The clip's writers: into the pictures folder under a new name, or as the
// command line's FILE.
std::string writeNumbered(const std::vector<std::uint8_t>& bytes, const std::string& where) {
  const size_t slash = where.rfind('/');
  return saveNumbered(where.substr(0, slash), where.substr(slash + 1), kClipExtensions, bytes,
                      kClip);
}

std::string writeAs(const std::vector<std::uint8_t>& bytes, const std::string& where) {
  saveAs(where, bytes, kClip);
  return where;
}

std::string secondsText(int ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f s", ms / 1000.0);
  return text;
}

void startRecording(int lengthMs, ClipRecorder::Writer write, std::string where,
                    bool fromCommandLine) {
  gRecording = Recording{std::make_unique<ClipRecorder>(),
                         ClipPacer(lengthMs),
                         std::nullopt,
                         write,
                         std::move(where),
                         fromCommandLine};
  std::cerr << (fromCommandLine ? "lighter: recording a clip of " + secondsText(lengthMs) + "\n"
                                : "lighter: recording a clip (Shift+F12 ends it, " +
                                      secondsText(kClipLongestMs) + " at most)\n");
}

// One line for a clip that has been written, or could not be.
bool report(const ClipOutcome& outcome) {
  if (outcome.path.empty()) {
    std::cerr << "lighter: " + outcome.error + "\n";
    return false;
  }
  std::cerr << "lighter: saved the clip as " + outcome.path + " (" +
                   std::to_string(outcome.frames) + " frames, " + secondsText(outcome.lengthMs) +
                   ")\n";
  return true;
}

// Ends the clip being recorded at `endMs` after its first frame; its file is
// written on its own thread. Returns its recorder.
std::unique_ptr<ClipRecorder> endRecording(int endMs) {
  Recording recording = std::move(*gRecording);
  gRecording.reset();
  recording.recorder->finish(std::max(endMs, 1), recording.write, recording.where);
  return std::move(recording.recorder);
}

// The clip ends; the command line's is waited for, and then the program ends.
void stopRecording(int endMs) {
  const bool fromCommandLine = gRecording->fromCommandLine;
  std::unique_ptr<ClipRecorder> recorder = endRecording(endMs);
  if (fromCommandLine) std::exit(report(recorder->wait()) ? 0 : 1);
  gEnding.push_back(std::move(recorder));
}

void reportWrittenClips() {
  for (auto it = gEnding.begin(); it != gEnding.end();) {
    if ((*it)->finished()) {
      report((*it)->wait());
      it = gEnding.erase(it);
    } else {
      ++it;
    }
  }
}

void recordFrame(int width, int height, Clock::time_point now) {
  Recording& r = *gRecording;
  if (!r.start) r.start = now;
  const int elapsed = msSince(*r.start, now);
  if (r.pacer.over(elapsed)) {
    stopRecording(r.pacer.lengthMs());
  } else if (r.recorder->hasRoom() && r.pacer.keep(elapsed)) {
    r.recorder->add(readDrawnFrame(width, height), elapsed);
  }
}

// At exit ("Exit", Q): a clip being recorded ends there and is written, and
// so is every clip still being written.
void finishClipsAtExit() {
  if (gRecording && gRecording->start) {
    gEnding.push_back(endRecording(msSince(*gRecording->start, Clock::now())));
  }
  for (auto& ending : gEnding) report(ending->wait());
  gEnding.clear();
}

// The command line's picture, once it is due; then the program ends.
void takeRequestedPicture(int width, int height, Clock::time_point now) {
  if (gRequest.secondsMs > 0 && msSince(*gFirstFrame, now) < gRequest.secondsMs) return;
  try {
    saveAs(gRequest.screenshot, encodePng(readDrawnFrame(width, height)), kPicture);
  } catch (const CaptureError& e) {
    std::cerr << "lighter: " << e.what() << "\n";
    std::exit(1);
  }
  std::cerr << "lighter: saved the picture as " + gRequest.screenshot + "\n";
  std::exit(0);
}

}  // namespace

bool prepareKeeping(const CommandLine& line, const std::string& callerDir, std::ostream& err) {
  gCallerDir = callerDir;
  gRequest = {absolute(line.screenshotFile), absolute(line.recordFile), line.secondsMs};
  try {
    if (!gRequest.screenshot.empty()) {
      if (!endsWith(gRequest.screenshot, kPictureExtension)) {
        throw CaptureError("cannot save " + line.screenshotFile + ": a picture is written as " +
                           kPictureExtension);
      }
      checkFolder(folderOf(gRequest.screenshot), kPicture);
    }
    if (!gRequest.record.empty()) {
      if (!clipFormatOf(gRequest.record)) {
        throw CaptureError("cannot record " + line.recordFile + ": a clip is written as " +
                           kClipExtensions);
      }
      checkFolder(folderOf(gRequest.record), kClip);
    }
  } catch (const CaptureError& e) {
    err << "lighter: " << e.what() << "\n";
    return false;
  }
  std::atexit(finishClipsAtExit);
  return true;
}

void keepDrawnFrame(int width, int height) {
  const Clock::time_point now = Clock::now();
  if (!gFirstFrame) {
    gFirstFrame = now;
    if (!gRequest.record.empty()) {
      startRecording(gRequest.secondsMs > 0 ? gRequest.secondsMs : kClipLongestMs, writeAs,
                     gRequest.record, true);
    }
  }
  if (!gRequest.screenshot.empty()) takeRequestedPicture(width, height, now);
  if (gPictureWanted) {
    gPictureWanted = false;
    try {
      savePicture(width, height);
    } catch (const CaptureError& e) {
      std::cerr << "lighter: " << e.what() << "\n";
    }
  }
  if (gRecording) recordFrame(width, height, now);
  reportWrittenClips();
}

void askForPicture() { gPictureWanted = true; }

bool keepingFrames() {
  return gPictureWanted || gRecording || !gEnding.empty() || !gRequest.screenshot.empty();
}

void startOrStopClip() {
  if (gRecording) {
    const int elapsed = gRecording->start ? msSince(*gRecording->start, Clock::now()) : 0;
    stopRecording(elapsed);
    return;
  }
  try {
    const std::string folder = folderNow();
    checkFolder(folder, kClip);
    startRecording(kClipLongestMs, writeNumbered, folder + "/" + stemNow(), false);
  } catch (const CaptureError& e) {
    std::cerr << "lighter: " << e.what() << "\n";
  }
}
