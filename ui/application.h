#pragma once

namespace ui {

// Style and font shared by the program and the window tests, so both see the same layout.
// Call after the QApplication exists.
void configureApplication();

// The whole program: reads the command line, answers --help and --version without a display,
// opens the window on the folder asked for and runs it. Returns the exit status. moreUsage, when
// given, follows the window's own usage in --help: the program's other commands.
int runApplication(int argc, char* argv[], const char* moreUsage = nullptr);

} // namespace ui
