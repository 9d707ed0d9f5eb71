// dynlib.cpp -- shared libraries by the system's names: "x.dll" is also looked for as "x.so".
#include "platform/dynlib.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/fs.h"
#include "platform/text.h"

// The program's own ELF header (the linker's symbol for it): a library must match its class,
// byte order and machine.
extern "C" const ElfW(Ehdr) __ehdr_start;

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

// Why the open file is not a whole ELF shared object for this program's machine; "" when it
// is. The system loader maps each loadable segment by its file range, and touching a page that
// a cut file no longer holds raises SIGBUS, so every range must lie inside the file.
std::string WhyNotLoadable(FILE* file) {
    struct stat st;
    ElfW(Ehdr) header;
    if (::fstat(::fileno(file), &st) != 0 || std::fread(&header, sizeof header, 1, file) != 1 ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return "not an ELF file";
    if (header.e_ident[EI_CLASS] != __ehdr_start.e_ident[EI_CLASS] ||
        header.e_ident[EI_DATA] != __ehdr_start.e_ident[EI_DATA] || header.e_machine != __ehdr_start.e_machine)
        return "built for another machine";
    if (header.e_type != ET_DYN || header.e_phentsize != sizeof(ElfW(Phdr))) return "not a shared library";
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    const std::string cut = "cut short at " + std::to_string(size) + " bytes";
    std::vector<ElfW(Phdr)> segments(header.e_phnum);
    if (header.e_phoff > size || segments.size() * sizeof(ElfW(Phdr)) > size - header.e_phoff ||
        std::fseek(file, static_cast<long>(header.e_phoff), SEEK_SET) != 0 ||
        std::fread(segments.data(), sizeof(ElfW(Phdr)), segments.size(), file) != segments.size())
        return cut + " (its program headers lie past the end)";
    for (const ElfW(Phdr)& segment : segments)
        if (segment.p_type == PT_LOAD && (segment.p_offset > size || segment.p_filesz > size - segment.p_offset))
            return cut + " (a segment ends at " + std::to_string(segment.p_offset + segment.p_filesz) + ")";
    return "";
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
        // Read through the platform's open, which refuses what is not a regular file.
        FILE* file = OpenFile(path, "rb");
        std::string why = file ? WhyNotLoadable(file) : "cannot be read";
        if (file) std::fclose(file);
        if (!why.empty()) {
            why = path + ": " + why;
        } else if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            g_last_error.clear();
            return handle;
        } else {
            const char* text = dlerror();
            why = text ? text : path;
        }
        errors += (errors.empty() ? "" : "; ") + why;
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
