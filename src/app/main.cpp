#include "console/terminal_console.h"
#include "app/startup.h"

int main(int argc, char** argv)
{
    lumo::TerminalConsole console;
    return lumo::RunEditor(console, argc, argv, &console.OpenError(), true);
}
