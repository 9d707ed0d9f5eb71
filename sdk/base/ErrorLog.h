// ErrorLog.h -- the SDK's error log: printf-style texts of at most 512 bytes to one device. It lies
// beneath every other SDK layer (threads, files, drawing, the application frame use it).
#pragma once

namespace zuderadeDoruVAV3ed {

class CErrorLog {
public:
    static constexpr int kMaxText = 512;   // bytes, terminator included
    // Formats (bounded: never past kMaxText) and hands the text to the output device.
    static void Out(const char* format, ...) __attribute__((format(printf, 1, 2)));
    // The same for a text the user must see: also printed when the device discards texts.
    static void Notice(const char* format, ...) __attribute__((format(printf, 1, 2)));
};

} // namespace zuderadeDoruVAV3ed
