// main.cpp -- the game's entry: the SDK's start-up with the game's application.
#include <string>

#include "game/GameMain.h"
#include "sdk/app/WinMain.h"

namespace {
zuderadeDoruVAV3ed::CAppFrame* MakeGameApp() { return new zuderadeDoruVAV3ed::CGameApp(); }
} // namespace

int main(int argc, char** argv) {
    std::string command_line;
    for (int i = 1; i < argc; ++i) command_line += (i > 1 ? " " : "") + std::string(argv[i]);
    return zuderadeDoruVAV3ed::WinMain(nullptr, nullptr, command_line, 1, &MakeGameApp);
}
