// StringScanner.h -- reads one line of a keyword text file: "#Keyword" words, whole numbers,
// decimals and double-quoted or bare strings, separated by blanks, tabs and commas.
//
//   CStringScanner s;
//   s.SetText(line);
//   if (s.IsMatch("//")) continue;                    // comment line
//   if (s.IsMatch("#WaitInKey")) { s.GetNum(button); } // test longer keywords before prefixes
//   else if (s.IsMatch("#Wait")) { s.GetNum(frames); }
//
// The line is CP932: separators and quotes never occur as the second byte of a double-byte
// character, and the walk steps over those second bytes anyway.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace zuderadeDoruVAV3ed {

class CStringScanner {
public:
    CStringScanner() = default;
    explicit CStringScanner(std::string_view line) { SetText(line); }

    // Copies the line and starts scanning at its first byte.
    void SetText(std::string_view line);

    // Skips separators, then compares keyword with the text there ignoring ASCII case (a prefix
    // match: "#Wait" matches "#WaitInKey"). On a match moves past it and returns true; otherwise
    // leaves the position where it was and returns false.
    bool IsMatch(std::string_view keyword);
    // Skips separators and reads an optionally negative whole number. 0 when one was read; 1
    // otherwise (also when it does not fit an int), with value and position unchanged.
    int GetNum(int& value);
    // The same for a decimal number ("-1.25", "3", ".5"), read the same in every locale.
    int GetFloat(float& value);
    // Skips separators and reads a double-quoted string (without its quotes; an unclosed quote
    // runs to the end of the line) or a bare word up to the next separator. 0 when a string was
    // read, 1 at the end of the line (value unchanged).
    int GetStr(std::string& value);

    // True when only separators are left.
    bool IsEnd();
    // The unread rest of the line.
    std::string_view GetRest() const { return std::string_view(text_).substr(position_); }

private:
    void SkipSeparators();
    // Skips separators and hands the number there to parse; on failure (no number, or parse
    // refuses it) the position goes back to where it was. 0 when read, 1 otherwise.
    int ReadNumber(bool allow_fraction, const std::function<bool(std::string_view)>& parse);

    std::string text_;     // the line's bytes (CP932)
    size_t position_ = 0;  // next byte to scan
};

} // namespace zuderadeDoruVAV3ed
