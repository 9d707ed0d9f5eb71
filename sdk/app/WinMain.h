// WinMain.h -- the SDK's entry: prepares the SDK, refuses a second copy, runs the application
// thread and waits for every thread. A program's main calls it with a way to make its application.
#pragma once

#include <string>

#include "sdk/thread/AppInitializer.h"

namespace zuderadeDoruVAV3ed {

class CAppFrame;

// Makes the application object (new; the thread manager owns it once started); null: none.
using AppFactory = CAppFrame* (*)();

// Returns 0: also for a second copy, which only asks the running copy to raise its window.
int WinMain(InstanceHandle instance, InstanceHandle previous_instance, const std::string& command_line,
            int show_command, AppFactory make_app);

} // namespace zuderadeDoruVAV3ed
