// A library that calls GL where a GL-free one must not: the layer check has
// to report it.
#include <GL/gl.h>

void strayGlCall() { glFlush(); }
