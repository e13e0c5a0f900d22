// The 24-bit BMP decoder: header fields byte by byte, then the pixel block.
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

#include "textures/image.h"

namespace {

constexpr long kFieldsOffset = 18;    // width, height, planes, bits per pixel
constexpr long kFieldsToPixels = 24;  // the rest of the information header
constexpr uint32_t kTopDownBit = 0x80000000u;
constexpr uint64_t kMaxPixelBytes = 0xFFFFFFFFu;
// Step by which a stream of unknown length is read, so that a header claiming
// a huge picture costs no more memory than the stream actually delivers.
constexpr size_t kChunkBytes = 64 * 1024;

// Bytes from a C stream, as getc, fseek and fread give them.
class FileSource {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}
  int getByte() { return std::getc(file_); }
  // Pipes cannot seek; there the skipped bytes are read and dropped.
  void skip(long count) {
    if (std::fseek(file_, count, SEEK_CUR) == 0) return;
    for (long i = 0; i < count && std::getc(file_) != EOF; ++i) {
    }
  }
  size_t read(unsigned char* out, size_t count) { return std::fread(out, 1, count, file_); }

  // Bytes left in a regular file; unknown for pipes, memory streams and such.
  std::optional<uint64_t> remaining() {
    struct stat info {};
    const int fd = fileno(file_);
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    const long position = std::ftell(file_);
    if (position < 0) return std::nullopt;
    return info.st_size > position ? static_cast<uint64_t>(info.st_size - position) : 0;
  }

 private:
  std::FILE* file_;
};

// Bytes from memory, with the same end-of-data behaviour as FileSource.
class MemorySource {
 public:
  MemorySource(const unsigned char* bytes, size_t size) : bytes_(bytes), size_(size) {}
  int getByte() { return position_ < size_ ? bytes_[position_++] : EOF; }
  void skip(long count) { position_ += static_cast<size_t>(count); }
  size_t read(unsigned char* out, size_t count) {
    const size_t n = std::min(count, left());
    if (n > 0) std::memcpy(out, bytes_ + position_, n);
    position_ += n;
    return n;
  }
  std::optional<uint64_t> remaining() { return left(); }

 private:
  size_t left() const { return position_ < size_ ? size_ - position_ : 0; }
  const unsigned char* bytes_;
  size_t size_;
  size_t position_ = 0;
};

// A little-endian field read byte by byte; a byte past the end counts as -1
// (EOF) in the sum, which is then taken modulo 2^bits.
template <typename Source>
int64_t sumBytes(Source& source, int count) {
  int64_t sum = 0;
  int64_t scale = 1;
  for (int i = 0; i < count; ++i, scale *= 256) sum += source.getByte() * scale;
  return sum;
}

template <typename Source>
uint32_t readField32(Source& source) {
  return static_cast<uint32_t>(sumBytes(source, 4));
}

template <typename Source>
unsigned readField16(Source& source) {
  return static_cast<uint16_t>(sumBytes(source, 2));
}

// Fills `data` with exactly `count` bytes; false when the source has fewer.
// When the length is known, a short source is found before allocating.
template <typename Source>
bool readBlock(Source& source, std::vector<unsigned char>& data, size_t count) {
  if (const auto left = source.remaining()) {
    if (*left < count) return false;
    data.resize(count);
    return source.read(data.data(), count) == count;
  }
  data.clear();
  while (data.size() < count) {
    const size_t done = data.size();
    const size_t step = std::min(kChunkBytes, count - done);
    data.resize(done + step);
    if (source.read(data.data() + done, step) != step) return false;
  }
  return true;
}

// BMP rows are stored rounded up to 4 bytes; move each row down over the
// padding of the rows before it, leaving the rows tightly packed.
void dropRowPadding(std::vector<unsigned char>& data, size_t rowBytes, size_t storedRowBytes,
                    uint32_t height) {
  for (size_t y = 1; y < height; ++y) {
    std::memmove(&data[y * rowBytes], &data[y * storedRowBytes], rowBytes);
  }
  data.resize(rowBytes * height);
}

// Blue-green-red becomes red-green-blue, in place.
void swapRedAndBlue(std::vector<unsigned char>& data) {
  for (size_t i = 0; i + 2 < data.size(); i += 3) std::swap(data[i], data[i + 2]);
}

// The pixel block from byte 54 into `image.data`, rows packed, red first.
template <typename Source>
BmpFailure readPixels(Source& source, Image& image) {
  // A height with its top bit set marks rows stored top first; as unsigned it
  // is a size beyond 32 bits anyway, even when the width is 0.
  const uint64_t pixelBytes = uint64_t{image.width} * image.height * 3;
  if ((image.height & kTopDownBit) != 0 || pixelBytes > kMaxPixelBytes) {
    return BmpFailure::kTooLarge;
  }
  if (pixelBytes == 0) return BmpFailure::kShortPixels;  // no bytes count as not delivered
  source.skip(kFieldsToPixels);
  const size_t rowBytes = size_t{image.width} * 3;
  const size_t storedRowBytes = (rowBytes + 3) / 4 * 4;
  // The last row's padding is never used, so it need not be there.
  const size_t blockBytes = storedRowBytes * (image.height - 1) + rowBytes;
  try {
    if (!readBlock(source, image.data, blockBytes)) return BmpFailure::kShortPixels;
  } catch (const std::bad_alloc&) {
    return BmpFailure::kNoMemory;
  }
  if (storedRowBytes != rowBytes) {
    dropRowPadding(image.data, rowBytes, storedRowBytes, image.height);
  }
  swapRedAndBlue(image.data);
  return BmpFailure::kNone;
}

template <typename Source>
BmpResult decode(Source& source, Image& image) {
  BmpResult result;
  image.data.clear();
  source.skip(kFieldsOffset);
  image.width = readField32(source);
  image.height = readField32(source);
  result.planes = readField16(source);
  if (result.planes != 1) {
    result.failure = BmpFailure::kPlanes;
    return result;
  }
  result.bitsPerPixel = readField16(source);
  if (result.bitsPerPixel != 24) {
    result.failure = BmpFailure::kBitsPerPixel;
    return result;
  }
  result.failure = readPixels(source, image);
  return result;
}

}  // namespace

BmpResult decodeBmp(std::FILE* file, Image& image) {
  FileSource source(file);
  return decode(source, image);
}

BmpResult decodeBmp(const unsigned char* bytes, size_t size, Image& image) {
  MemorySource source(bytes, size);
  return decode(source, image);
}
