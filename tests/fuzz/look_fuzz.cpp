// Arbitrary bytes as a sidecar, for the vertex count the header claims and
// for another one: a decoded look always has the arrays its mesh needs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "look/look.h"

namespace {

void check(const uint8_t* data, size_t size, size_t vertices) {
  std::string why;
  const std::optional<MeshLook> look = decodeLook(data, size, vertices, why);
  if (!look) {
    if (why.empty()) std::abort();  // a refusal always says why
    return;
  }
  if (!look->uv.empty() && look->uv.size() != vertices * 2) std::abort();
  if (!look->rgb.empty() && look->rgb.size() != vertices * 3) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  size_t claimed = 0;
  if (size >= 16) {
    claimed =
        size_t{data[12]} | size_t{data[13]} << 8 | size_t{data[14]} << 16 | size_t{data[15]} << 24;
  }
  check(data, size, claimed);
  check(data, size, claimed + 1);
  return 0;
}
