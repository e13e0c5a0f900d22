// Steps the Lit pictures' tests share: the picture at rest once the metal
// shows, and the three clicks that light the flame.
#pragma once

#include "tests/e2e/harness.h"

namespace e2e {

// The picture at rest, once the lighter's surface shows at the click point.
Screenshot atRest(Lighter& lighter);

// Two sparks, each waited out, and the click that lights the flame; a
// failed wait fails the calling test (check with ASSERT_NO_FATAL_FAILURE).
void lightTheFlame(Lighter& lighter);

}  // namespace e2e
