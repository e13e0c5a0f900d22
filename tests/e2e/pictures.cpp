#include "tests/e2e/pictures.h"

#include <png.h>
#include <webp/demux.h>

#include <cstring>

#include "tests/support/command.h"

namespace e2e {

std::optional<Picture> readPng(const std::string& path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  Picture picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return picture;
}

std::optional<Clip> readWebpClip(const std::string& path) {
  const std::string bytes = support::readFile(path);
  const WebPData data{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  WebPAnimDecoderOptions options;
  if (!WebPAnimDecoderOptionsInit(&options)) return std::nullopt;
  options.color_mode = MODE_RGBA;
  WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
  if (decoder == nullptr) return std::nullopt;
  WebPAnimInfo info;
  Clip clip;
  if (WebPAnimDecoderGetInfo(decoder, &info)) {
    clip.width = static_cast<int>(info.canvas_width);
    clip.height = static_cast<int>(info.canvas_height);
    clip.loops = static_cast<int>(info.loop_count);
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
      uint8_t* rgba = nullptr;
      int end = 0;
      if (!WebPAnimDecoderGetNext(decoder, &rgba, &end)) break;
      Picture frame{clip.width, clip.height, {}};
      const size_t pixels = static_cast<size_t>(clip.width) * static_cast<size_t>(clip.height);
      frame.rgb.resize(pixels * 3);
      for (size_t i = 0; i < pixels; ++i) std::memcpy(&frame.rgb[i * 3], &rgba[i * 4], 3);
      clip.frames.push_back(std::move(frame));
      clip.endsMs.push_back(end);
    }
  }
  WebPAnimDecoderDelete(decoder);
  if (clip.frames.empty() || clip.frames.size() != info.frame_count) return std::nullopt;
  return clip;
}

}  // namespace e2e
