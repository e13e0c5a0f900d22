// The BMP file of a texture, loaded into the record the scene keeps.
#include <new>

#include "textures/texture_state.h"

bool loadTextureImage(TextureState& textures, const char* path, std::ostream& out,
                      std::ostream& err) {
  try {
    textures.TextureImage = std::make_unique<Image>();
  } catch (const std::bad_alloc&) {
    out << "Error allocating space for image";
    return false;
  }
  out << "trying to load " << path << std::endl;
  return ImageLoad(path, textures.TextureImage.get(), out, err) == 1;  // it said why
}
