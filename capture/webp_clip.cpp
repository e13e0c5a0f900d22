// Clips as animated WebP, through libwebp's animation encoder.
#include <webp/demux.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <cctype>
#include <cstring>

#include "capture/capture.h"

const char kClipExtensions[] = ".webp";

namespace {

// Lossy frames at a quality that keeps the flame's glow, with a method
// quick enough to follow the frames (tools/bench: frame_bench --recording).
constexpr float kQuality = 75.0f;
constexpr int kMethod = 1;

std::string extensionOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string extension = path.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

}  // namespace

std::optional<ClipFormat> clipFormatOf(const std::string& path) {
  if (extensionOf(path) == ".webp") return ClipFormat::kWebp;
  return std::nullopt;
}

struct WebpClip::Encoder {
  WebPAnimEncoder* anim = nullptr;
  WebPConfig config;
};

WebpClip::WebpClip(int width, int height) : encoder_(new Encoder), width_(width), height_(height) {
  WebPAnimEncoderOptions options;
  if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&encoder_->config)) {
    delete encoder_;
    throw CaptureError("cannot start a clip: this libwebp does not match its headers");
  }
  options.anim_params.loop_count = 0;  // round and round, as a picture in a page
  encoder_->config.quality = kQuality;
  encoder_->config.method = kMethod;
  encoder_->anim = WebPAnimEncoderNew(width, height, &options);
  if (encoder_->anim == nullptr) {
    delete encoder_;
    throw CaptureError("cannot start a clip of " + std::to_string(width) + " by " +
                       std::to_string(height) + " pixels");
  }
}

WebpClip::~WebpClip() {
  WebPAnimEncoderDelete(encoder_->anim);
  delete encoder_;
}

namespace {

struct PictureHolder {
  WebPPicture picture;
  PictureHolder() { WebPPictureInit(&picture); }
  ~PictureHolder() { WebPPictureFree(&picture); }
};

}  // namespace

void WebpClip::add(const Frame& frame, int timestampMs) {
  if (frame.width != width_ || frame.height != height_) {
    throw CaptureError("a clip's frames must all have its size");
  }
  PictureHolder holder;
  WebPPicture& picture = holder.picture;
  picture.use_argb = 1;
  picture.width = frame.width;
  picture.height = frame.height;
  if (!WebPPictureImportRGB(&picture, frame.rgb.data(), frame.width * 3) ||
      !WebPAnimEncoderAdd(encoder_->anim, &picture, timestampMs, &encoder_->config)) {
    throw CaptureError(std::string("cannot encode a frame of the clip: ") +
                       WebPAnimEncoderGetError(encoder_->anim));
  }
  ++frames_;
}

std::vector<std::uint8_t> WebpClip::finish(int endMs) {
  WebPData data;
  WebPDataInit(&data);
  if (!WebPAnimEncoderAdd(encoder_->anim, nullptr, endMs, nullptr) ||
      !WebPAnimEncoderAssemble(encoder_->anim, &data)) {
    throw CaptureError(std::string("cannot assemble the clip: ") +
                       WebPAnimEncoderGetError(encoder_->anim));
  }
  std::vector<std::uint8_t> bytes(data.bytes, data.bytes + data.size);
  WebPDataClear(&data);
  return bytes;
}

int webpFrameCount(const std::vector<std::uint8_t>& bytes) {
  const WebPData data{bytes.data(), bytes.size()};
  WebPDemuxer* demux = WebPDemux(&data);
  if (demux == nullptr) return 0;
  const int frames = static_cast<int>(WebPDemuxGetI(demux, WEBP_FF_FRAME_COUNT));
  WebPDemuxDelete(demux);
  return frames;
}
