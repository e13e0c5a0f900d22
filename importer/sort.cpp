#include "importer/sort.h"

#include "dataset/face_order.h"

namespace importer {

void sortFaces(FramedModel& model) {
  dataset::sortNearestFirst(model.base, baseWorld(model.base, model.frame));
  dataset::sortNearestFirst(model.lid, lidWorld(model.lid, model.frame));
}

}  // namespace importer
