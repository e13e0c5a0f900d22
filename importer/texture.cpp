#include "importer/texture.h"

#include <stb_image.h>
#include <stb_image_resize.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "importer/input_file.h"
#include "importer/records.h"

namespace importer {

namespace {

// Larger images are refused before they are decoded.
constexpr int kMaxSide = 1 << 15;
constexpr long long kMaxPixels = 1LL << 26;
constexpr int kMinTextureSide = 4;
constexpr int kMaxTextureSide = 512;

struct StbFree {
  void operator()(unsigned char* pixels) const { stbi_image_free(pixels); }
};

std::string stbReason() {
  const char* reason = stbi_failure_reason();
  return reason != nullptr ? reason : "unknown reason";
}

}  // namespace

int textureSide(int size) {
  int side = kMinTextureSide;
  // Nearest on a log scale: the next power up is nearer above sqrt(2) times this one.
  while (side<kMaxTextureSide&& static_cast<long long>(size) * size> 2LL * side * side) {
    side *= 2;
  }
  return side;
}

Image loadTexture(const std::string& path) {
  const FileHandle file = openInput(path, "an image");

  int width = 0, height = 0, channels = 0;
  if (stbi_info_from_file(file.get(), &width, &height, &channels) == 0) {
    throw ImportError(path + ": not an image stb_image can read (" + stbReason() + ")");
  }
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      static_cast<long long>(width) * height > kMaxPixels) {
    throw ImportError(path + ": the image is " + std::to_string(width) + " by " +
                      std::to_string(height) + " pixels; at most " + std::to_string(kMaxSide) +
                      " on a side and " + std::to_string(kMaxPixels) + " in all are accepted");
  }
  std::unique_ptr<unsigned char, StbFree> pixels(
      stbi_load_from_file(file.get(), &width, &height, &channels, 3));
  if (!pixels) throw ImportError(path + ": cannot decode the image (" + stbReason() + ")");

  const int side[2] = {textureSide(width), textureSide(height)};
  Image picture;
  picture.width = static_cast<std::uint32_t>(side[0]);
  picture.height = static_cast<std::uint32_t>(side[1]);
  std::vector<std::uint8_t> scaled(static_cast<size_t>(side[0]) * side[1] * 3);
  if (stbir_resize_uint8(pixels.get(), width, height, 0, scaled.data(), side[0], side[1], 0, 3) ==
      0) {
    throw ImportError(path + ": cannot scale the image");
  }
  // stb_image gives the top row first; the program's textures hold the
  // bottom row first.
  const size_t row = static_cast<size_t>(picture.width) * 3;
  picture.data.resize(scaled.size());
  for (int y = 0; y < side[1]; ++y) {
    std::memcpy(&picture.data[static_cast<size_t>(side[1] - 1 - y) * row],
                &scaled[static_cast<size_t>(y) * row], row);
  }
  return picture;
}

}  // namespace importer
