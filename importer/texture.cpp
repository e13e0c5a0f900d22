#include "importer/texture.h"

#include <stb_image.h>
#include <stb_image_resize.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "importer/input_file.h"
#include "importer/records.h"

namespace importer {

namespace {

// Larger images are refused before they are decoded.
constexpr int kMaxSide = 1 << 15;
constexpr long long kMaxPixels = 1LL << 26;
constexpr int kMinTextureSide = 4;

struct StbFree {
  void operator()(unsigned char* pixels) const { stbi_image_free(pixels); }
};

std::string stbReason() {
  const char* reason = stbi_failure_reason();
  return reason != nullptr ? reason : "unknown reason";
}

// Scaled with stb_image_resize's default filters.
std::vector<std::uint8_t> resized(const std::uint8_t* pixels, int width, int height, int toWidth,
                                  int toHeight) {
  std::vector<std::uint8_t> scaled(static_cast<size_t>(toWidth) * toHeight * 3);
  if (stbir_resize_uint8(pixels, width, height, 0, scaled.data(), toWidth, toHeight, 0, 3) == 0) {
    throw ImportError("cannot scale the image");
  }
  return scaled;
}

// Each output pixel the input pixel its centre falls in.
std::vector<std::uint8_t> nearest(const std::vector<std::uint8_t>& pixels, int width, int height,
                                  int toWidth, int toHeight) {
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<size_t>(toWidth) * toHeight * 3);
  for (int y = 0; y < toHeight; ++y) {
    const size_t fromY = static_cast<size_t>(y) * height / toHeight;
    for (int x = 0; x < toWidth; ++x) {
      const size_t fromX = static_cast<size_t>(x) * width / toWidth;
      const std::uint8_t* p = &pixels[(fromY * width + fromX) * 3];
      out.insert(out.end(), p, p + 3);
    }
  }
  return out;
}

// Top row first in, bottom row first out: the program's textures hold the
// bottom row first.
Image bottomFirst(const std::vector<std::uint8_t>& pixels, int width, int height) {
  Image picture;
  picture.width = static_cast<std::uint32_t>(width);
  picture.height = static_cast<std::uint32_t>(height);
  const size_t row = static_cast<size_t>(width) * 3;
  picture.data.resize(pixels.size());
  for (int y = 0; y < height; ++y) {
    std::memcpy(&picture.data[static_cast<size_t>(height - 1 - y) * row],
                &pixels[static_cast<size_t>(y) * row], row);
  }
  return picture;
}

}  // namespace

int textureSide(int size, int maxSide) {
  int side = kMinTextureSide;
  // Nearest on a log scale: the next power up is nearer above sqrt(2) times this one.
  while (side<maxSide&& static_cast<long long>(size) * size> 2LL * side * side) {
    side *= 2;
  }
  return side;
}

RgbPicture readImage(const std::string& path) {
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
  RgbPicture picture{width, height, {}, std::filesystem::path(path).filename().string()};
  picture.rgb.assign(pixels.get(), pixels.get() + static_cast<size_t>(width) * height * 3);
  return picture;
}

Image surfaceTexture(const RgbPicture& image) {
  const int width = textureSide(image.width), height = textureSide(image.height);
  return bottomFirst(resized(image.rgb.data(), image.width, image.height, width, height), width,
                     height);
}

Image loadTexture(const std::string& path) { return surfaceTexture(readImage(path)); }

Image modelTexture(const RgbPicture& picture) {
  const int toWidth = textureSide(picture.width, kMaxModelTextureSide);
  const int toHeight = textureSide(picture.height, kMaxModelTextureSide);
  // First the sides that grow, by repeating pixels; then the ones that
  // shrink, filtered.
  const int wideWidth = std::max(toWidth, picture.width);
  const int wideHeight = std::max(toHeight, picture.height);
  std::vector<std::uint8_t> pixels =
      nearest(picture.rgb, picture.width, picture.height, wideWidth, wideHeight);
  if (wideWidth != toWidth || wideHeight != toHeight) {
    pixels = resized(pixels.data(), wideWidth, wideHeight, toWidth, toHeight);
  }
  return bottomFirst(pixels, toWidth, toHeight);
}

}  // namespace importer
