// The flame's arithmetic: birth, motion, ageing, sparks and the colour cycle.
// Nothing here touches GL, so every rule can be checked without a window.
#include "particles/particles.h"

#include <algorithm>
#include <cmath>

const float colors[kColorCount][3] = {
    {1.0f, 0.5f, 0.5f},   // 0 red
    {1.0f, 0.75f, 0.5f},  // 1 yellow
    {1.0f, 1.0f, 0.5f},   // 2
    {0.75f, 1.0f, 0.5f},  // 3 green
    {0.5f, 1.0f, 0.5f},   // 4
    {0.5f, 1.0f, 0.75f},  // 5
    {0.5f, 1.0f, 1.0f},   // 6
    {0.5f, 0.75f, 1.0f},  // 7 blue
    {0.5f, 0.5f, 1.0f},   // 8
    {0.75f, 0.5f, 1.0f},  // 9
    {1.0f, 0.5f, 1.0f},   // 10
    {1.0f, 0.5f, 0.75f},  // 11
};

namespace {

constexpr float kUpwardAcceleration = 1.49f;
// The initial colours spread the table over the array in groups of 83.
constexpr int kParticlesPerStartRow = 83;
// The colour cycle steps once it has counted more than this many frames.
constexpr uint32_t kCycleFrames = 25;

// Each random draw below is one call of `random`, and the order of the calls
// is what makes a run repeatable: keep them one statement each.

float randomFadeRate(RandomSource random) {
  return static_cast<float>(random() % 100) / 1000.0f + 0.003f;
}

// The wide spread of the start state and of a spark burst, in steps of 10.
void randomSparkVelocity(float velocity[3], RandomSource random) {
  velocity[0] = static_cast<float>((random() % 50 - 26) * 10);
  velocity[1] = static_cast<float>((random() % 50 - 25) * 10);
  velocity[2] = static_cast<float>((random() % 50 - 25) * 10);
}

// The narrow, rising spread of a particle born again in the flame: each
// component from its low end, kFlameSpread values wide.
constexpr int kFlameSpread = 60;
constexpr int kFlameLowX = -32;
constexpr int kFlameLowYZ = -30;

void randomFlameVelocity(float velocity[3], const FlameState& flame, RandomSource random) {
  velocity[0] = static_cast<float>(random() % kFlameSpread + kFlameLowX) + flame.xspeed;
  velocity[1] = static_cast<float>(random() % kFlameSpread + kFlameLowYZ) + flame.yspeed;
  velocity[2] = static_cast<float>(random() % kFlameSpread + kFlameLowYZ);
}

// Whole numbers from the low end on, within half a unit: a velocity worked
// back from one that has summed its accelerations in floats.
bool withinFlameSpread(double v, int low) {
  return v >= low - 0.5 && v <= low + kFlameSpread - 0.5;
}

// `col` is kept in range by the menu and the cycle; clamping here keeps a
// stray value from reading outside the table.
const float* colorRow(int row) { return colors[std::clamp(row, 0, kColorCount - 1)]; }

void takeColor(Particle& p, int row) {
  const float* rgb = colorRow(row);
  std::copy(rgb, rgb + 3, p.color);
}

void placeAtOrigin(Particle& p) { std::fill(p.position, p.position + 3, 0.0f); }

void respawn(Particle& p, const FlameState& flame, RandomSource random) {
  p.life = 1.0f;
  p.fadeRate = randomFadeRate(random);
  placeAtOrigin(p);
  randomFlameVelocity(p.velocity, flame, random);
  takeColor(p, flame.col);
}

}  // namespace

void initParticles(FlameState& flame, RandomSource random) {
  for (int i = 0; i < kParticleCount; ++i) {
    Particle& p = flame.particle[i];
    p.alive = true;
    p.life = 1.0f;
    p.fadeRate = randomFadeRate(random);
    takeColor(p, std::min((i + 1) / kParticlesPerStartRow, kColorCount - 1));
    randomSparkVelocity(p.velocity, random);
    p.acceleration[0] = 0.0f;
    p.acceleration[1] = kUpwardAcceleration;
    p.acceleration[2] = 0.0f;
    // The position keeps the origin the array starts with.
  }
}

void advanceParticle(Particle& p, const FlameState& flame, RandomSource random) {
  const float divisor = flame.slowdown * 1000.0f;
  for (int axis = 0; axis < 3; ++axis) {
    p.position[axis] += p.velocity[axis] / divisor;  // with the velocity from before this frame
    p.velocity[axis] += p.acceleration[axis];
  }
  p.life -= p.fadeRate;
  if (p.life < 0.0f) {
    respawn(p, flame, random);
  }
  if (flame.playSpark == 1) {
    placeAtOrigin(p);
    randomSparkVelocity(p.velocity, random);
  }
}

bool flownSinceFlameBirth(const Particle& p, const FlameState& flame) {
  if (!(p.fadeRate > 0.0f)) return false;
  const double frames = std::round((1.0 - p.life) / p.fadeRate);
  const double step = 1.0 / (flame.slowdown * 1000.0);
  const float offset[3] = {flame.xspeed, flame.yspeed, 0.0f};
  const int low[3] = {kFlameLowX, kFlameLowYZ, kFlameLowYZ};
  for (int axis = 0; axis < 3; ++axis) {
    // Born with v0 within the flame's spread; frame k moved it by the
    // velocity it had then, v0 + k a.
    const double a = p.acceleration[axis];
    const double v0 = p.velocity[axis] - a * frames;
    if (!withinFlameSpread(v0 - offset[axis], low[axis])) return false;
    const double expected = step * (v0 * frames + a * frames * (frames - 1.0) / 2.0);
    // Sums of floats drift by far less than this over a life.
    if (std::abs(p.position[axis] - expected) > 0.01 + 1e-3 * std::abs(expected)) return false;
  }
  return true;
}

void particlePass(FlameState& flame, RandomSource random, ParticleDrawer draw) {
  particlePassWith(flame, random, [draw](const Particle& p, float zoom) {
    if (draw != nullptr) {
      draw(p, zoom);
    }
  });
}

void check_keys(FlameState& flame) {
  if (flame.rainbow && flame.delay > kCycleFrames) {
    flame.delay = 0;
    flame.col = (flame.col + 1) % kColorCount;
  }
  ++flame.delay;  // counts whether or not the cycle is on
}
