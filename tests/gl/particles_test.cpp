// The flame inside real frames: particles move only while the flame is on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "lighter/callbacks.h"
#include "tests/gl/gl_fixture.h"

namespace {

bool sameParticles(const FlameState& a, const FlameState& b) {
  return std::memcmp(a.particle.data(), b.particle.data(), sizeof(Particle) * kParticleCount) == 0;
}

// Exactly one frame through the display callback (GLUT's own loop may add
// frames of its own when it handles the redisplay each frame requests).
void oneFrame() { display(); }

// The next value rand gives after seeding it with `seed` and drawing `frames`.
int randAfterFrames(unsigned seed, int frames) {
  std::srand(seed);
  for (int i = 0; i < frames; ++i) oneFrame();
  return std::rand();
}

TEST(FlameFrames, WithTheFlameOutNothingMovesAndNoRandomNumberIsDrawn) {
  Scene& s = gltest::startLighter();
  gltest::drawFrame();  // the window is up
  s.flameOn = 0;
  s.playSpark = 0;
  auto before = std::make_unique<FlameState>(static_cast<FlameState&>(s));
  const int expected = randAfterFrames(7, 0);
  EXPECT_EQ(randAfterFrames(7, 5), expected);
  EXPECT_TRUE(sameParticles(s, *before));
  // The colour cycle still counts the frames.
  EXPECT_EQ(s.delay, before->delay + 5);
}

TEST(FlameFrames, WithTheFlameOnEveryFrameMovesTheParticles) {
  Scene& s = gltest::startLighter();
  gltest::drawFrame();  // the window is up
  s.flameOn = 1;
  auto before = std::make_unique<FlameState>(static_cast<FlameState&>(s));
  oneFrame();
  s.flameOn = 0;
  EXPECT_FALSE(sameParticles(s, *before));
  EXPECT_EQ(s.loop, kParticleCount);
  for (int i = 0; i < kParticleCount; ++i) {
    EXPECT_EQ(s.particle[i].velocity[1], before->particle[i].velocity[1] + 1.49f) << i;
  }
}

}  // namespace
