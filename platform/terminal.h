#pragma once

#include <QByteArray>

#include <optional>

namespace platform {

// What a program run from a shell needs of its terminal and of the signals the shell sends.

// Whether standard input is a terminal, where a person can answer a question.
bool standardInputIsTerminal();

// One line typed on standard input, without its line end; nothing at the end of the input.
std::optional<QByteArray> readStandardInputLine();

// From now on the first Ctrl+C (SIGINT), SIGTERM or SIGHUP only asks the work to stop, which
// interruptRequested() tells; a second one ends the program as usual.
void catchInterrupt();
bool interruptRequested();

} // namespace platform
