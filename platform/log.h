// log.h -- the error log's output device. FLYINGFISH_LOG=stderr prints; otherwise discarded.
#pragma once

#include <functional>
#include <string_view>

namespace platform {

// Hands one formatted log text to the chosen device.
void LogWrite(std::string_view text);
// Prints text to stderr as UTF-8, whatever the log device (for fatal errors).
void PrintError(std::string_view text);
// A log text the user must see: handed on as LogWrite does, and printed to stderr once even
// when the log device discards texts.
void LogNotice(std::string_view text);

// For tests: every text handed to LogWrite also goes to capture (empty function: none). The
// capture is called under the log's lock, one text at a time.
void SetLogCaptureForTest(std::function<void(std::string_view)> capture);

} // namespace platform
