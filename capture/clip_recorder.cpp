// The clip's own thread: frames in, one animated file out.
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "capture/capture.h"

struct ClipRecorder::Shared {
  mutable std::mutex lock;
  std::condition_variable changed;
  std::deque<std::pair<Frame, int>> frames;  // waiting to be encoded, with their times
  bool ending = false;
  bool done = false;
  int endMs = 0;
  Writer write = nullptr;
  std::string where;
  ClipOutcome outcome;
  std::thread thread;
};

ClipRecorder::ClipRecorder() : shared_(new Shared) {
  shared_->thread = std::thread([this] { run(); });
}

ClipRecorder::~ClipRecorder() {
  {
    std::lock_guard<std::mutex> hold(shared_->lock);
    if (!shared_->ending) {
      shared_->ending = true;  // left unfinished: nothing is written
      shared_->write = nullptr;
      shared_->frames.clear();
    }
  }
  shared_->changed.notify_all();
  shared_->thread.join();
  delete shared_;
}

bool ClipRecorder::hasRoom() const {
  std::lock_guard<std::mutex> hold(shared_->lock);
  return !shared_->ending && shared_->frames.size() < kClipQueuedFrames;
}

void ClipRecorder::add(Frame frame, int elapsedMs) {
  {
    std::lock_guard<std::mutex> hold(shared_->lock);
    if (shared_->ending || shared_->frames.size() >= kClipQueuedFrames) return;
    shared_->frames.emplace_back(std::move(frame), elapsedMs);
  }
  shared_->changed.notify_all();
}

void ClipRecorder::finish(int endMs, Writer write, std::string where) {
  {
    std::lock_guard<std::mutex> hold(shared_->lock);
    if (shared_->ending) return;
    shared_->ending = true;
    shared_->endMs = endMs;
    shared_->write = write;
    shared_->where = std::move(where);
  }
  shared_->changed.notify_all();
}

bool ClipRecorder::finished() const {
  std::lock_guard<std::mutex> hold(shared_->lock);
  return shared_->done;
}

ClipOutcome ClipRecorder::wait() {
  std::unique_lock<std::mutex> hold(shared_->lock);
  shared_->changed.wait(hold, [&] { return shared_->done; });
  return shared_->outcome;
}

void ClipRecorder::run() {
  Shared& s = *shared_;
  std::unique_ptr<WebpClip> clip;
  std::string error;
  int width = 0, height = 0;
  for (;;) {
    std::unique_lock<std::mutex> hold(s.lock);
    s.changed.wait(hold, [&] { return !s.frames.empty() || s.ending; });
    if (s.frames.empty()) break;  // ending, and every frame is in
    std::pair<Frame, int> next = std::move(s.frames.front());
    s.frames.pop_front();
    hold.unlock();
    if (!error.empty()) continue;
    try {
      Frame frame = fitForClip(std::move(next.first));
      if (!clip) {
        width = frame.width;
        height = frame.height;
        clip = std::make_unique<WebpClip>(width, height);
      }
      clip->add(onCanvas(frame, width, height), next.second);
    } catch (const std::exception& e) {
      error = e.what();
    }
  }
  ClipOutcome outcome;
  std::unique_lock<std::mutex> hold(s.lock);
  const Writer write = s.write;
  const int endMs = s.endMs;
  const std::string where = s.where;
  hold.unlock();
  if (write != nullptr) {
    try {
      if (!error.empty()) throw CaptureError(error);
      if (!clip) throw CaptureError("the clip ended before a frame was drawn");
      const std::vector<std::uint8_t> bytes = clip->finish(endMs);
      outcome.frames = webpFrameCount(bytes);
      outcome.lengthMs = endMs;
      outcome.path = write(bytes, where);
    } catch (const std::exception& e) {
      outcome.error = e.what();
      outcome.path.clear();
    }
  }
  hold.lock();
  s.outcome = outcome;
  s.done = true;
  hold.unlock();
  s.changed.notify_all();
}
