// Deterministic `.m` text of a given number of faces, for the reading benchmarks.
#pragma once

#include <cstddef>
#include <string>

namespace bench {

// A rippled grid strip 100 cells wide, two faces per cell: every vertex line
// first, then every face line, as mesh exporters write them. `faces` is
// rounded up to a multiple of 200. About one vertex per two faces, as in a
// closed mesh.
std::string syntheticMesh(size_t faces);

}  // namespace bench
