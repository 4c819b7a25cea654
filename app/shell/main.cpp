// Program entry: start-up, the event loop, shutdown; the exit code is 0.
#include "app/shell/shell.h"

int main() {
    // A start-up that could not open the main window ends without saving,
    // so the settings of the last good run stay as they were.
    if (!StartUp()) return 0;
    RunMainLoop();
    ShutDown();
    return 0;
}
