#pragma once
// The program's standard streams as each platform wants them (console_posix.cpp,
// console_windows.cpp).

#include <cstdio>

namespace pathshift::cli {

// Prepares the process's console for the program: once, from main, before any run.
void setUpConsole();

// Switches a stream to carry bytes unchanged: a converted program on standard output keeps its own
// CR LF line ends where text streams would add a CR to each of them.
void useBinaryMode(std::FILE* stream);

// Whether the stream is a terminal that takes the progress line's redraw codes.
bool takesRedrawCodes(std::FILE* stream);

}  // namespace pathshift::cli
