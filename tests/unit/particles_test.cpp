// The flame's arithmetic without a window: start state, passes, sparks and
// the colour cycle, with the random draws scripted where their order matters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "particles/particles.h"

namespace {

// A scripted stand-in for rand: hands out `values` in a cycle and counts.
struct Script {
  std::vector<int> values{0};
  size_t calls = 0;
};
Script script;

int scripted() {
  int v = script.values[script.calls % script.values.size()];
  ++script.calls;
  return v;
}

void startScript(std::vector<int> values) {
  script.values = std::move(values);
  script.calls = 0;
}

// The scene as start-up leaves it for the flame.
std::unique_ptr<FlameState> startedFlame() {
  auto flame = std::make_unique<FlameState>();
  flame->yspeed = 80.0f;
  flame->zoom = -10.0f;
  return flame;
}

struct Rgb {
  float r, g, b;
};

void expectColor(const Particle& p, Rgb want, int index) {
  EXPECT_EQ(p.color[0], want.r) << "particle " << index;
  EXPECT_EQ(p.color[1], want.g) << "particle " << index;
  EXPECT_EQ(p.color[2], want.b) << "particle " << index;
}

void expectVector(const float v[3], float x, float y, float z) {
  EXPECT_FLOAT_EQ(v[0], x);
  EXPECT_FLOAT_EQ(v[1], y);
  EXPECT_FLOAT_EQ(v[2], z);
}

bool isMultipleOfTen(float v) { return std::fmod(v, 10.0f) == 0.0f; }

// Records what a pass hands to the drawer.
struct Drawn {
  Particle particle;
  float zoom;
};
std::vector<Drawn> drawn;
void recordDraw(const Particle& p, float zoom) { drawn.push_back({p, zoom}); }

TEST(InitParticles, SpreadsTheStartColoursByIndexUpToTheLastRow) {
  auto flame = startedFlame();
  initParticles(*flame, std::rand);
  const Rgb red{1.0f, 0.5f, 0.5f};
  expectColor(flame->particle[0], red, 0);
  expectColor(flame->particle[81], red, 81);
  expectColor(flame->particle[82], {1.0f, 0.75f, 0.5f}, 82);
  expectColor(flame->particle[911], {1.0f, 0.5f, 1.0f}, 911);
  // The last group is larger than the others rather than running off the table.
  for (int i = 912; i < kParticleCount; ++i)
    expectColor(flame->particle[i], {1.0f, 0.5f, 0.75f}, i);
}

TEST(InitParticles, LeavesEveryParticleAliveAtTheOriginWithTheWideSpread) {
  auto flame = startedFlame();
  initParticles(*flame, std::rand);
  for (int i = 0; i < kParticleCount; ++i) {
    const Particle& p = flame->particle[i];
    SCOPED_TRACE(i);
    EXPECT_TRUE(p.alive);
    EXPECT_EQ(p.life, 1.0f);
    expectVector(p.position, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(p.acceleration[0], 0.0f);
    EXPECT_EQ(p.acceleration[1], 1.49f);
    EXPECT_EQ(p.acceleration[2], 0.0f);
    EXPECT_GE(p.fadeRate, 0.003f - 1e-6f);
    EXPECT_LE(p.fadeRate, 0.102f + 1e-6f);
    // Thousandths: 0.003, 0.004, ... 0.102.
    const float thousandths = p.fadeRate * 1000.0f;
    EXPECT_NEAR(thousandths, std::round(thousandths), 1e-3f);
    EXPECT_TRUE(isMultipleOfTen(p.velocity[0]) && isMultipleOfTen(p.velocity[1]) &&
                isMultipleOfTen(p.velocity[2]));
    EXPECT_GE(p.velocity[0], -260.0f);
    EXPECT_LE(p.velocity[0], 230.0f);
    for (int axis = 1; axis < 3; ++axis) {
      EXPECT_GE(p.velocity[axis], -250.0f);
      EXPECT_LE(p.velocity[axis], 240.0f);
    }
  }
}

TEST(InitParticles, DrawsFadeRateThenVelocityXYZForEachParticleInTurn) {
  auto flame = startedFlame();
  startScript({57, 3, 49, 0, 199, 150, 51, 1024});
  initParticles(*flame, scripted);
  EXPECT_EQ(script.calls, 4u * kParticleCount);
  const Particle& first = flame->particle[0];
  EXPECT_FLOAT_EQ(first.fadeRate, 0.060f);
  expectVector(first.velocity, -230.0f, 240.0f, -250.0f);
  const Particle& second = flame->particle[1];
  EXPECT_FLOAT_EQ(second.fadeRate, 0.102f);
  expectVector(second.velocity, -260.0f, -240.0f, -10.0f);
  // The script repeats every two particles.
  EXPECT_FLOAT_EQ(flame->particle[998].fadeRate, 0.060f);
  expectVector(flame->particle[999].velocity, -260.0f, -240.0f, -10.0f);
}

TEST(AdvanceParticle, MovesWithTheOldVelocityThenAccelerates) {
  auto flame = startedFlame();
  Particle p;
  p.alive = true;
  p.life = 1.0f;
  p.fadeRate = 0.01f;
  p.velocity[1] = 100.0f;
  p.acceleration[1] = 1.49f;
  startScript({0});
  advanceParticle(p, *flame, scripted);
  expectVector(p.position, 0.0f, 0.05f, 0.0f);
  expectVector(p.velocity, 0.0f, 101.49f, 0.0f);
  EXPECT_FLOAT_EQ(p.life, 0.99f);
  EXPECT_EQ(script.calls, 0u) << "a particle that neither dies nor sparks draws nothing";
}

// Passes a freshly started particle lives, from its birth to the pass in which
// it is born again (that pass counted).
struct Lifetime {
  int fadeDraw;  // rand result that sets the fade rate
  int passes;
};

void PrintTo(const Lifetime& l, std::ostream* os) {
  *os << "draw " << l.fadeDraw << ", " << l.passes << " passes";
}

class LifetimeTest : public ::testing::TestWithParam<Lifetime> {};

TEST_P(LifetimeTest, RespawnsInTheLastPassOfItsLife) {
  const Lifetime want = GetParam();
  auto flame = startedFlame();
  startScript({want.fadeDraw});
  initParticles(*flame, scripted);
  script.calls = 0;
  drawn.clear();
  for (int pass = 1; pass < want.passes; ++pass) particlePass(*flame, scripted, recordDraw);
  EXPECT_EQ(script.calls, 0u) << "nothing may die before pass " << want.passes;
  EXPECT_GT(flame->particle[0].life, 0.0f);
  particlePass(*flame, scripted, recordDraw);
  EXPECT_EQ(script.calls, 4u * kParticleCount) << "every particle dies in pass " << want.passes;
  EXPECT_EQ(flame->particle[0].life, 1.0f);
  EXPECT_EQ(drawn.size(), static_cast<size_t>(want.passes) * kParticleCount);
}

INSTANTIATE_TEST_SUITE_P(FadeRates, LifetimeTest,
                         ::testing::Values(Lifetime{0, 334},    // fade rate 0.003
                                           Lifetime{99, 10},    // fade rate 0.102
                                           Lifetime{199, 10}),  // remainder taken first
                         [](const auto& info) {
                           return "Passes" + std::to_string(info.param.passes) + "Draw" +
                                  std::to_string(info.param.fadeDraw);
                         });

TEST(AdvanceParticle, BornAgainAtTheOriginInTheCurrentColour) {
  auto flame = startedFlame();
  flame->col = 7;
  Particle p;
  p.alive = true;
  p.life = 0.005f;
  p.fadeRate = 0.01f;
  p.position[0] = 3.0f;
  p.velocity[0] = 50.0f;
  p.acceleration[1] = 1.49f;
  startScript({42, 0, 59, 30});
  advanceParticle(p, *flame, scripted);
  EXPECT_EQ(script.calls, 4u);
  EXPECT_EQ(p.life, 1.0f);
  EXPECT_FLOAT_EQ(p.fadeRate, 0.045f);
  expectVector(p.position, 0.0f, 0.0f, 0.0f);
  expectVector(p.velocity, -32.0f, 109.0f, 0.0f);  // yspeed 80 added to y
  expectColor(p, {0.5f, 0.75f, 1.0f}, 0);
  expectVector(p.acceleration, 0.0f, 1.49f, 0.0f);
}

TEST(AdvanceParticle, LifeExactlyUsedUpIsNotYetDead) {
  auto flame = startedFlame();
  Particle p;
  p.alive = true;
  p.life = 0.25f;
  p.fadeRate = 0.25f;
  startScript({0});
  advanceParticle(p, *flame, scripted);
  EXPECT_EQ(p.life, 0.0f);
  EXPECT_EQ(script.calls, 0u);
}

TEST(ParticlePass, DrawsANewbornAsTheUnitSquareAtZoomWithFullAlpha) {
  auto flame = startedFlame();
  flame->col = 3;
  initParticles(*flame, std::rand);
  flame->particle[4].life = 0.001f;
  particlePass(*flame, std::rand, nullptr);
  drawn.clear();
  particlePass(*flame, std::rand, recordDraw);
  ASSERT_EQ(drawn.size(), static_cast<size_t>(kParticleCount));
  const Drawn& newborn = drawn[4];
  expectVector(newborn.particle.position, 0.0f, 0.0f, 0.0f);
  EXPECT_EQ(newborn.particle.life, 1.0f);
  EXPECT_EQ(newborn.zoom, -10.0f);
  expectColor(newborn.particle, {0.75f, 1.0f, 0.5f}, 4);
}

TEST(ParticlePass, DrawsEachParticleBeforeMovingIt) {
  auto flame = startedFlame();
  initParticles(*flame, std::rand);
  const Particle before = flame->particle[0];
  drawn.clear();
  particlePass(*flame, std::rand, recordDraw);
  EXPECT_EQ(drawn[0].particle.life, before.life);
  expectVector(drawn[0].particle.position, 0.0f, 0.0f, 0.0f);
  EXPECT_NE(flame->particle[0].life, before.life);
  EXPECT_EQ(flame->loop, kParticleCount);
}

TEST(ParticlePass, SkipsParticlesThatWereNeverInitialised) {
  auto flame = startedFlame();
  flame->particle[10].alive = true;
  flame->particle[10].life = 1.0f;
  flame->particle[10].fadeRate = 2.0f;  // dies in this pass
  startScript({0});
  drawn.clear();
  particlePass(*flame, scripted, recordDraw);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(script.calls, 4u);
  EXPECT_EQ(flame->particle[11].life, 0.0f);
  EXPECT_EQ(flame->particle[11].position[1], 0.0f);
}

TEST(ParticlePass, SparkRelaunchesEveryParticleAndKeepsItsLifeAndColour) {
  auto flame = startedFlame();
  flame->col = 7;
  initParticles(*flame, std::rand);
  for (int i = 0; i < 5; ++i) particlePass(*flame, std::rand, nullptr);
  flame->particle[500].life = 0.001f;  // dies in the spark pass
  const auto before = flame->particle;
  flame->playSpark = 1;
  startScript({7});
  particlePass(*flame, scripted, nullptr);
  EXPECT_EQ(script.calls, 3u * kParticleCount + 4u);
  for (int i = 0; i < kParticleCount; ++i) {
    SCOPED_TRACE(i);
    const Particle& p = flame->particle[i];
    expectVector(p.position, 0.0f, 0.0f, 0.0f);
    expectVector(p.velocity, -190.0f, -180.0f, -180.0f);
    if (i == 500) continue;
    EXPECT_EQ(p.life, before[i].life - before[i].fadeRate);
    EXPECT_EQ(p.fadeRate, before[i].fadeRate);
    expectColor(p, {before[i].color[0], before[i].color[1], before[i].color[2]}, i);
  }
  const Particle& reborn = flame->particle[500];
  EXPECT_EQ(reborn.life, 1.0f);
  EXPECT_FLOAT_EQ(reborn.fadeRate, 0.010f);
  expectColor(reborn, {0.5f, 0.75f, 1.0f}, 500);
}

TEST(CheckKeys, RotateStepsTheColourEveryTwentySixTicks) {
  FlameState flame;
  flame.rainbow = true;
  flame.col = 1;
  std::vector<int> stepsAt;
  for (int tick = 1; tick <= 80; ++tick) {
    const int before = flame.col;
    check_keys(flame);
    if (flame.col != before) stepsAt.push_back(tick);
  }
  EXPECT_EQ(stepsAt, (std::vector<int>{27, 53, 79}));
  EXPECT_EQ(flame.col, 4);
}

TEST(CheckKeys, WrapsFromTheLastRowToTheFirst) {
  FlameState flame;
  flame.rainbow = true;
  flame.col = 11;
  flame.delay = 26;
  check_keys(flame);
  EXPECT_EQ(flame.col, 0);
  EXPECT_EQ(flame.delay, 1u);
}

TEST(CheckKeys, CountsFramesButKeepsTheColourWithoutRotate) {
  FlameState flame;
  flame.col = 3;
  for (int tick = 0; tick < 100; ++tick) check_keys(flame);
  EXPECT_EQ(flame.col, 3);
  EXPECT_EQ(flame.delay, 100u);
  // Switched on late, the cycle steps at the very next tick.
  flame.rainbow = true;
  check_keys(flame);
  EXPECT_EQ(flame.col, 4);
}

}  // namespace
