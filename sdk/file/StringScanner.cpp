// StringScanner.cpp -- keyword-line scanning; numbers are read the same in every locale.
#include "sdk/file/StringScanner.h"

#include <charconv>

#include "platform/text.h"

namespace zuderadeDoruVAV3ed {

namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number at the start of text: '-'? digits ('.' digits)? (fraction allowed only
// when allow_fraction); 0 when there is no digit.
size_t NumberLength(std::string_view text, bool allow_fraction) {
    size_t i = 0, digits = 0;
    if (i < text.size() && text[i] == '-') ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (allow_fraction && i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    return digits > 0 ? i : 0;
}

} // namespace

void CStringScanner::SetText(std::string_view line) {
    text_.assign(line.data(), line.size());
    position_ = 0;
}

void CStringScanner::SkipSeparators() {
    while (position_ < text_.size() && IsSeparator(text_[position_])) ++position_;
}

bool CStringScanner::IsEnd() {
    SkipSeparators();
    return position_ >= text_.size();
}

bool CStringScanner::IsMatch(std::string_view keyword) {
    size_t start = position_;
    SkipSeparators();
    if (keyword.empty() || text_.size() - position_ < keyword.size()) {
        position_ = start;
        return false;
    }
    if (!platform::EqualsIgnoringAsciiCase(std::string_view(text_).substr(position_, keyword.size()), keyword)) {
        position_ = start;
        return false;
    }
    position_ += keyword.size();
    return true;
}

int CStringScanner::ReadNumber(bool allow_fraction, const std::function<bool(std::string_view)>& parse) {
    size_t start = position_;
    SkipSeparators();
    std::string_view token = GetRest().substr(0, NumberLength(GetRest(), allow_fraction));
    if (token.empty() || !parse(token)) {
        position_ = start;
        return 1;
    }
    position_ += token.size();
    return 0;
}

// from_chars: no locale, no leading '+', and out-of-range values fail instead of clamping.
int CStringScanner::GetNum(int& value) {
    return ReadNumber(false, [&value](std::string_view token) {
        return std::from_chars(token.data(), token.data() + token.size(), value).ec == std::errc();
    });
}

int CStringScanner::GetFloat(float& value) {
    return ReadNumber(true, [&value](std::string_view token) {
        float parsed = 0;
        if (std::from_chars(token.data(), token.data() + token.size(), parsed, std::chars_format::fixed).ec !=
            std::errc()) {
            return false;
        }
        value = parsed;
        return true;
    });
}

int CStringScanner::GetStr(std::string& value) {
    SkipSeparators();
    if (position_ >= text_.size()) return 1;
    size_t end;
    if (text_[position_] == '"') {
        size_t open = position_ + 1;
        end = open;
        while (end < text_.size() && text_[end] != '"') end += platform::Cp932CharLength(text_, end);
        value = text_.substr(open, end - open);
        position_ = end < text_.size() ? end + 1 : text_.size();   // past the closing quote
        return 0;
    }
    end = position_;
    while (end < text_.size() && !IsSeparator(text_[end])) end += platform::Cp932CharLength(text_, end);
    value = text_.substr(position_, end - position_);
    position_ = end;
    return 0;
}

} // namespace zuderadeDoruVAV3ed
