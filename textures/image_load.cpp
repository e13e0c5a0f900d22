// ImageLoad: opens a BMP file, decodes it and says what went wrong.
#include <cstdio>
#include <memory>

#include "textures/image.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

void report(const BmpResult& result, const char* path, const Image& image) {
  switch (result.failure) {
    case BmpFailure::kNone:
      break;
    case BmpFailure::kPlanes:
      std::printf("Planes from %s is not 1: %u\n", path, result.planes);
      break;
    case BmpFailure::kBitsPerPixel:
      std::printf("Bpp from %s is not 24: %u\n", path, result.bitsPerPixel);
      break;
    case BmpFailure::kTooLarge:
      std::printf("Image size of %s is too large: %u x %u\n", path, image.width, image.height);
      break;
    case BmpFailure::kNoMemory:
      std::printf("Error allocating memory for color-corrected image data");
      break;
    case BmpFailure::kShortPixels:
      std::printf("Error reading image data from %s.\n", path);
      break;
  }
}

}  // namespace

int ImageLoad(const char* path, Image* image) {
  const FileHandle file(std::fopen(path, "rb"));
  if (!file) {
    std::printf("File Not Found : %s\n", path);
    return 0;
  }
  const BmpResult result = decodeBmp(file.get(), *image);
  report(result, path, *image);
  return result.failure == BmpFailure::kNone ? 1 : 0;
}
