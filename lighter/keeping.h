// Keeping what the window shows: F12's pictures, Shift+F12's clips, and
// --screenshot and --record, over the frames as they are drawn. The web page
// links inert stand-ins (web/desktop_stand_ins.cpp): it saves its picture
// from the page's own menu.
#pragma once

#include <ostream>
#include <string>

#include "lighter/command_line.h"

// Takes in what the command line asks to keep, before the window opens:
// FILE made absolute against `callerDir`, the directory the program was
// started in (pictures without a pictures folder go there too), its
// extension and its folder checked. False, with the reason on `err`, when
// it cannot be kept.
bool prepareKeeping(const CommandLine& line, const std::string& callerDir, std::ostream& err);

// Runs once each frame is drawn, before its swap, with the window's size: a
// picture or a clip's frame taken when one is due. Once the command line's
// picture or clip is written the program ends, with status 0, or 1 when it
// could not be written.
void keepDrawnFrame(int width, int height);

// F12: the next frame drawn goes into the pictures folder.
void askForPicture();

// Shift+F12: a clip starts with the next frame, or the one recording ends.
void startOrStopClip();

// Whether the next frame keeps something: a picture is due, a clip is
// being recorded, or one is still being written and waits to be reported.
// Such frames read the window back and encode it, and so allocate, where
// every other frame allocates nothing; the checked build counts them apart.
bool keepingFrames();
