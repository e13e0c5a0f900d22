// Stage 6: faces in the order the program's additive drawing needs.
#pragma once

#include "importer/frame.h"

namespace importer {

// Sorts each mesh's faces nearest first from the program's viewpoint, as the
// shipped data set is, so that the depth test hides what lies behind.
void sortFaces(FramedModel& model);

}  // namespace importer
