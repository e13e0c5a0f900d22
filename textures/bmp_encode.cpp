#include <cstdint>
#include <stdexcept>

#include "textures/image.h"

namespace {

void put16(std::vector<unsigned char>& out, std::uint32_t v) {
  out.push_back(static_cast<unsigned char>(v & 0xff));
  out.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
  put16(out, v & 0xffff);
  put16(out, v >> 16);
}

}  // namespace

std::vector<unsigned char> encodeBmp(const Image& image) {
  if (image.width == 0 || image.height == 0 || image.width % 4 != 0 ||
      image.data.size() != static_cast<size_t>(image.width) * image.height * 3 ||
      image.data.size() > 0xffffffffu - 54) {
    throw std::invalid_argument("picture does not fit the BMP layout");
  }
  const auto pixelBytes = static_cast<std::uint32_t>(image.data.size());
  std::vector<unsigned char> out;
  out.reserve(54 + image.data.size());
  out.push_back('B');
  out.push_back('M');
  put32(out, 54 + pixelBytes);  // file size
  put32(out, 0);                // reserved
  put32(out, 54);               // pixel data offset
  put32(out, 40);               // information header size
  put32(out, image.width);
  put32(out, image.height);
  put16(out, 1);   // planes
  put16(out, 24);  // bits per pixel
  put32(out, 0);   // no compression
  put32(out, pixelBytes);
  put32(out, 2835);  // 72 dots per inch, both ways
  put32(out, 2835);
  put32(out, 0);  // colours used
  put32(out, 0);  // important colours
  for (size_t i = 0; i < image.data.size(); i += 3) {
    out.push_back(image.data[i + 2]);
    out.push_back(image.data[i + 1]);
    out.push_back(image.data[i]);
  }
  return out;
}
