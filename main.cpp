#include "cli/cli.h"

// "apply" and "undo" run on the command line without a display, on QtCore alone; anything else
// opens the window, whose libraries are loaded only then.
int main(int argc, char* argv[])
{
    if (cli::isCommand(argc, argv))
        return cli::main(argc, argv);
    return cli::openWindow(argc, argv);
}
