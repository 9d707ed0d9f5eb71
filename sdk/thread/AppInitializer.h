// AppInitializer.h -- CAppInitializer: the entry's first object; it records the entry's four
// arguments, marks that threads may exist and, at its end, waits for every SDK thread and
// destroys the singletons.
#pragma once

#include <string>

namespace zuderadeDoruVAV3ed {

// An opaque module handle: the platform has none, callers only pass it on.
using InstanceHandle = void*;

// One per process, constructed on the main thread before any SDK thread starts.
class CAppInitializer {
public:
    CAppInitializer(InstanceHandle instance, InstanceHandle previous_instance, std::string command_line,
                    int show_command);
    // Waits until every thread of CThreadManager has ended, destroys the singletons (newest
    // first) and clears the threads-may-exist flag.
    ~CAppInitializer();
    CAppInitializer(const CAppInitializer&) = delete;
    CAppInitializer& operator=(const CAppInitializer&) = delete;

    // The recorded arguments (null, null, "", 0 before any initializer was made).
    static InstanceHandle GetInstanceHandle();
    static InstanceHandle GetPrevInstanceHandle();
    static const std::string& GetCommandLine();
    static int GetShowCommand();
};

} // namespace zuderadeDoruVAV3ed
