#include "textures/picture_import.h"

#include <stb_image.h>
#include <stb_image_resize.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>

#include "files/data_file.h"

namespace {

constexpr int kMinTextureSide = 4;
// An image file is read whole; none is this large.
constexpr size_t kMaxFileBytes = size_t{1} << 28;

struct StbFree {
  void operator()(unsigned char* pixels) const { stbi_image_free(pixels); }
};

std::string stbReason() {
  const char* reason = stbi_failure_reason();
  return reason != nullptr ? reason : "unknown reason";
}

std::vector<unsigned char> readWhole(const std::string& path) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    throw PictureError(path + ": is a directory, not an image");
  }
  const DataFile file = openDataFile(path.c_str());
  if (file.fd < 0) {
    throw PictureError(path + (file.refused ? ": is " : ": cannot open it: ") + file.reason);
  }
  std::vector<unsigned char> bytes;
  unsigned char chunk[1 << 16];
  ssize_t got = 0;
  while ((got = ::read(file.fd, chunk, sizeof chunk)) > 0 && bytes.size() <= kMaxFileBytes) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  const int error = errno;
  ::close(file.fd);
  if (got < 0) throw PictureError(path + ": cannot read it: " + std::strerror(error));
  if (bytes.size() > kMaxFileBytes) throw PictureError(path + ": too large for an image");
  return bytes;
}

// Scaled with stb_image_resize's default filters.
std::vector<std::uint8_t> resized(const std::uint8_t* pixels, int width, int height, int toWidth,
                                  int toHeight) {
  std::vector<std::uint8_t> scaled(static_cast<size_t>(toWidth) * toHeight * 3);
  if (stbir_resize_uint8(pixels, width, height, 0, scaled.data(), toWidth, toHeight, 0, 3) == 0) {
    throw PictureError("cannot scale the image");
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

bool pictureSizeAccepted(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         static_cast<long long>(width) * height <= kMaxPicturePixels;
}

RgbPicture decodePicture(const unsigned char* bytes, size_t size, const std::string& name) {
  int width = 0, height = 0, channels = 0;
  if (size > static_cast<size_t>(INT32_MAX) ||
      stbi_info_from_memory(bytes, static_cast<int>(size), &width, &height, &channels) == 0) {
    throw PictureError(name + ": not an image stb_image can read (" + stbReason() + ")");
  }
  if (!pictureSizeAccepted(width, height)) {
    throw PictureError(name + ": the image is " + std::to_string(width) + " by " +
                       std::to_string(height) + " pixels; at most " +
                       std::to_string(kMaxPictureSide) + " on a side and " +
                       std::to_string(kMaxPicturePixels) + " in all are accepted");
  }
  std::unique_ptr<unsigned char, StbFree> pixels(
      stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 3));
  if (!pixels) throw PictureError(name + ": cannot decode the image (" + stbReason() + ")");
  RgbPicture picture{width, height, {}, name};
  picture.rgb.assign(pixels.get(), pixels.get() + size_t(width) * size_t(height) * 3);
  return picture;
}

RgbPicture readPicture(const std::string& path) {
  const std::vector<unsigned char> bytes = readWhole(path);
  RgbPicture picture = decodePicture(bytes.data(), bytes.size(), path);
  picture.name = std::filesystem::path(path).filename().string();
  return picture;
}

int textureSide(int size, int maxSide) {
  int side = kMinTextureSide;
  // Nearest on a log scale: the next power up is nearer above sqrt(2) times this one.
  while (side<maxSide&& static_cast<long long>(size) * size> 2LL * side * side) side *= 2;
  return side;
}

Image surfaceTexture(const RgbPicture& image) {
  const int width = textureSide(image.width), height = textureSide(image.height);
  return bottomFirst(resized(image.rgb.data(), image.width, image.height, width, height), width,
                     height);
}

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
