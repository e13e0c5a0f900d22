// The flame: 1000 additive particles, their colour table and colour cycle.
// Plain arithmetic; the drawing is in draw.h.
#pragma once

#include <array>
#include <cstdint>

struct Particle {
  bool alive = false;
  float life = 0.0f;
  float fadeRate = 0.0f;
  float color[3] = {0.0f, 0.0f, 0.0f};
  float position[3] = {0.0f, 0.0f, 0.0f};
  float velocity[3] = {0.0f, 0.0f, 0.0f};
  float acceleration[3] = {0.0f, 0.0f, 0.0f};
};

inline constexpr int kParticleCount = 1000;
inline constexpr int kColorCount = 12;

// Flame colours, red-green-blue; rows 0, 1, 3 and 7 are the menu's colours.
extern const float colors[kColorCount][3];

// Everything the flame reads and writes between frames.
struct FlameState {
  std::array<Particle, kParticleCount> particle{};
  int loop = 0;  // index of the particle being processed in a pass

  int flameOn = 0;       // particles drawn and moved while set
  int playSpark = 0;     // every pass re-launches the particles while 1
  int col = 1;           // colour row taken by newborn particles
  bool rainbow = false;  // colour cycle on
  uint32_t delay = 0;    // frames counted by the colour cycle
  float zoom = -40.0f;   // z offset of every particle; start-up adds 30
  float slowdown = 2.0f;
  float xspeed = 0.0f;
  float yspeed = 0.0f;  // start-up adds 80
};

// The system's rand, or a scripted sequence in tests.
using RandomSource = int (*)();

// Draws one particle, `zoom` added to its z; called before the particle moves.
using ParticleDrawer = void (*)(const Particle& particle, float zoom);

// Gives all particles their start state; four random numbers per particle.
void initParticles(FlameState& flame, RandomSource random);

// One frame of one particle: move, accelerate, age, respawn when its life is
// used up, and re-launch it while a spark is playing.
void advanceParticle(Particle& particle, const FlameState& flame, RandomSource random);

// The pass without GL: each alive particle, in index order, is handed to
// `draw` (when given) and then advanced.
void particlePass(FlameState& flame, RandomSource random, ParticleDrawer draw);

// The same pass with any drawer called as draw(particle, zoom), one that
// carries what it needs to place the squares.
template <typename Draw>
void particlePassWith(FlameState& flame, RandomSource random, Draw&& draw) {
  for (flame.loop = 0; flame.loop < kParticleCount; ++flame.loop) {
    Particle& p = flame.particle[flame.loop];
    if (!p.alive) {
      continue;
    }
    draw(static_cast<const Particle&>(p), flame.zoom);
    advanceParticle(p, flame, random);
  }
}

// Whether the particle flies as the flame launched it at its birth: born
// with a velocity of the flame's narrow, rising spread, and where that
// flight has brought it in the frames it has lived (its life used over its
// fade rate). A spark burst and the start state launch particles without a
// new life, so their flights do not agree.
bool flownSinceFlameBirth(const Particle& particle, const FlameState& flame);

// The colour-cycle tick, once per frame.
void check_keys(FlameState& flame);
