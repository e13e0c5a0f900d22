#include "lighter/scene.h"

Scene scene;

void assignStartValues(Scene& s) {
  s.max_z = s.max_y = s.max_x = kBoxMaxStart;
  s.min_z = s.min_y = s.min_x = kBoxMinStart;
  s.centerBase = Vector3{};
  s.centerTop = Vector3{};
  s.max_extent = 1.0f;
  s.col = 1;
  s.rainbow = false;
  s.playSpark = 0;
  s.flameOn = 0;
  s.act = 0;
  s.display_mode = kSmooth;
  const ViewState start;
  s.positionX = start.positionX;
  s.positionY = start.positionY;
  s.scaleSize = start.scaleSize;
}
