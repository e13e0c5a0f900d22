// Arbitrary bytes as a BMP file, decoded from memory and from a C stream of
// unknown length; both must agree and never touch memory they do not own.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "textures/image.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The decoder prints nothing, but keep any stray output off the fuzzer's log.
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Image fromMemory;
  const BmpResult memory = decodeBmp(data, size, fromMemory);
  if (memory.failure == BmpFailure::kNone &&
      fromMemory.data.size() != size_t{fromMemory.width} * fromMemory.height * 3) {
    std::abort();  // a decoded picture is always tightly packed and complete
  }
  if (size == 0) return 0;  // fmemopen wants at least one byte
  std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!stream) return 0;
  Image fromStream;
  const BmpResult streamed = decodeBmp(stream, fromStream);
  std::fclose(stream);
  if (streamed.failure != memory.failure || streamed.planes != memory.planes ||
      streamed.bitsPerPixel != memory.bitsPerPixel || fromStream.width != fromMemory.width ||
      fromStream.height != fromMemory.height ||
      (memory.failure == BmpFailure::kNone && fromStream.data != fromMemory.data)) {
    std::abort();
  }
  return 0;
}
