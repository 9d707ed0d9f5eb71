// text.h -- CP932 (the data's text) and UTF-8 (the program's literals and the terminal's).
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Conversions through iconv; bytes that do not convert become '?'.
std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);
// For display: keeps valid UTF-8 sequences and converts runs of other bytes from CP932, so a
// UTF-8 literal with a CP932 file name in it prints readably.
std::string ToDisplayUtf8(std::string_view mixed);

} // namespace platform
