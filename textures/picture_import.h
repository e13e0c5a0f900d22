// Images in whatever format stb_image reads (PNG, JPEG, TGA, BMP, ...) made
// into the textures a data set holds: the surface texture of every face, and
// a model's own texture drawn through its texture coordinates. No GL here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "textures/image.h"

// Decoded red-green-blue pixels, the top row first, and the name reports
// give them ("duckCM.tga", or "embedded texture 0").
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  std::string name;
};

// An image that cannot be used; the message names it and says why.
struct PictureError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Larger images are refused before they are decoded.
inline constexpr int kMaxPictureSide = 1 << 15;
inline constexpr long long kMaxPicturePixels = 1LL << 26;
bool pictureSizeAccepted(int width, int height);

// The largest side of the surface texture, and of a model's own texture.
inline constexpr int kMaxSurfaceSide = 512;
inline constexpr int kMaxModelTextureSide = 1024;

// An image file's bytes decoded, named `name`.
RgbPicture decodePicture(const unsigned char* bytes, size_t size, const std::string& name);

// The image file at `path` (a regular file; nothing waits on a FIFO), named
// by its file name; the messages name the path.
RgbPicture readPicture(const std::string& path);

// The side of a texture made from an image side of `size` pixels: the
// nearest power of two, at least 4 (BMP rows then need no padding) and at
// most `maxSide`.
int textureSide(int size, int maxSide = kMaxSurfaceSide);

// `picture` as the surface texture: scaled to textureSide of its width and
// height, rows bottom first as the program uploads them.
Image surfaceTexture(const RgbPicture& picture);

// `picture` as a model's texture: sides scaled to textureSide(side,
// kMaxModelTextureSide), rows bottom first. A side that grows is enlarged by
// repeating pixels, so that a texture of a few flat colours keeps them apart
// rather than blending them at their borders.
Image modelTexture(const RgbPicture& picture);
