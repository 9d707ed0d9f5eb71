// DataFiles.h -- what the game's loaders share: counting the data files they miss or refuse,
// and writing a file into a folder that is created when missing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zuderadeDoruVAV3ed {

class CStringScanner;

// Logs a data file that a loader cannot use ("<caller>で<file>が使えない (<why>)") and counts it;
// with tell_user the text is printed even when the log is off.
void ReportDataFailure(const char* caller, const std::string& file, const char* why, bool tell_user = false);
// Data files missed or refused since the start (or the last reset).
int GetDataFailureCount();
void ResetDataFailureCount();

// Numbers read from data files are held where the code that uses them cannot overflow.
// value held to lo .. hi; a value outside is logged with caller and what and cut to the nearer end.
int32_t HoldInRange(int64_t value, int32_t lo, int32_t hi, const char* caller, const char* what);
// Reads the next whole number into value, held to lo .. hi (logged as above). GetNum's result;
// value is unchanged when no number was read.
int ReadNumberIn(CStringScanner& scanner, int& value, int lo, int hi, const char* caller, const char* what);
// Screen coordinates and sizes in pixels: far past any screen, yet small enough that sums,
// products and 22.10 forms of them stay inside 32 bits.
constexpr int kMaxScreenPixels = 1 << 16;
// An easing rate or spring (22.10) of 2.0 or more: each step lands as far past the target or
// farther, so it never settles.
constexpr int32_t kNeverSettlingRate = 2 * 1024;
// An easing rate (22.10) that settles: below 0 is 0; a rate between 1.0 and 2.0 overshoots and
// swings back, one of kNeverSettlingRate or more lands at once instead (1.0), as such a spring
// does. Logged when changed.
int32_t SettlingRate(int64_t rate, const char* caller, const char* what);
// A rate or spring (22.10) that arrives: as SettlingRate, and one of 0 or below, which makes no
// step of its own (a mover would creep by 1/1024 px a frame, a spring not at all), lands at once
// instead (1.0). Logged when changed.
int32_t ArrivingRate(int64_t rate, const char* caller, const char* what);
// Reads "x y", each held to -kMaxScreenPixels .. kMaxScreenPixels (a missing one stays as it was).
void ReadScreenPoint(CStringScanner& scanner, int& x, int& y, const char* caller, const char* what);

// Creates the file's folder when missing, then replaces the file atomically. 0 on success;
// non-zero (logged with caller) when the folder cannot be made or the write fails.
int WriteFileInFolder(const std::string& name, const void* data, size_t size, const char* caller);

} // namespace zuderadeDoruVAV3ed
