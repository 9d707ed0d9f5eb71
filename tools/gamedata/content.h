// content.h -- the parts of the game's data that the generator writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gamedata {

extern bool g_failed;   // a file could not be written

void WriteBytes(const std::string& root, const std::string& relative, const std::vector<uint8_t>& bytes);
// Lines joined with CR LF.
void WriteText(const std::string& root, const std::string& relative, const std::vector<std::string>& lines);
std::string Quoted(const std::string& path);

// Init.ltd.
void WriteSettings(const std::string& root, bool mini);
// The logo card.
void WriteLogo(const std::string& root);
// BitmapText.ltd and the glyph sheets.
void WriteFonts(const std::string& root);
// The title picture, its menu and the stage-select cards.
void WriteTitle(const std::string& root);
// The stage demos' scripts, story pictures and message panels.
void WriteStageDemos(const std::string& root);
// The game-over demo and the ranking.
void WriteSceneScreens(const std::string& root, bool mini);
// SE.vll and BGM.vll with their effects and music.
void WriteSounds(const std::string& root, bool mini);
// The play's interface, pause menu, stage demos and score show of every stage.
void WriteInterface(const std::string& root, bool mini);
// The goal line of each stage in world pixels (the full content): a longer course each stage.
constexpr int kGoalPixels[3] = {9600, 19200, 28800};

// DemoPlay.ltd and the sign over a replay.
void WriteDemoPlay(const std::string& root);
// The play content of stages 1 to 3 (gd-mini: a short stage 1 of two fish).
void WriteStages(const std::string& root, bool mini);

} // namespace gamedata
