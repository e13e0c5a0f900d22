// glDrawElements with 32-bit indices, as the web build's GL emulation can
// draw it: from client memory it reads 16-bit indices only, and takes any
// other as 16-bit ones, so a Lit model (32-bit indices) comes out as shards.
// Plain arrays here; web/element_draw.cpp makes the GL calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "view/view_model.h"

namespace web {

// The indices as 16-bit ones, when every one fits; false (and `out`
// unspecified) when one does not.
bool narrowIndices(const std::uint32_t* indices, std::size_t count,
                   std::vector<std::uint16_t>& out);

// A client array of floats as glVertexPointer or glNormalPointer describe
// it: `components` floats a vertex, vertices `stride` bytes apart (0: packed).
struct FloatArray {
  const float* data = nullptr;
  int components = 3;
  int strideBytes = 0;
};

// The array's vertices in index order, packed: what glDrawArrays draws as
// the same primitives glDrawElements would.
std::vector<float> gatherVertices(const FloatArray& array, const std::uint32_t* indices,
                                  std::size_t count);

// The middle of the box around the vertices the indices name (the first
// three components of each), in the array's own coordinates; the origin
// for no indices.
view::Vec3 middleOf(const FloatArray& array, const std::uint32_t* indices, std::size_t count);

}  // namespace web
