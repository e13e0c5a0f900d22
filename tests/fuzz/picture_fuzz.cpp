// Arbitrary bytes as an image file a model names or --texture gives: either
// a refusal that says why, or a picture whose pixels fill it, which both
// textures can be made of.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "textures/picture_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const RgbPicture picture = decodePicture(data, size, "fuzz");
    if (!pictureSizeAccepted(picture.width, picture.height)) std::abort();
    if (picture.rgb.size() != size_t(picture.width) * size_t(picture.height) * 3) std::abort();
    // Large pictures cost seconds to scale; their size checks are the same.
    if (size_t(picture.width) * size_t(picture.height) > 4096) return 0;
    const Image model = modelTexture(picture), surface = surfaceTexture(picture);
    if (model.data.size() != size_t(model.width) * model.height * 3) std::abort();
    if (surface.data.size() != size_t(surface.width) * surface.height * 3) std::abort();
  } catch (const PictureError& e) {
    if (e.what()[0] == '\0') std::abort();
  }
  return 0;
}
