#include "importer/sort.h"

#include "tools/datagen/face_order.h"

namespace importer {

void sortFaces(FramedModel& model) {
  datagen::sortNearestFirst(model.base, baseWorld(model.base, model.frame));
  datagen::sortNearestFirst(model.lid, lidWorld(model.lid, model.frame));
}

}  // namespace importer
