// DataFiles.h -- what the game's loaders share: counting the data files they miss or refuse,
// and writing a file into a folder that is created when missing.
#pragma once

#include <cstddef>
#include <string>

namespace zuderadeDoruVAV3ed {

// Logs a data file that a loader cannot use ("<caller>で<file>が使えない (<why>)") and counts it;
// with tell_user the text is printed even when the log is off.
void ReportDataFailure(const char* caller, const std::string& file, const char* why, bool tell_user = false);
// Data files missed or refused since the start (or the last reset).
int GetDataFailureCount();
void ResetDataFailureCount();

// Creates the file's folder when missing, then replaces the file atomically. 0 on success;
// non-zero (logged with caller) when the folder cannot be made or the write fails.
int WriteFileInFolder(const std::string& name, const void* data, size_t size, const char* caller);

} // namespace zuderadeDoruVAV3ed
