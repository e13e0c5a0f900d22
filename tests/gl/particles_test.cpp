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

// Start-up adds 80 and 30 to the values the flame is loaded with: the
// particles rise at 80 and burn 10 units in front of the eye.
TEST(FlameFrames, StartUpSetsTheFlamesRiseAndDistance) {
  const Scene& s = gltest::startLighter();
  EXPECT_EQ(s.flame.yspeed, 80.0f);
  EXPECT_EQ(s.flame.zoom, -10.0f);
  EXPECT_EQ(s.flame.xspeed, 0.0f);
}

TEST(FlameFrames, WithTheFlameOutNothingMovesAndNoRandomNumberIsDrawn) {
  Scene& s = gltest::startLighter();
  gltest::drawFrame();  // the window is up
  s.flame.flameOn = 0;
  s.flame.playSpark = 0;
  auto before = std::make_unique<FlameState>(s.flame);
  const int expected = randAfterFrames(7, 0);
  EXPECT_EQ(randAfterFrames(7, 5), expected);
  EXPECT_TRUE(sameParticles(s.flame, *before));
  // The colour cycle still counts the frames.
  EXPECT_EQ(s.flame.delay, before->delay + 5);
}

TEST(FlameFrames, WithTheFlameOnEveryFrameMovesTheParticles) {
  Scene& s = gltest::startLighter();
  gltest::drawFrame();  // the window is up
  s.flame.flameOn = 1;
  auto before = std::make_unique<FlameState>(s.flame);
  oneFrame();
  s.flame.flameOn = 0;
  EXPECT_FALSE(sameParticles(s.flame, *before));
  EXPECT_EQ(s.flame.loop, kParticleCount);
  for (int i = 0; i < kParticleCount; ++i) {
    EXPECT_EQ(s.flame.particle[i].velocity[1], before->particle[i].velocity[1] + 1.49f) << i;
  }
}

}  // namespace
