// PathHelper.cpp -- extensions and CP932-aware lower-casing.
#include "sdk/file/PathHelper.h"

#include <cstring>

#include "platform/text.h"

namespace zuderadeDoruVAV3ed {

std::string PathHelper::GetSuffix(std::string_view path) {
    // The last component starts after the last separator that is not a second byte ('\' is a
    // valid second byte of CP932 characters such as 0x95 0x5C).
    size_t component = 0;
    size_t dot = std::string_view::npos;
    for (size_t i = 0; i < path.size(); i += platform::Cp932CharLength(path, i)) {
        char c = path[i];
        if (c == '/' || c == '\\') {
            component = i + 1;
            dot = std::string_view::npos;
        } else if (c == '.') {
            dot = i;
        }
    }
    if (dot == std::string_view::npos || dot < component) return "";
    return std::string(path.substr(dot + 1));
}

void ToLowerShiftJis(std::string& text) { platform::Cp932ToLowerAscii(text.data(), text.size()); }

void ToLowerShiftJis(char* text) {
    if (text) platform::Cp932ToLowerAscii(text, std::strlen(text));
}

} // namespace zuderadeDoruVAV3ed
