// The program around its start-up: safe standard streams, the command line,
// start-up with its failures reported, then the event loop.
#pragma once

// Runs the program and returns only for --help, --version or a bad command
// line (the event loop never returns; "Exit" and fatal start-up failures
// end the process). `beforeLoop`, when given, runs once start-up is done,
// just before the event loop: the checked build hooks its checks in there.
int runProgram(int argc, char** argv, void (*beforeLoop)() = nullptr);
