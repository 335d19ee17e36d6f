#include "cli/cli.h"
#include "ui/application.h"

// "apply" and "undo" run on the command line without a display; anything else opens the window.
int main(int argc, char* argv[])
{
    if (cli::isCommand(argc, argv))
        return cli::main(argc, argv);
    return ui::runApplication(argc, argv, cli::commandsUsage());
}
