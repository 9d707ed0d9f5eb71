// fs.h -- files: names, case-insensitive lookup, whole-file reads, atomic replace, temporaries.
//
// Paths from the system's data use '\' or '/' and any letter case (and may hold CP932 bytes);
// ResolvePath turns them into an existing path when there is one: the exact path first, then
// each component matched ignoring ASCII case. Every function here that takes a path resolves it
// first, so "gamedata\\STAGE1\\x.ltd" finds "GameData/Stage1/X.ltd".
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// '\' read as '/'; made absolute against the working directory; "." and ".." folded away.
std::string FullName(const std::string& path);
// The existing path that path names: exact, else component by component ignoring ASCII case
// (a CP932 component also matches its UTF-8 spelling on disk). The part from the first
// component that does not exist on is kept as given, so a new file in an existing folder of
// another case still lands in that folder. '\' always becomes '/'. A path longer than the
// system's limit (PATH_MAX) is not looked up: it comes back as given, with a log text.
std::string ResolvePath(const std::string& path);
// True when path names something that is not a folder.
bool FileExists(const std::string& path);
// True only when nothing of that name is there (no such file, or a part of the way that is
// not a folder); false when something is, even one that cannot be read or looked at.
bool IsMissing(const std::string& path);
bool IsDirectory(const std::string& path);
// Creates the folder and its parents; true when it exists afterwards.
bool CreateDirectories(const std::string& path);
bool RemoveFile(const std::string& path);

// fopen on the resolved path. A mode that reads ("r", "rb", "r+" ...) opens regular files only:
// a folder gives null, and a FIFO, a device or a socket gives null with a log text, at once
// (the open never waits for a FIFO's writer).
FILE* OpenFile(const std::string& path, const char* mode);
// Whole files are read up to this size; no data file comes near it.
constexpr uint64_t kMaxReadSize = uint64_t{256} << 20;
// Whole file into data; false (data cleared) when it cannot be read or is a folder. A FIFO, a
// device or a socket, and a file larger than kMaxReadSize, are refused with a log text.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& data);
// Reads up to size bytes from the start of the file; the count read, or -1 when it cannot be
// opened or is not a regular file (refused as above).
long ReadFileHead(const std::string& path, void* buffer, size_t size);
// Writes size bytes to a temporary file in the same folder, flushes it to disk and renames it
// over path: the old file stays whole until the new one is complete. 0 on success; 1 when the
// temporary cannot be made (missing or unwritable folder, bad arguments), 2 when writing, 3
// when flushing or closing, 4 when the rename fails. On failure no temporary is left.
int WriteFileAtomic(const std::string& path, const void* data, size_t size);
// Removes the temporaries that atomic writes of the named files (names without a folder) into
// folder left behind when their process was killed before the rename: names of their own form
// only, of this process or of one that has ended; every other entry stays. Meant for start-up,
// before this process writes there. The count removed.
int RemoveStaleTemporaries(const std::string& folder, const std::vector<std::string>& names);
// A new empty file in the system's temporary folder (mkstemp), its name ending in suffix;
// "" on failure.
std::string MakeTemporaryFile(const std::string& prefix, const std::string& suffix = "");
// Folder of the running program (ends without '/').
std::string ProgramDirectory();

} // namespace platform
