// The textures' share of the scene: names and the image records kept for the
// whole run. Plain data; the uploads are in textures.h.
#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "textures/image.h"

struct TextureState {
  unsigned int texture = 0;  // name generated for the particle image
  // The particle image's texels as read, kept for the name of its own that
  // the "Lit" mode uploads them under (texture name 1 is redefined by
  // topTexture.bmp).
  std::vector<unsigned char> particleImage;
  Image pixel;                          // the checkerboard
  std::unique_ptr<Image> TextureImage;  // record of the BMP file loaded last
};

// Makes a fresh TextureImage record and loads the BMP file at `path` into it,
// writing "trying to load" and anything that went wrong to `out`, and the
// system's reason for a file that cannot be opened to `err`. False when the
// file cannot be used; the caller ends the program then.
bool loadTextureImage(TextureState& textures, const char* path, std::ostream& out,
                      std::ostream& err);
