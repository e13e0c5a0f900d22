#include "render/flame_look.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// A value along the flame's life, linear between keys of increasing age
// and held beyond the first and the last.
struct Key {
  float age;
  float value;
};

template <std::size_t N>
float along(const Key (&keys)[N], float age) {
  if (age <= keys[0].age) return keys[0].value;
  for (std::size_t i = 1; i < N; ++i) {
    if (age <= keys[i].age) {
      const float t = (age - keys[i - 1].age) / (keys[i].age - keys[i - 1].age);
      return keys[i - 1].value + t * (keys[i].value - keys[i - 1].value);
    }
  }
  return keys[N - 1].value;
}

// Half the width of a flame square (particle units) and its alpha. A
// thousand of them overlap, hundreds deep above the chimney where they are
// born, thinning out upward: each adds little low down and more higher up.
constexpr Key kHalfWidth[] = {{0, 0.06f},  {5, 0.09f},  {10, 0.14f}, {16, 0.22f},
                              {24, 0.28f}, {32, 0.24f}, {38, 0.17f}, {kFlameTipAge, 0.1f}};
constexpr float kTallerThanWide = 1.3f;
constexpr Key kAlpha[] = {{0, 0.0f},    {1, 0.014f},         {3, 0.02f},   {6, 0.034f},
                          {10, 0.038f}, {16, 0.044f},        {24, 0.052f}, {32, 0.058f},
                          {38, 0.045f}, {kFlameTipAge, 0.0f}};
// The share of its distance from the axis a particle is drawn at: particles
// fly out sideways at up to 0.022 units a frame, 0.0115 on average, so by
// the body the flame would widen like a fountain.
constexpr Key kNarrowing[] = {
    {16, 1.0f}, {24, 0.85f}, {32, 0.5f}, {38, 0.28f}, {kFlameTipAge, 0.08f}};

// The colours along the flame: base, core, body, tip, each from a key age
// to the next.
constexpr float kBaseAge = 2.0f, kCoreAge = 7.0f, kBodyAge = 16.0f, kBodyEndAge = 26.0f;
constexpr float kBaseBlue[3] = {0.3f, 0.45f, 1.0f};
constexpr float kCoreWhiteness = 0.35f;
// The tip loses its colour's whitish part (its weakest channel) and some
// brightness: red turns deep red, yellow orange, blue a deeper blue.
constexpr float kTipDesaturation = 0.6f;
constexpr float kTipBrightness = 0.8f;

struct Rgb {
  float c[3];
};

Rgb mix(const Rgb& a, const Rgb& b, float t) {
  Rgb out{};
  for (int i = 0; i < 3; ++i) out.c[i] = a.c[i] + t * (b.c[i] - a.c[i]);
  return out;
}

Rgb tipOf(const Rgb& body) {
  const float weakest = std::min({body.c[0], body.c[1], body.c[2]});
  Rgb tip{};
  float strongest = 0.0f;
  for (int i = 0; i < 3; ++i) {
    tip.c[i] = body.c[i] - kTipDesaturation * weakest;
    strongest = std::max(strongest, tip.c[i]);
  }
  const float k = strongest > 0.0f ? kTipBrightness / strongest : 0.0f;
  for (float& v : tip.c) v *= k;
  return tip;
}

Rgb flameColour(float age, const Rgb& body) {
  const Rgb base{{kBaseBlue[0], kBaseBlue[1], kBaseBlue[2]}};
  const Rgb core = mix(body, Rgb{{1.0f, 1.0f, 1.0f}}, kCoreWhiteness);
  if (age <= kBaseAge) return base;
  if (age <= kCoreAge) return mix(base, core, (age - kBaseAge) / (kCoreAge - kBaseAge));
  if (age <= kBodyAge) return mix(core, body, (age - kCoreAge) / (kBodyAge - kCoreAge));
  if (age <= kBodyEndAge) return body;
  return mix(body, tipOf(body), std::min(1.0f, (age - kBodyEndAge) / (kFlameTipAge - kBodyEndAge)));
}

// Sparks: their way from the flint drawn as long as it would show at
// kSparkDistance in front of the eye (a burst is drawn four times further
// off: its sparks would hardly leave the chimney's top), each a streak as
// long as its drawn way over kStreakFrames frames, at least as long as it
// is wide.
constexpr float kSparkDistance = 10.0f;
constexpr float kStreakFrames = 3.0f;
constexpr float kSparkHalfWidth = 0.08f;
constexpr float kSparkAlpha = 1.0f;
constexpr float kSparkHot[3] = {1.0f, 0.8f, 0.45f};
constexpr float kSparkTint = 0.25f;

float length3(const float v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

}  // namespace

float framesLived(const Particle& p) {
  return p.fadeRate > 0.0f ? std::max(0.0f, (1.0f - p.life) / p.fadeRate) : 0.0f;
}

ParticleLook flameLook(float age, const float colour[3]) {
  ParticleLook look;
  if (!(age >= 0.0f) || age >= kFlameTipAge) return look;
  const Rgb c = flameColour(age, Rgb{{colour[0], colour[1], colour[2]}});
  std::copy(c.c, c.c + 3, look.rgba);
  look.rgba[3] = along(kAlpha, age);
  const float half = along(kHalfWidth, age);
  look.halfU[0] = half;
  look.halfV[1] = half * kTallerThanWide;
  return look;
}

float flameNarrowing(float age) { return along(kNarrowing, age); }

ParticleLook sparkLook(const Particle& p, const FlameState& flame, float seenX, float seenY) {
  ParticleLook look;
  const float fade = 1.0f - length3(p.position) / kSparkReach;
  if (fade <= 0.0f) return look;
  const float spread = std::max(1.0f, -flame.zoom / kSparkDistance);
  for (int i = 0; i < 3; ++i) look.centre[i] = spread * p.position[i];
  const float vx = seenX, vy = seenY;
  const float speed = std::sqrt(vx * vx + vy * vy);
  const float drawnPerFrame = spread / (flame.slowdown * 1000.0f);
  const float half = std::max(kSparkHalfWidth, 0.5f * kStreakFrames * speed * drawnPerFrame);
  // Along the flight in the view's plane; a spark flying straight at the
  // viewer is a dot.
  const float dx = speed > 0.0f ? vx / speed : 1.0f;
  const float dy = speed > 0.0f ? vy / speed : 0.0f;
  look.halfU[0] = dx * half;
  look.halfU[1] = dy * half;
  look.halfV[0] = -dy * kSparkHalfWidth;
  look.halfV[1] = dx * kSparkHalfWidth;
  for (int i = 0; i < 3; ++i)
    look.rgba[i] = kSparkHot[i] + kSparkTint * (p.color[i] - kSparkHot[i]);
  look.rgba[3] = kSparkAlpha * fade;
  return look;
}

ParticleLook lookOf(const Particle& p, const FlameState& flame, const view::Mat3* toView) {
  if (!flownSinceFlameBirth(p, flame)) {
    const view::Vec3 v{p.velocity[0], p.velocity[1], p.velocity[2]};
    const view::Vec3 seen = toView != nullptr ? *toView * v : v;
    return sparkLook(p, flame, static_cast<float>(seen.x), static_cast<float>(seen.y));
  }
  const float age = framesLived(p);
  ParticleLook look = flameLook(age, p.color);
  const float k = flameNarrowing(age);
  look.centre[0] = k * p.position[0];
  look.centre[1] = p.position[1];
  look.centre[2] = k * p.position[2];
  return look;
}
