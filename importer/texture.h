// An image file as the surface texture the program draws every face with.
#pragma once

#include <string>

#include "textures/image.h"

namespace importer {

// The side of a texture made from an image side of `size` pixels: the
// nearest power of two, at least 4 (BMP rows then need no padding) and at
// most 512.
int textureSide(int size);

// Reads a PNG, JPEG, TGA or BMP file (any format stb_image reads) and scales
// it to textureSide of its width and height, rows bottom first as the
// program uploads them. Throws ImportError naming the file and the reason.
Image loadTexture(const std::string& path);

}  // namespace importer
