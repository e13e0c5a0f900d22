#include "view/flame_view.h"

namespace view {

FlamePlacement flamePlacement(const Rig& rig, double depth) {
  const Vec3 o = worldToEye(rig, Vec3{});
  const Vec3 x = worldToEye(rig, Vec3{1.0, 0.0, 0.0}) - o,
             y = worldToEye(rig, Vec3{0.0, 1.0, 0.0}) - o,
             z = worldToEye(rig, Vec3{0.0, 0.0, 1.0}) - o;
  const Placement toEye{{{{x.x, y.x, z.x}, {x.y, y.y, z.y}, {x.z, y.z, z.z}}}, o};
  return {toEye, flameAnchor(depth), depth};
}

std::optional<ParticleSquare> placedSquare(const FlamePlacement& flame, Vec3 position,
                                           double zoom) {
  if (!(zoom < 0.0)) return std::nullopt;
  const double k = flame.depth / -zoom;
  return ParticleSquare{apply(flame.worldToEye, flame.anchor + k * position), 0.5 * k};
}

ParticleSquare startSquare(Vec3 position, double zoom) {
  return {{position.x, position.y, position.z + zoom}, 0.5};
}

Vec3 startEyeToMovedEye(const FlamePlacement& flame, Vec3 startEye) {
  return apply(flame.worldToEye, eyeToWorld(kStartRig, startEye));
}

}  // namespace view
