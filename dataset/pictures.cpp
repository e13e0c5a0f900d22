#include "dataset/pictures.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace dataset {

namespace {

constexpr int kTextureSize = 256;
constexpr int kPatternSize = 128;
constexpr int kGlowSize = 32;

// A small generator of our own with a fixed seed, so every run writes the
// same bytes whatever the C library's rand does.
class XorShift {
 public:
  explicit XorShift(std::uint32_t seed) : state_(seed) {}
  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // Uniform in [-1, 1].
  double signedUnit() { return static_cast<double>(next() % 2001u) / 1000.0 - 1.0; }

 private:
  std::uint32_t state_;
};

std::uint8_t toByte(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0) + 0.5); }

void setGrey(Image& p, int x, int y, double v, double blueLift) {
  const size_t at =
      (static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)) * 3;
  p.data[at] = toByte(v);
  p.data[at + 1] = toByte(v);
  p.data[at + 2] = toByte(v + blueLift);
}

Image blank(int size) {
  Image image;
  image.width = image.height = static_cast<std::uint32_t>(size);
  image.data.assign(static_cast<size_t>(size) * size * 3, 0);
  return image;
}

// Brightness of brushed metal: each row has its own tone (the fine streaks),
// smoothed with its neighbours, and drifts slowly along the row.
std::vector<double> brushed(int size, std::uint32_t seed, double low, double high) {
  XorShift random(seed);
  std::vector<double> tone(static_cast<size_t>(size));
  for (double& t : tone) t = random.signedUnit();
  std::vector<double> out(static_cast<size_t>(size) * size);
  for (int y = 0; y < size; ++y) {
    const double rowTone =
        (tone[static_cast<size_t>(y)] * 2 + tone[static_cast<size_t>((y + 1) % size)] +
         tone[static_cast<size_t>((y + size - 1) % size)]) /
        4.0;
    double drift = 0.0;
    for (int x = 0; x < size; ++x) {
      drift = 0.9 * drift + 0.1 * random.signedUnit();
      const double v = 0.5 + 0.35 * rowTone + 0.5 * drift + 0.04 * random.signedUnit();
      out[static_cast<size_t>(y) * size + x] = low + (high - low) * std::clamp(v, 0.0, 1.0);
    }
  }
  return out;
}

Image fromBrightness(int size, const std::vector<double>& v, double blueLift) {
  Image p = blank(size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) setGrey(p, x, y, v[static_cast<size_t>(y) * size + x], blueLift);
  }
  return p;
}

}  // namespace

Image brushedSilver() {
  return fromBrightness(kTextureSize, brushed(kTextureSize, 0x5eed5eedu, 150.0, 226.0), 4.0);
}

// Brushed metal with a diamond lattice cut into it.
Image lidPattern() {
  std::vector<double> v = brushed(kPatternSize, 0x1d1d1d1du, 140.0, 215.0);
  for (int y = 0; y < kPatternSize; ++y) {
    for (int x = 0; x < kPatternSize; ++x) {
      const bool groove = (x + y) % 16 == 0 || (x - y + kPatternSize) % 16 == 0;
      if (groove) v[static_cast<size_t>(y) * kPatternSize + x] *= 0.6;
    }
  }
  return fromBrightness(kPatternSize, v, 6.0);
}

// Brushed metal with a bevelled frame round a smooth panel.
Image bodyPattern() {
  std::vector<double> v = brushed(kPatternSize, 0xba5eba5eu, 140.0, 215.0);
  for (int y = 0; y < kPatternSize; ++y) {
    for (int x = 0; x < kPatternSize; ++x) {
      const int edge = std::min({x, y, kPatternSize - 1 - x, kPatternSize - 1 - y});
      double& b = v[static_cast<size_t>(y) * kPatternSize + x];
      if (edge < 6) {
        b = 120.0 + 15.0 * edge;
      } else if (edge < 10) {
        b *= 0.7;
      }
    }
  }
  return fromBrightness(kPatternSize, v, 6.0);
}

std::vector<unsigned char> particleGlow() {
  std::vector<unsigned char> out;
  const double centre = (kGlowSize - 1) / 2.0;
  for (int y = 0; y < kGlowSize; ++y) {
    for (int x = 0; x < kGlowSize; ++x) {
      const double d = std::hypot(x - centre, y - centre) / (kGlowSize / 2.0);
      const double v = d >= 1.0 ? 0.0 : 255.0 * std::pow(1.0 - d * d, 2.0);
      for (int c = 0; c < 3; ++c) out.push_back(toByte(v));
    }
  }
  return out;
}

}  // namespace dataset
