// Arbitrary bytes as a cache manifest: a refusal always says why, and what
// is accepted is exactly what the writer writes for the files read from it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "lighter/cache_manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string why;
  const auto files = parseManifest(text, why);
  if (!files) {
    if (why.empty()) std::abort();
    return 0;
  }
  if (files->empty() || files->size() > kMaxManifestFiles) std::abort();
  for (const ManifestFile& file : *files) {
    if (!isManifestName(file.name) || file.size > kMaxManifestFileBytes) std::abort();
  }
  if (manifestText(*files) != text) std::abort();
  return 0;
}
