// Images as textures: the surface texture the program draws every face with
// (--texture on a model without texture coordinates), and the model's own
// texture Lit draws through its texture coordinates.
#pragma once

#include <string>

#include "importer/model_look.h"
#include "textures/image.h"

namespace importer {

// The largest side of the surface texture, and of a model's own texture.
inline constexpr int kMaxSurfaceSide = 512;
inline constexpr int kMaxModelTextureSide = 1024;

// The side of a texture made from an image side of `size` pixels: the
// nearest power of two, at least 4 (BMP rows then need no padding) and at
// most `maxSide`.
int textureSide(int size, int maxSide = kMaxSurfaceSide);

// Reads a PNG, JPEG, TGA or BMP file (any format stb_image reads), the top
// row first, named by the file's name. Throws ImportError naming the file and
// the reason.
RgbPicture readImage(const std::string& path);

// `picture` as the surface texture: scaled to textureSide of its width and
// height, rows bottom first as the program uploads them.
Image surfaceTexture(const RgbPicture& picture);

// readImage, then surfaceTexture.
Image loadTexture(const std::string& path);

// `picture` as a model's texture: sides scaled to textureSide(side,
// kMaxModelTextureSide), rows bottom first. A side that grows is enlarged by
// repeating pixels, so that a texture of a few flat colours keeps them apart
// rather than blending them at their borders.
Image modelTexture(const RgbPicture& picture);

}  // namespace importer
