// The view's share of the scene: the window size, the mesh drawing mode and
// the model's placement, starting from the view module's constants.
#pragma once

#include "view/view_model.h"

inline constexpr int kWireframe = 0;
inline constexpr int kSmooth = 2;
inline constexpr int kLit = 3;

struct ViewState {
  int GW = view::kWindowWidth;   // window width in pixels
  int GH = view::kWindowHeight;  // window height in pixels
  int display_mode = kSmooth;
  float positionX = static_cast<float>(view::kPositionX);
  float positionY = static_cast<float>(view::kPositionY);
  float scaleSize = static_cast<float>(view::kScaleSize);
};

// Records the window size that the next frame uses.
void reshape(ViewState& view, int width, int height);
