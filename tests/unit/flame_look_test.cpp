// How Lit draws each particle, without a window: the flame's look along its
// life, its narrowing, the sparks' streaks, and which particles are which.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "render/flame_look.h"
#include "view/view_model.h"

namespace {

constexpr float kYellow[3] = {1.0f, 0.75f, 0.5f};  // colors[1]
constexpr float kBlue[3] = {0.5f, 0.75f, 1.0f};    // colors[7]

float strongest(const ParticleLook& l) { return std::max({l.rgba[0], l.rgba[1], l.rgba[2]}); }
float weakest(const ParticleLook& l) { return std::min({l.rgba[0], l.rgba[1], l.rgba[2]}); }

TEST(FlameLook, ABaseSmallFaintAndBluishWhateverTheColour) {
  for (const float* colour : {kYellow, kBlue}) {
    const ParticleLook base = flameLook(1.0f, colour);
    const ParticleLook body = flameLook(20.0f, colour);
    EXPECT_TRUE(base.visible());
    EXPECT_GT(base.rgba[2], base.rgba[0] + 0.3f);  // blue well over red
    EXPECT_LT(base.rgba[3], body.rgba[3]);
    EXPECT_LT(base.halfU[0], body.halfU[0] / 2.0f);
  }
  EXPECT_FALSE(flameLook(0.0f, kYellow).visible());  // born inside the chimney's mouth
}

TEST(FlameLook, ACoreWhitenedTowardTheColourButNotWhite) {
  const ParticleLook core = flameLook(8.0f, kYellow);
  const ParticleLook body = flameLook(20.0f, kYellow);
  EXPECT_GT(weakest(core), weakest(body) + 0.1f);
  EXPECT_LT(weakest(core), 0.9f);
  EXPECT_EQ(core.rgba[0], 1.0f);          // still the colour's order: red,
  EXPECT_GT(core.rgba[1], core.rgba[2]);  // then green, then blue
}

TEST(FlameLook, TheBodyInTheChosenColour) {
  for (const float* colour : {kYellow, kBlue}) {
    const ParticleLook body = flameLook(20.0f, colour);
    for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(body.rgba[c], colour[c]) << "channel " << c;
  }
}

// Deeper and dimmer: the colour's weakest channel falls away against its
// strongest, so yellow turns orange and blue a deeper blue.
TEST(FlameLook, ACoolerTipThatFadesOut) {
  for (const float* colour : {kYellow, kBlue}) {
    const ParticleLook body = flameLook(20.0f, colour);
    const ParticleLook tip = flameLook(kFlameTipAge - 4.0f, colour);
    EXPECT_LT(strongest(tip), strongest(body));
    EXPECT_LT(weakest(tip) / strongest(tip), weakest(body) / strongest(body) - 0.15f);
    EXPECT_LT(tip.rgba[3], body.rgba[3]);
    // Its strongest channel stays the colour's.
    const int top = static_cast<int>(std::max_element(colour, colour + 3) - colour);
    EXPECT_EQ(tip.rgba[top], strongest(tip));
  }
  float last = flameLook(36.0f, kYellow).rgba[3];
  for (float age = 37.0f; age < kFlameTipAge; age += 1.0f) {
    const float alpha = flameLook(age, kYellow).rgba[3];
    EXPECT_LE(alpha, last) << "age " << age;
    last = alpha;
  }
  EXPECT_FALSE(flameLook(kFlameTipAge, kYellow).visible());
  EXPECT_FALSE(flameLook(400.0f, kYellow).visible());
  EXPECT_FALSE(flameLook(std::nanf(""), kYellow).visible());
}

TEST(FlameLook, SquaresGrowIntoTheBodyAndShrinkTowardTheTipTallerThanWide) {
  const float base = flameLook(1.0f, kYellow).halfU[0];
  const float body = flameLook(24.0f, kYellow).halfU[0];
  const float tip = flameLook(kFlameTipAge - 1.0f, kYellow).halfU[0];
  EXPECT_LT(base, body);
  EXPECT_LT(tip, body);
  const ParticleLook l = flameLook(24.0f, kYellow);
  EXPECT_GT(l.halfV[1], l.halfU[0]);
  EXPECT_EQ(l.halfU[1], 0.0f);
  EXPECT_EQ(l.halfV[0], 0.0f);
}

TEST(FlameLook, NarrowsUpwardFromTheBodyToAPoint) {
  EXPECT_EQ(flameNarrowing(0.0f), 1.0f);
  EXPECT_EQ(flameNarrowing(12.0f), 1.0f);
  float last = 1.0f;
  for (float age = 13.0f; age <= kFlameTipAge; age += 1.0f) {
    EXPECT_LE(flameNarrowing(age), last) << "age " << age;
    last = flameNarrowing(age);
  }
  EXPECT_LT(flameNarrowing(kFlameTipAge), 0.1f);
  // How far out the widest-flying particle is drawn: widest in the body,
  // less than a third of that at the tip.
  auto drawnOut = [](float age) { return flameNarrowing(age) * 0.022f * age; };
  EXPECT_LT(drawnOut(kFlameTipAge - 1.0f), drawnOut(24.0f) / 3.0f);
}

// ---- the flame as particles fly it ------------------------------------

std::unique_ptr<FlameState> steadyFlame() {
  auto flame = std::make_unique<FlameState>();
  flame->flameOn = 1;
  flame->yspeed = 80.0f;
  flame->zoom = -10.0f;
  return flame;
}

int noRandom() { return 0; }

// A particle born in the flame with this velocity and the slowest fade, as
// start-up's acceleration moves it.
Particle bornWith(float vx, float vy, float vz) {
  Particle p;
  p.alive = true;
  p.life = 1.0f;
  p.fadeRate = 0.003f;
  std::copy(kYellow, kYellow + 3, p.color);
  p.velocity[0] = vx;
  p.velocity[1] = vy;
  p.velocity[2] = vz;
  p.acceleration[1] = 1.49f;
  return p;
}

TEST(FlameLook, FramesLivedCountsThePassesSinceBirth) {
  auto flame = steadyFlame();
  Particle p = bornWith(0.0f, 80.0f, 0.0f);
  p.fadeRate = 0.017f;
  for (int pass = 0; pass < 40; ++pass) {
    EXPECT_NEAR(framesLived(p), pass, 1e-3) << "pass " << pass;
    advanceParticle(p, *flame, noRandom);
  }
  p.fadeRate = 0.0f;  // never in a particle the program made
  EXPECT_EQ(framesLived(p), 0.0f);
}

// Every square of the fastest-rising, widest-flying and slowest-fading
// particles the flame can launch, at every frame of their lives, lies
// below the top of the window and inside its sides (where the start view
// puts them, drawn at zoom -10), and the flame's squares at the tip are
// nearer the axis than in the body.
TEST(FlameLook, StaysInsideTheWindowForEveryBirthTheFlameCanGive) {
  auto flame = steadyFlame();
  double highest = 0.0, widest = 0.0;
  for (float vy : {50.0f, 109.0f}) {
    for (float vx : {-32.0f, 0.0f, 27.0f}) {
      for (float vz : {-30.0f, 29.0f}) {
        Particle p = bornWith(vx, vy, vz);
        for (int pass = 0; pass < 334; ++pass) {
          const ParticleLook look = lookOf(p, *flame);
          if (look.visible()) {
            const view::Vec3 top{look.centre[0], look.centre[1] + look.halfV[1],
                                 look.centre[2] + flame->zoom};
            const view::Pixel at = view::eyeToWindow(top);
            highest = std::max(highest, at.y);
            widest = std::max(widest, std::abs(at.x - view::kWindowWidth / 2.0));
          }
          const float lifeBefore = p.life;
          advanceParticle(p, *flame, noRandom);
          if (p.life > lifeBefore) break;  // born again: that life is over
        }
      }
    }
  }
  EXPECT_GT(highest, view::kWindowHeight * 0.75);  // the flame rises well above the chimney
  EXPECT_LT(highest, view::kWindowHeight - 20.0);
  EXPECT_LT(widest, 100.0);
}

// A spark burst as a click throws it: drawn 40 units off.
std::unique_ptr<FlameState> sparkBurst() {
  auto flame = steadyFlame();
  flame->zoom = -40.0f;
  return flame;
}

TEST(SparkLook, AShortThinBrightStreakAlongItsFlight) {
  auto burst = sparkBurst();
  Particle p = bornWith(200.0f, 150.0f, -100.0f);
  p.position[0] = 0.2f;
  const ParticleLook look = sparkLook(p, *burst, p.velocity[0], p.velocity[1]);
  ASSERT_TRUE(look.visible());
  const float along = std::hypot(look.halfU[0], look.halfU[1]);
  const float across = std::hypot(look.halfV[0], look.halfV[1]);
  EXPECT_GT(along, 3.0f * across);
  EXPECT_NEAR(look.halfU[1] / look.halfU[0], 150.0f / 200.0f, 1e-5);  // along (vx, vy)
  EXPECT_NEAR(look.halfU[0] * look.halfV[0] + look.halfU[1] * look.halfV[1], 0.0f, 1e-6);
  EXPECT_GT(look.rgba[3], 0.5f);
  EXPECT_GT(weakest(look), 0.4f);                         // white-hot, a little of its colour
  EXPECT_FLOAT_EQ(look.centre[0], 4.0f * p.position[0]);  // spread as if 10 units off
  EXPECT_EQ(look.centre[1], 0.0f);
  // What is left of a burst when the flame is lit, 10 units off, is drawn
  // where it is.
  auto lit = steadyFlame();
  EXPECT_FLOAT_EQ(sparkLook(p, *lit, p.velocity[0], p.velocity[1]).centre[0], p.position[0]);
  EXPECT_LT(std::abs(sparkLook(p, *lit, p.velocity[0], p.velocity[1]).halfU[0]),
            std::abs(look.halfU[0]));
}

TEST(SparkLook, FadesAsItFliesAndIsGoneAtItsReach) {
  auto burst = sparkBurst();
  Particle p = bornWith(0.0f, 0.0f, 200.0f);  // straight at the viewer: a dot
  const ParticleLook atFlint = sparkLook(p, *burst, p.velocity[0], p.velocity[1]);
  p.position[2] = kSparkReach / 2.0f;
  const ParticleLook halfway = sparkLook(p, *burst, p.velocity[0], p.velocity[1]);
  EXPECT_NEAR(halfway.rgba[3], atFlint.rgba[3] / 2.0f, 1e-5);
  EXPECT_NEAR(std::hypot(atFlint.halfU[0], atFlint.halfU[1]),
              std::hypot(atFlint.halfV[0], atFlint.halfV[1]), 1e-6);
  p.position[2] = kSparkReach;
  EXPECT_FALSE(sparkLook(p, *burst, p.velocity[0], p.velocity[1]).visible());
}

TEST(ParticleKind, EveryFlameBirthIsFlameAndVelocitiesOutsideItsSpreadAreNot) {
  auto flame = steadyFlame();
  for (float vx = -32.0f; vx <= 27.0f; vx += 59.0f) {
    for (float vy = 50.0f; vy <= 109.0f; vy += 59.0f) {
      for (float vz = -30.0f; vz <= 29.0f; vz += 59.0f) {
        Particle p = bornWith(vx, vy, vz);
        EXPECT_TRUE(flownSinceFlameBirth(p, *flame)) << vx << " " << vy << " " << vz;
        for (int pass = 0; pass < 100; ++pass) advanceParticle(p, *flame, noRandom);
        EXPECT_TRUE(flownSinceFlameBirth(p, *flame)) << "still rising";
      }
    }
  }
  EXPECT_FALSE(flownSinceFlameBirth(bornWith(-33.0f, 80.0f, 0.0f), *flame));
  EXPECT_FALSE(flownSinceFlameBirth(bornWith(28.0f, 80.0f, 0.0f), *flame));
  EXPECT_FALSE(flownSinceFlameBirth(bornWith(0.0f, 49.0f, 0.0f), *flame));
  EXPECT_FALSE(flownSinceFlameBirth(bornWith(0.0f, 80.0f, 30.0f), *flame));
  EXPECT_FALSE(flownSinceFlameBirth(bornWith(0.0f, 80.0f, -31.0f), *flame));
  flame->xspeed = 40.0f;  // the spread moves with the speeds start-up adds
  EXPECT_TRUE(flownSinceFlameBirth(bornWith(60.0f, 80.0f, 0.0f), *flame));
}

// A particle of the flame that has flown `frames` frames since its birth.
Particle flown(const FlameState& flame, Particle p, int frames) {
  for (int pass = 0; pass < frames; ++pass) advanceParticle(p, flame, noRandom);
  return p;
}

TEST(ParticleKind, AFlameParticleIsOneFlyingAsItWasBornNotOneASparkRelaunched) {
  auto flame = steadyFlame();
  for (int frames : {0, 1, 30, 333}) {
    EXPECT_TRUE(
        flownSinceFlameBirth(flown(*flame, bornWith(-32.0f, 109.0f, 29.0f), frames), *flame))
        << frames;
  }
  // Relaunched at the flint, keeping the life it had, with the velocity
  // that frame of its flight would have had.
  Particle relaunched = flown(*flame, bornWith(10.0f, 80.0f, 0.0f), 40);
  std::fill(relaunched.position, relaunched.position + 3, 0.0f);
  EXPECT_FALSE(flownSinceFlameBirth(relaunched, *flame));
  EXPECT_FALSE(flownSinceFlameBirth(flown(*flame, relaunched, 5), *flame));
  // Straight up, but further than its life allows.
  Particle up = flown(*flame, bornWith(0.0f, 80.0f, 0.0f), 20);
  up.position[1] += 0.05f;
  EXPECT_FALSE(flownSinceFlameBirth(up, *flame));
  EXPECT_FALSE(flownSinceFlameBirth(bornWith(0.0f, 200.0f, 0.0f), *flame));  // a spark's speed
}

TEST(ParticleLook, FlameParticlesAreDrawnNearerTheAxisAsTheyAgeAndSparksAsStreaks) {
  auto flame = steadyFlame();
  Particle born = bornWith(20.0f, 80.0f, 10.0f);
  born.fadeRate = 0.01f;
  const Particle p = flown(*flame, born, 30);
  ASSERT_NEAR(framesLived(p), 30.0f, 1e-3);
  const ParticleLook look = lookOf(p, *flame);
  const float k = flameNarrowing(30.0f);
  EXPECT_LT(k, 1.0f);
  EXPECT_NEAR(look.centre[0], k * p.position[0], 1e-6);
  EXPECT_FLOAT_EQ(look.centre[1], p.position[1]);
  EXPECT_NEAR(look.centre[2], k * p.position[2], 1e-6);
  EXPECT_EQ(look.rgba[3], flameLook(framesLived(p), p.color).rgba[3]);
  Particle spark = flown(*flame, bornWith(150.0f, 30.0f, 0.0f), 1);  // a spark's speed
  const ParticleLook streak = lookOf(spark, *flame);
  EXPECT_GT(streak.halfU[0], 3.0f * std::abs(streak.halfV[0]));
}

}  // namespace
