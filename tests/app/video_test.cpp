// The headless window: its events, the automatic close, refused frames; display depths.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/video.h"
#include "tests/scratch_dir.h"

namespace {

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

std::vector<platform::WindowEventType> Drain(platform::Window& window) {
    std::vector<platform::WindowEventType> events;
    platform::WindowEvent event;
    while (window.NextEvent(event)) events.push_back(event.type);
    return events;
}

} // namespace

TEST(HeadlessWindow, ActivatesAndClosesAfterMaxFramesPumps) {
    ScopedEnv video("FLYINGFISH_VIDEO", "headless");
    ScopedEnv frames("FLYINGFISH_MAX_FRAMES", "3");
    auto window = platform::Window::Create(platform::WindowOptions{});
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->IsHeadless());
    EXPECT_TRUE(window->HasFocus());
    EXPECT_TRUE(window->SetFullScreen(true));

    window->Pump();
    EXPECT_EQ(Drain(*window), (std::vector<platform::WindowEventType>{platform::WindowEventType::kActivate}));
    window->Pump();
    EXPECT_TRUE(Drain(*window).empty());
    window->Pump();
    EXPECT_EQ(Drain(*window), (std::vector<platform::WindowEventType>{platform::WindowEventType::kClose}));
    // Exactly one close, however long the program goes on pumping.
    for (int i = 0; i < 5; ++i) window->Pump();
    EXPECT_TRUE(Drain(*window).empty());
}

TEST(HeadlessWindow, RefusesFramesThatCannotBeReadWhole) {
    ScopedEnv video("FLYINGFISH_VIDEO", "headless");
    auto window = platform::Window::Create(platform::WindowOptions{});
    ASSERT_TRUE(window);
    std::vector<uint32_t> plane(4 * 4);
    window->Present(nullptr, 16, 4, 4);
    window->Present(plane.data(), 8, 4, 4);     // pitch shorter than a row
    window->Present(plane.data(), 16, 0, 4);
    window->Present(plane.data(), 16, -4, 4);
    // Bottom-up: the first row is last in memory and the pitch is negative.
    window->Present(plane.data() + 12, -16, 4, 4);
    window->Present(plane.data(), 16, 4, 4);
}

TEST(HeadlessWindow, DumpsPresentedFramesAsBottomUpBmp) {
    namespace fs = std::filesystem;
    const testutil::ScratchDir scratch("video_dump_test");
    const fs::path dir = scratch.path() / "dumps";   // made by the first dump
    ScopedEnv video("FLYINGFISH_VIDEO", "headless");
    ScopedEnv dump("FLYINGFISH_DUMP", (dir.string() + ":1").c_str());
    auto window = platform::Window::Create(platform::WindowOptions{});
    ASSERT_TRUE(window);

    // 3 x 2 pixels, rows padded to 16 bytes: top row red, green, blue; bottom row grey levels.
    const uint32_t top[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xDEADBEEF};
    const uint32_t bottom[4] = {0x00101010, 0x00202020, 0x00303030, 0xDEADBEEF};
    std::vector<uint32_t> down(8), up(8);
    std::copy(top, top + 4, down.begin());
    std::copy(bottom, bottom + 4, down.begin() + 4);
    std::copy(bottom, bottom + 4, up.begin());
    std::copy(top, top + 4, up.begin() + 4);
    window->Present(down.data(), 16, 3, 2);
    window->Present(up.data() + 4, -16, 3, 2);   // the same picture kept bottom-up

    auto read = [](const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    std::string first = read(dir / "frame00000.bmp");
    std::string second = read(dir / "frame00001.bmp");
    // Rows of 3 pixels x 3 bytes padded to 12; the file's first row is the picture's last.
    ASSERT_EQ(first.size(), 54u + 2u * 12u);
    EXPECT_EQ(first, second);
    const std::string pixels = first.substr(54);
    const std::string expected("\x10\x10\x10\x20\x20\x20\x30\x30\x30\0\0\0"
                               "\0\0\xFF\0\xFF\0\xFF\0\0\0\0\0",
                               24);
    EXPECT_EQ(pixels, expected);
    EXPECT_EQ(static_cast<uint8_t>(first[18]), 3);    // width
    EXPECT_EQ(static_cast<uint8_t>(first[22]), 2);    // height: positive, bottom-up
    EXPECT_EQ(static_cast<uint8_t>(first[28]), 24);   // bits per pixel
}

TEST(DisplayDepth, ListedDepthsOnly) {
    {
        ScopedEnv depths("FLYINGFISH_DEPTHS", "");
        EXPECT_TRUE(platform::DisplayDepthAvailable(32));
        EXPECT_TRUE(platform::DisplayDepthAvailable(24));
        EXPECT_TRUE(platform::DisplayDepthAvailable(16));
        EXPECT_FALSE(platform::DisplayDepthAvailable(8));
        EXPECT_FALSE(platform::DisplayDepthAvailable(0));
    }
    {
        ScopedEnv depths("FLYINGFISH_DEPTHS", "24,16");
        EXPECT_FALSE(platform::DisplayDepthAvailable(32));
        EXPECT_TRUE(platform::DisplayDepthAvailable(24));
        EXPECT_TRUE(platform::DisplayDepthAvailable(16));
    }
    {
        // 160 is not 16, and nothing valid listed means no depth works.
        ScopedEnv depths("FLYINGFISH_DEPTHS", "160 x");
        EXPECT_FALSE(platform::DisplayDepthAvailable(16));
        EXPECT_FALSE(platform::DisplayDepthAvailable(32));
    }
}
