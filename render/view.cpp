#include "render/view.h"

void reshape(ViewState& view, int width, int height) {
  view.GW = width;
  view.GH = height;
}
