#include "lighter/scene.h"

void assignStartValues(Scene& s) {
  const Scene start;  // every member at its start value
  MeshState& m = s.meshes;
  m.max_z = start.meshes.max_z;
  m.max_y = start.meshes.max_y;
  m.max_x = start.meshes.max_x;
  m.min_z = start.meshes.min_z;
  m.min_y = start.meshes.min_y;
  m.min_x = start.meshes.min_x;
  m.centerBase = start.meshes.centerBase;
  m.centerTop = start.meshes.centerTop;
  m.max_extent = start.meshes.max_extent;
  FlameState& f = s.flame;
  f.col = start.flame.col;
  f.rainbow = start.flame.rainbow;
  f.playSpark = start.flame.playSpark;
  f.flameOn = start.flame.flameOn;
  s.act = start.act;
  ViewState& v = s.view;
  v.display_mode = start.view.display_mode;
  v.positionX = start.view.positionX;
  v.positionY = start.view.positionY;
  v.scaleSize = start.view.scaleSize;
}
