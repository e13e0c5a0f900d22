// Window size, mesh drawing mode and the model's placement.
#pragma once

inline constexpr int kWireframe = 0;
inline constexpr int kSmooth = 2;

struct ViewState {
  int GW = 800;  // window width in pixels
  int GH = 600;  // window height in pixels
  int display_mode = kSmooth;
  float positionX = 2.25f;
  float positionY = -4.5f;
  float scaleSize = 1.25f;
};
