// The program's pictures and clips read back with the libraries' own
// decoders: libpng for PNG, WebPAnimDecoder (libwebpdemux) for clips.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Red-green-blue pixels, the top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};

// The PNG file at `path`; nothing when it is no PNG.
std::optional<Picture> readPng(const std::string& path);

// An animated WebP as it plays: each frame's picture and the moment it ends,
// in milliseconds from the start.
struct Clip {
  int width = 0;
  int height = 0;
  int loops = -1;  // 0: for ever
  std::vector<Picture> frames;
  std::vector<int> endsMs;
  int lengthMs() const { return endsMs.empty() ? 0 : endsMs.back(); }
};

// The animated WebP file at `path`; nothing when it is none.
std::optional<Clip> readWebpClip(const std::string& path);

}  // namespace e2e
