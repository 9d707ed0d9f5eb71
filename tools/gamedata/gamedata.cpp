// gamedata.cpp -- the content generator: writes the game's data folder (keyword files, lists,
// pictures, sound effects and music) under a root folder.
//
//   gamedata ROOT          the full content: ROOT/GameData
//   gamedata --mini ROOT   a small set for tests (short sounds, the same files and formats)
//
// Text files are CR LF with full quoted paths; keyed pictures carry their colour key at (0, 0).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audio.h"
#include "canvas.h"
#include "content.h"

namespace gamedata {

bool g_failed = false;

void WriteBytes(const std::string& root, const std::string& relative, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path path = std::filesystem::path(root) / relative;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (bytes.empty() || !out) {
        std::fprintf(stderr, "gamedata: cannot write %s\n", path.c_str());
        g_failed = true;
    }
}

void WriteText(const std::string& root, const std::string& relative, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    WriteBytes(root, relative, std::vector<uint8_t>(text.begin(), text.end()));
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

} // namespace gamedata

int main(int argc, char** argv) {
    using namespace gamedata;
    bool mini = false;
    std::string root;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--mini") mini = true;
        else root = arg;
    }
    if (root.empty()) {
        std::fprintf(stderr, "usage: gamedata [--mini] ROOT\n");
        return 2;
    }
    WriteSettings(root, mini);
    WriteLogo(root);
    WriteFonts(root);
    WriteSounds(root, mini);
    WriteInterface(root, mini);
    WriteStages(root, mini);
    WriteTitle(root);
    WriteStageDemos(root);
    WriteSceneScreens(root, mini);
    WriteDemoPlay(root);
    return g_failed ? 1 : 0;
}
