// Pictures as PNG, through libpng's simplified writing interface.
#include <png.h>

#include <cstring>

#include "capture/capture.h"

std::vector<std::uint8_t> encodePng(const Frame& frame) {
  if (frame.width <= 0 || frame.height <= 0 ||
      frame.rgb.size() !=
          static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height) * 3) {
    throw CaptureError("the picture has no pixels to save");
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(frame.width);
  image.height = static_cast<png_uint_32>(frame.height);
  image.format = PNG_FORMAT_RGB;
  // Written once into room for the largest file the picture can make.
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
  std::vector<std::uint8_t> bytes(size);
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, frame.rgb.data(), 0, nullptr)) {
    throw CaptureError(std::string("cannot encode the picture as PNG: ") + image.message);
  }
  bytes.resize(size);
  return bytes;
}
