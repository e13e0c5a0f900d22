// The five textures made at start-up: particle image, checkerboard, three BMPs.
#pragma once

#include <memory>
#include <vector>

#include "textures/image.h"

// Texture handles and the image buffers kept for the whole run.
struct TextureState {
  unsigned int texture = 0;             // name generated for the particle image
  std::vector<unsigned char> pixel;     // the 64 by 64 checkerboard
  std::unique_ptr<Image> TextureImage;  // record of the BMP file loaded last
};

// Loads "Data/Particle.raw" into a newly generated texture name kept in
// `texture`. Returns 1; a missing or short file gives black texels.
int LoadGLTextures(TextureState& textures);

// Builds the width by height checkerboard into `pixel`.
void makeCheckerBoard(TextureState& textures, int width, int height);

// Uploads the checkerboard in `pixel` into texture name 0.
void init_tex(const TextureState& textures);

// Loads the BMP file at `path` into the fixed texture name `name`. Returns only
// on success; on any failure the process ends with status 1.
void LoadTexture(TextureState& textures, const char* path, int name);
