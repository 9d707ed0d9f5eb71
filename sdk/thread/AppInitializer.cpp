// AppInitializer.cpp -- the entry's arguments, the threads-may-exist flag and the end of the run.
#include "sdk/thread/AppInitializer.h"

#include "sdk/ktl/exception.h"
#include "sdk/thread/Singleton.h"
#include "sdk/thread/Thread.h"

namespace zuderadeDoruVAV3ed {

namespace {

struct EntryArguments {
    InstanceHandle instance = nullptr;
    InstanceHandle previous_instance = nullptr;
    std::string command_line;
    int show_command = 0;
};

// Written on the main thread before any SDK thread starts; read-only afterwards.
EntryArguments& Recorded() {
    static EntryArguments arguments;
    return arguments;
}

} // namespace

CAppInitializer::CAppInitializer(InstanceHandle instance, InstanceHandle previous_instance,
                                 std::string command_line, int show_command) {
    KTL::InstallExceptionReporter();
    EntryArguments& recorded = Recorded();
    recorded.instance = instance;
    recorded.previous_instance = previous_instance;
    recorded.command_line = std::move(command_line);
    recorded.show_command = show_command;
    SetThreadsMayExist(true);
}

CAppInitializer::~CAppInitializer() {
    CThreadManager::GetInstance()->WaitAll();
    DestroySingletons();
    SetThreadsMayExist(false);
}

InstanceHandle CAppInitializer::GetInstanceHandle() { return Recorded().instance; }
InstanceHandle CAppInitializer::GetPrevInstanceHandle() { return Recorded().previous_instance; }
const std::string& CAppInitializer::GetCommandLine() { return Recorded().command_line; }
int CAppInitializer::GetShowCommand() { return Recorded().show_command; }

} // namespace zuderadeDoruVAV3ed
