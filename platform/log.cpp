// log.cpp -- the log device: FLYINGFISH_LOG=stderr prints each text as UTF-8; default discards.
#include "platform/log.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "platform/env.h"
#include "platform/text.h"

namespace platform {

namespace {

std::mutex g_print_mutex;
std::mutex g_capture_mutex;
std::function<void(std::string_view)> g_capture;   // under g_capture_mutex

bool LogToStderr() {
    static const bool enabled = GetEnv("FLYINGFISH_LOG") == "stderr";
    return enabled;
}

void Capture(std::string_view text) {
    std::lock_guard<std::mutex> lock(g_capture_mutex);
    if (g_capture) g_capture(text);
}

} // namespace

void PrintError(std::string_view text) {
    std::string line = ToDisplayUtf8(text);
    std::lock_guard<std::mutex> lock(g_print_mutex);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void LogWrite(std::string_view text) {
    Capture(text);
    if (LogToStderr()) PrintError(text);
}

void LogNotice(std::string_view text) {
    Capture(text);
    PrintError(text);
}

void SetLogCaptureForTest(std::function<void(std::string_view)> capture) {
    std::lock_guard<std::mutex> lock(g_capture_mutex);
    g_capture = std::move(capture);
}

} // namespace platform
