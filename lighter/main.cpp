// Lighter Demonstration: a pocket lighter that throws sparks and lights a flame.
#include "lighter/program.h"

int main(int argc, char** argv) { return runProgram(argc, argv); }
