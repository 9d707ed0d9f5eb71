// dynlib.h -- loading shared libraries by the names the system uses ("plugin/or.dll").
#pragma once

#include <string>

namespace platform {

using LibraryHandle = void*;

// Loads name; a name ending in ".dll" is also tried with ".so" in its place. Relative names
// are tried from the working directory, then from the program's own directory. A file that is
// not a whole ELF shared object for this machine (a cut copy, another machine's library) is
// refused before the system loader sees it. Null on failure (GetLastLibraryError tells why).
LibraryHandle LoadLibrary(const std::string& name);
void* GetSymbol(LibraryHandle library, const char* symbol);
void FreeLibrary(LibraryHandle library);
std::string GetLastLibraryError();

} // namespace platform
