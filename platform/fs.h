// fs.h -- files: names, case-insensitive lookup, whole-file reads, atomic replace, temporaries.
//
// Paths from the system's data use '\' or '/' and any letter case; ResolvePath turns them into
// an existing path when there is one: the exact path first, then each component matched
// case-insensitively.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// '\' read as '/'; made absolute against the working directory.
std::string FullName(const std::string& path);
// The existing path that path names (exact, then component by component ignoring ASCII case);
// when nothing exists, path with '\' turned into '/'.
std::string ResolvePath(const std::string& path);
bool FileExists(const std::string& path);
bool IsDirectory(const std::string& path);
// Creates the folder and its parents; true when it exists afterwards.
bool CreateDirectories(const std::string& path);
bool RemoveFile(const std::string& path);

// fopen on the resolved path.
FILE* OpenFile(const std::string& path, const char* mode);
// Whole file into data; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& data);
// Writes size bytes to a temporary file in the same folder, flushes it to disk and renames it
// over path: the old file stays whole until the new one is complete. 0 on success.
int WriteFileAtomic(const std::string& path, const void* data, size_t size);
// A new empty file in the system's temporary folder (mkstemp); "" on failure.
std::string MakeTemporaryFile(const std::string& prefix);
// Folder of the running program (ends without '/').
std::string ProgramDirectory();

} // namespace platform
