// game_test_util.h -- helpers of the game's tests: small planes of one colour, pixel reads,
// and files written byte by byte.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sdk/draw/FastPlane.h"
#include "sdk/draw/Surface.h"

namespace gametest {

using namespace zuderadeDoruVAV3ed;

// An XRGB plane of w x h filled with colour (0x00RRGGBB).
inline KTL::smart_ptr<CFastPlane> SolidPlane(int w, int h, uint32_t colour) {
    KTL::smart_ptr<CFastPlane> plane(new CFastPlane());
    plane->CreateSurface(w, h);
    plane->SetFillColor(0xFF000000 | colour);
    plane->Clear(nullptr);
    return plane;
}

// The colour at (x, y) as 0x00RRGGBB.
inline uint32_t PixelAt(ISurface& surface, int x, int y) {
    CSurfaceInfo* info = surface.GetSurfaceInfo();
    CSurfaceLockGuard lock(*info);
    if (lock.Failed()) return 0xDEADBEEF;
    return PixelToARGB(info->PixelAt(x, y), info->GetSurfaceType()) & 0xFFFFFF;
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Lines joined with CR LF.
inline void WriteLines(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace gametest
