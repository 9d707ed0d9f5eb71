// video.cpp -- choosing the window's back-end, and what both back-ends share (pumps, dumps).
#include "platform/video.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "platform/bmp.h"
#include "platform/env.h"
#include "platform/input_feed_c.h"
#include "platform/instance.h"
#include "platform/log.h"
#include "platform/video_c.h"

namespace platform {

namespace video_internal {

// SDL would fall back to an off-screen driver by itself, so the display is asked for first.
static bool HasDisplay() {
    return !GetEnv("DISPLAY").empty() || !GetEnv("WAYLAND_DISPLAY").empty();
}

namespace {

// "DIR" or "DIR:EVERY"; a suffix that is not a positive number belongs to the folder name.
void ParseDump(const std::string& value, std::string& dir, long& every) {
    dir = value;
    every = 1;
    size_t colon = value.rfind(':');
    if (colon == std::string::npos || colon + 1 >= value.size()) return;
    char* end = nullptr;
    long n = std::strtol(value.c_str() + colon + 1, &end, 10);
    if (*end != '\0' || n <= 0) return;
    dir = value.substr(0, colon);
    every = n;
}

} // namespace

WindowCommon::WindowCommon() {
    // A value that is not a positive whole number closes the window at its first pump: a run
    // that asked for an end must not run on for ever.
    const std::string max_frames = GetEnv("FLYINGFISH_MAX_FRAMES");
    if (!max_frames.empty()) {
        max_frames_ = GetEnvInt("FLYINGFISH_MAX_FRAMES", 0);
        if (max_frames_ <= 0) {
            LogWrite("video: FLYINGFISH_MAX_FRAMES=" + max_frames +
                     " is not a positive number of frames; the window closes at its first pump");
            max_frames_ = 1;
        }
    }
    std::string dump = GetEnv("FLYINGFISH_DUMP");
    if (!dump.empty()) ParseDump(dump, dump_dir_, dump_every_);
    OpenPostQueue(this);
}

WindowCommon::~WindowCommon() { ClosePostQueue(this); }

bool WindowCommon::NextEvent(WindowEvent& event) {
    if (events_.empty()) return false;
    event = events_.front();
    events_.pop_front();
    return true;
}

void WindowCommon::FinishPump() {
    input_feed::OnPump();
    if (TakeRaiseRequest()) {
        LogWrite("video: a second copy asked for the window; raising it");
        Raise();
    }
    ++pumps_;
    if (max_frames_ > 0 && pumps_ == max_frames_) Queue(WindowEventType::kClose);
}

void WindowCommon::Present(const void* pixels, int pitch, int width, int height) {
    // A frame that cannot be read whole is refused rather than read past its end.
    long long row_bytes = static_cast<long long>(width) * 4;
    if (!pixels || width <= 0 || height <= 0 || std::llabs(pitch) < row_bytes) {
        if (!bad_frame_logged_) {
            char text[160];
            std::snprintf(text, sizeof text, "video: refused a frame (pixels %s, %d x %d, pitch %d)",
                          pixels ? "set" : "null", width, height, pitch);
            LogWrite(text);
            bad_frame_logged_ = true;
        }
        return;
    }
    ShowFrame(pixels, pitch, width, height);
    if (!dump_dir_.empty() && presents_ % dump_every_ == 0) DumpFrame(pixels, pitch, width, height);
    ++presents_;
}

void WindowCommon::DumpFrame(const void* pixels, int pitch, int width, int height) {
    if (dump_failed_) return;
    std::error_code error;
    std::filesystem::create_directories(dump_dir_, error);
    char name[32];
    std::snprintf(name, sizeof name, "/frame%05ld.bmp", presents_);
    if (!WriteBmp(dump_dir_ + name, pixels, pitch, width, height)) {
        LogWrite("video: cannot write frame dumps to " + dump_dir_ + "; dumps stop");
        dump_failed_ = true;
    }
}

bool WriteBmp(const std::string& path, const void* pixels, int pitch, int width, int height) {
    const std::vector<uint8_t> out = EncodeBmp(pixels, pitch, width, height, false);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    ok = (std::fclose(file) == 0) && ok;
    return ok;
}

} // namespace video_internal

std::unique_ptr<Window> Window::Create(const WindowOptions& options) {
    // The back-end is decided by the first window and kept for the process.
    enum class Backend { kUndecided, kSdl, kHeadless };
    static std::mutex mutex;
    static Backend backend = Backend::kUndecided;
    std::lock_guard<std::mutex> lock(mutex);

    // A fall-back to headless that was not asked for is said on stderr whatever the log
    // setting: otherwise the person who started the program sees nothing happen at all.
    const char* const kHowToSee = "; running without a window (for one, start from a desktop session or set DISPLAY "
                                  "to a running X server; FLYINGFISH_VIDEO=headless runs so without this line)";
    if (backend == Backend::kUndecided) {
        std::string wanted = GetEnv("FLYINGFISH_VIDEO");
        if (wanted == "headless") {
            backend = Backend::kHeadless;
        } else {
            if (!wanted.empty() && wanted != "sdl")
                LogWrite("video: unknown FLYINGFISH_VIDEO=" + wanted + "; choosing by the display");
            backend = (wanted == "sdl" || video_internal::HasDisplay()) ? Backend::kSdl : Backend::kHeadless;
            if (backend == Backend::kHeadless)
                LogNotice(std::string("video: no display (DISPLAY and WAYLAND_DISPLAY are not set)") + kHowToSee);
        }
    }
    if (backend == Backend::kSdl) {
        if (auto window = video_internal::CreateSdlWindow(options)) return window;
        LogNotice(std::string("video: no SDL window opens on the display") + kHowToSee);
        backend = Backend::kHeadless;
    }
    return video_internal::CreateHeadlessWindow(options);
}

bool DisplayDepthAvailable(int bits_per_pixel) {
    if (bits_per_pixel != 16 && bits_per_pixel != 24 && bits_per_pixel != 32) return false;
    std::string depths = GetEnv("FLYINGFISH_DEPTHS");
    if (depths.empty()) return true;
    // A list of numbers separated by anything that is not a digit; others are not available.
    const char* p = depths.c_str();
    while (*p) {
        if (*p < '0' || *p > '9') {
            ++p;
            continue;
        }
        char* end = nullptr;
        long n = std::strtol(p, &end, 10);
        if (n == bits_per_pixel) return true;
        p = end;
    }
    return false;
}

} // namespace platform
