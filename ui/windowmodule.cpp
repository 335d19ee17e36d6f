// The window as a module of its own, loaded by the program only when it opens a window: the
// command line starts without the widget libraries.

#include "ui/application.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT int quendra_window_main(int argc, char* argv[], const char* moreUsage)
{
    return ui::runApplication(argc, argv, moreUsage);
}
