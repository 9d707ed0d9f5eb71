// text.h -- CP932 (the data's text) and UTF-8 (the program's literals and the terminal's).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Conversions through iconv; bytes that do not convert become '?'.
std::string Cp932ToUtf8(std::string_view cp932);
std::string Utf8ToCp932(std::string_view utf8);
// For display: keeps valid UTF-8 sequences and converts runs of other bytes from CP932, so a
// UTF-8 literal with a CP932 file name in it prints readably.
std::string ToDisplayUtf8(std::string_view mixed);

// True when text is well-formed UTF-8 (plain ASCII is).
bool IsValidUtf8(std::string_view text);

// True for the first byte of a CP932 double-byte character (0x81-0x9F, 0xE0-0xFC).
inline bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
// Bytes taken by the character at text[i]: 2 for a lead byte with a byte after it, else 1
// (a lone lead byte at the end counts as one, so walks always stop at the end).
inline size_t Cp932CharLength(std::string_view text, size_t i) {
    return IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}
// The one ASCII lower-casing of the program: 'A'-'Z' become 'a'-'z', every other byte (all of
// 0x80-0xFF included) stays, whatever the locale.
inline char ToLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
// Equal when lower-cased by ToLowerAscii.
inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
    return true;
}
// Lower-cases ASCII letters in place, stepping over the second bytes of double-byte characters.
void Cp932ToLowerAscii(char* text, size_t size);

} // namespace platform
