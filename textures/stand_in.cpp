// Stand-ins until the texture loaders land.
#include <GL/gl.h>

#include "textures/textures.h"

int LoadGLTextures(TextureState& textures) {
  glGenTextures(1, &textures.texture);
  return 1;
}
void makeCheckerBoard(TextureState& /*textures*/, int /*width*/, int /*height*/) {}
void init_tex(const TextureState& /*textures*/) {}
void LoadTexture(TextureState& /*textures*/, const char* /*path*/, int /*name*/) {}
