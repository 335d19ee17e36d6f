#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The folder holding the executable of the running program, as the system knows it (links
// followed); empty if it can't tell.
QByteArray runningProgramFolder();

// Loads the shared module at path, for good, and finds the function symbol in it: its address,
// or nullptr with why in error (the loader's own words).
void* loadModuleFunction(const QByteArray& path, const char* symbol, QString& error);

} // namespace platform
