#pragma once

#include "platform/filesystem.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <span>
#include <vector>

namespace filelist {

// What the command line asks for: quendra-rename [FOLDER | FILE...].
struct CommandLine {
    enum class Action {
        Open,
        Help,
        Version,
        Refuse,     // the command line can't be used
        Unanswered, // the disk of a path given did not answer
    };

    Action action = Action::Open;
    QByteArray folder;             // the folder given, or the folder of the files given; empty for none
    std::vector<QByteArray> files; // the names of the files given, in folder, to select
    std::vector<QByteArray> leftOut; // the files given in other folders, as given
    QString problem;               // one line for the terminal: why the command line is refused or unanswered
    QByteArray unanswered;         // for Unanswered: the path whose disk did not answer, as given
    QString note;                  // one line for the terminal about files left out, or empty
};

// Reads the arguments after the program's name, as the bytes the shell gave; relative paths are
// taken from workingFolder. A folder opens that folder; files open their folder with those files
// selected (files in other folders than the first one's are left out, with a note); --help and
// --version ask for the text alone.
CommandLine parseCommandLine(const std::vector<QByteArray>& arguments, const QByteArray& workingFolder,
                             const platform::FileSystem& fs);

// parseCommandLine() on a thread of its own, given up when the paths' disk makes no progress for
// patience: then Action::Unanswered, with a problem naming the path it was looking at.
CommandLine parseCommandLinePatiently(const std::vector<QByteArray>& arguments, const QByteArray& workingFolder,
                                      const platform::FileSystem& fs, std::chrono::milliseconds patience);

// The folder the command line opens when it is many plain names, as a shell's pattern gives
// them: the working folder, unless parseCommandLine() refuses the line. Empty for any other line,
// whose folder only parseCommandLine() can tell. The window can be made ready in that folder
// while the names are checked.
// Reads the arguments as the program was given them: making a copy of each would cost
// milliseconds before the window is begun.
QByteArray folderOfManyNames(std::span<char* const> arguments, const QByteArray& workingFolder);

// Whether a program in programFolder is installed on the system (under /usr, /usr/local or
// /opt), where its folder is no place for the user's files.
bool isInstalledLocation(const QByteArray& programFolder);

// The folder the window opens on without arguments: the program's own folder (a build tree, a
// portable copy), or the home folder when the program is installed.
QByteArray defaultStartFolder(const QByteArray& programFolder, const QByteArray& home);

} // namespace filelist
