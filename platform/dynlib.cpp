// dynlib.cpp -- shared libraries by the system's names: "x.dll" is also looked for as "x.so".
#include "platform/dynlib.h"

#include <dlfcn.h>

#include <filesystem>
#include <vector>

#include "platform/fs.h"
#include "platform/text.h"

namespace platform {

namespace {

thread_local std::string g_last_error;

bool EndsWithDll(const std::string& name) {
    return name.size() >= 4 && EqualsIgnoringAsciiCase(std::string_view(name).substr(name.size() - 4), ".dll");
}

// The paths to try, in order: each spelling from the working directory, then from the
// program's own directory (absolute names as they stand).
std::vector<std::string> Candidates(std::string name) {
    for (char& c : name)
        if (c == '\\') c = '/';
    std::vector<std::string> spellings{name};
    if (EndsWithDll(name)) spellings.push_back(name.substr(0, name.size() - 4) + ".so");
    std::vector<std::string> paths;
    for (const std::string& spelling : spellings) {
        if (!spelling.empty() && spelling[0] == '/') {
            paths.push_back(spelling);
            continue;
        }
        std::error_code error;
        std::filesystem::path cwd = std::filesystem::current_path(error);
        if (!error) paths.push_back((cwd / spelling).string());
        paths.push_back(ProgramDirectory() + "/" + spelling);
    }
    return paths;
}

} // namespace

LibraryHandle LoadLibrary(const std::string& name) {
    if (name.empty()) {
        g_last_error = "empty library name";
        return nullptr;
    }
    std::string errors;
    for (const std::string& path : Candidates(name)) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error)) continue;
        if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            g_last_error.clear();
            return handle;
        }
        const char* why = dlerror();
        errors += (errors.empty() ? "" : "; ") + std::string(why ? why : path);
    }
    g_last_error = errors.empty() ? name + ": not found" : errors;
    return nullptr;
}

void* GetSymbol(LibraryHandle library, const char* symbol) {
    if (!library || !symbol) {
        g_last_error = "no library or no symbol name";
        return nullptr;
    }
    dlerror();
    void* address = dlsym(library, symbol);
    if (!address) {
        const char* why = dlerror();
        g_last_error = why ? why : std::string(symbol) + ": not found";
    }
    return address;
}

void FreeLibrary(LibraryHandle library) {
    if (library) dlclose(library);
}

std::string GetLastLibraryError() { return g_last_error; }

} // namespace platform
