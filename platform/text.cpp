// text.cpp -- CP932 <-> UTF-8 through glibc's iconv.
#include "platform/text.h"

#include <cerrno>
#include <iconv.h>

namespace platform {

namespace {

// Converts in with iconv from -> to; a byte that does not convert becomes '?'.
std::string Convert(std::string_view in, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    std::string out;
    out.resize(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    size_t src_left = in.size();
    char* dst = out.data();
    size_t dst_left = out.size();
    while (src_left > 0) {
        if (iconv(cd, &src, &src_left, &dst, &dst_left) != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) break;   // cannot happen with 4x room; stop rather than loop
        // EILSEQ or EINVAL: skip one byte and mark it.
        ++src;
        --src_left;
        if (dst_left == 0) break;
        *dst++ = '?';
        --dst_left;
    }
    out.resize(out.size() - dst_left);
    iconv_close(cd);
    return out;
}

// Length of the valid UTF-8 sequence at s (non-ASCII), or 0.
size_t Utf8SequenceLength(std::string_view s) {
    auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char c = b(0);
    size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
    if (n == 0 || (c >= 0xF5) || s.size() < n) return 0;
    for (size_t i = 1; i < n; ++i)
        if ((b(i) & 0xC0) != 0x80) return 0;
    return n;
}

} // namespace

bool IsValidUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        size_t n = Utf8SequenceLength(text.substr(i));
        if (n == 0) return false;
        i += n;
    }
    return true;
}

void Cp932ToLowerAscii(char* text, size_t size) {
    std::string_view view(text, size);
    for (size_t i = 0; i < size; i += Cp932CharLength(view, i)) {
        text[i] = ToLowerAscii(text[i]);
    }
}

std::string Cp932ToUtf8(std::string_view cp932) { return Convert(cp932, "UTF-8", "CP932"); }
std::string Utf8ToCp932(std::string_view utf8) { return Convert(utf8, "CP932", "UTF-8"); }

std::string ToDisplayUtf8(std::string_view mixed) {
    std::string out;
    size_t i = 0;
    while (i < mixed.size()) {
        unsigned char c = static_cast<unsigned char>(mixed[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (size_t n = Utf8SequenceLength(mixed.substr(i))) {
            out.append(mixed.substr(i, n));
            i += n;
            continue;
        }
        // A run of bytes that are not UTF-8: CP932 text from data. A lead byte takes its trail
        // byte along (which may be ASCII); half-width katakana are single bytes.
        size_t start = i;
        while (i < mixed.size() && static_cast<unsigned char>(mixed[i]) >= 0x80 &&
               Utf8SequenceLength(mixed.substr(i)) == 0) {
            i += Cp932CharLength(mixed, i);
        }
        out += Cp932ToUtf8(mixed.substr(start, i - start));
    }
    return out;
}

} // namespace platform
