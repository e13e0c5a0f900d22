// Standard input, output and error made safe for a program (lighter, and
// lighter-import) that may be started with them closed, writing into a pipe
// whose reader goes away, or onto a full device.
#pragma once

// Opens any of descriptors 0, 1 and 2 that is closed on /dev/null, so that
// nothing opened later (the X connection, a data file) can take its number
// and receive what is meant for standard output. Call it before anything
// else.
void keepStandardDescriptorsOpen();

// Ignores SIGPIPE and routes std::cout through a watch on C's stdout (the
// same buffer, so the two keep one order): a write to a pipe whose reader has
// gone sends standard output to /dev/null from then on, quietly; any other
// failed write is remembered and reported once on standard error at exit,
// after "`program`: ".
void watchStandardOutput(const char* program);

// Flushes standard output; true if a write of it has failed other than by
// its reader going away (the report still comes at exit).
bool standardOutputFailed();

// Start-up prints half a megabyte: fully buffered until it ends.
void bufferStandardOutput();

// Flushes what start-up printed and makes standard output line-buffered, so
// that each later line (a click, a spark) is out when it is printed and a
// signal that ends the program loses none.
void lineBufferStandardOutput();
