// PathHelper.h -- small CP932-aware helpers for file names and keywords.
#pragma once

#include <string>
#include <string_view>

namespace zuderadeDoruVAV3ed {

namespace PathHelper {
// The extension of the path's last component, without the dot ("" when it has none).
// '\' and '/' both separate components.
std::string GetSuffix(std::string_view path);
} // namespace PathHelper

// Lower-cases the ASCII letters of a CP932 string in place, stepping over the second byte of
// each double-byte character; stops at the end even after a lone lead byte.
void ToLowerShiftJis(std::string& text);
// The same for a zero-terminated string (null: nothing).
void ToLowerShiftJis(char* text);

} // namespace zuderadeDoruVAV3ed
