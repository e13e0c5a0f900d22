// The view's share of the scene: the window size, the mesh drawing mode, the
// model's placement and the camera, starting from the view module's
// constants and the start view.
#pragma once

#include "view/camera.h"
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

  view::Orbit orbit;  // the start view until the user turns or zooms
  // From the meshes at start-up: what the camera turns about, and how deep
  // the flame's origin stands on the body at the start view.
  view::Stage stage;
  double flameDepth = view::length(view::kLookAt - view::kEye);
};

// Records the window size that the next frame uses.
void reshape(ViewState& view, int width, int height);

// The camera the frame draws with.
inline view::Rig rigOf(const ViewState& v) { return view::rigFor(v.orbit, v.stage); }
