#pragma once

#include "platform/filesystem.h"

#include <QByteArray>
#include <QByteArrayView>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

// The command line for scripts and shells: quendra-rename apply and quendra-rename undo, which
// plan, rename, keep the journal and take runs back exactly as the window does, without a
// display.
namespace cli {

// What a command works with: the disk, the folders the program uses, and the terminal. The
// program takes them from the process; a test gives its own.
struct Environment {
    const platform::FileSystem* fs = nullptr;
    QByteArray workingFolder; // relative paths are taken from here
    QByteArray programFolder; // where the script tables are looked for first
    QByteArray dataFolder;    // then here, the installed data folder
    QByteArray journalFolder; // the journals and the undo history, shared with the window
    QByteArray presetFolder;  // the saved presets, shared with the window
    // How long a disk may go without answering before the command gives up on it.
    std::chrono::milliseconds patience{5000};
    // Whether a person at a terminal can answer a question on standard input.
    bool interactive = false;
    std::function<std::optional<QByteArray>()> readAnswer;
    std::function<void(QByteArrayView)> writeOut;
    std::function<void(QByteArrayView)> writeErr;
    // Whether the user asked the work to stop (Ctrl+C): a run stops before its next file.
    std::function<bool()> stopRequested;
};

// The environment of this process: the real disk, standard input and output, the XDG folders.
Environment processEnvironment();

// Whether the program's arguments ask for the command line rather than the window.
bool isCommand(int argc, char* argv[]);

// Runs the command line of this process (after isCommand() said yes); the exit status.
int main(int argc, char* argv[]);

// Runs one command, arguments being those after the program's name ("apply", ...), and returns
// the exit status: 0 when every file planned to be renamed was, 1 when some file was not (each
// one told on the error output with why), 2 for a command line or an input that can't be used.
int run(const std::vector<QByteArray>& arguments, const Environment& environment);

// The usage of apply and undo, in Chinese and English, for the program's --help.
const char* commandsUsage();

// Opens the window for the program's arguments, from the module that holds it; the exit status.
int openWindow(int argc, char* argv[]);

} // namespace cli
