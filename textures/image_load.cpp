// ImageLoad: opens a BMP file, decodes it and says what went wrong.
#include <string>

#include "files/data_file.h"
#include "textures/image.h"

namespace {

void report(const BmpResult& result, const char* path, const Image& image, std::ostream& out) {
  switch (result.failure) {
    case BmpFailure::kNone:
      break;
    case BmpFailure::kPlanes:
      out << "Planes from " << path << " is not 1: " << result.planes << "\n";
      break;
    case BmpFailure::kBitsPerPixel:
      out << "Bpp from " << path << " is not 24: " << result.bitsPerPixel << "\n";
      break;
    case BmpFailure::kTooLarge:
      out << "Image size of " << path << " is too large: " << image.width << " x " << image.height
          << "\n";
      break;
    case BmpFailure::kNoMemory:
      out << "Error allocating memory for color-corrected image data";
      break;
    case BmpFailure::kShortPixels:
      out << "Error reading image data from " << path << ".\n";
      break;
  }
}

}  // namespace

int ImageLoad(const char* path, Image* image, std::ostream& out, std::ostream& err) {
  std::string reason;
  const FileHandle file = openDataStream(path, reason);
  if (!file) {
    out << "File Not Found : " << path << "\n";
    err << path << ": " << reason << "\n";
    return 0;
  }
  const BmpResult result = decodeBmp(file.get(), *image);
  report(result, path, *image, out);
  return result.failure == BmpFailure::kNone ? 1 : 0;
}
