// GameObject.cpp -- the play objects' shared helpers.
#include "game/GameObject.h"

#include <cmath>

#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "game/GameState.h"
#include "sdk/app/Rand.h"
#include "sdk/draw/Sprite.h"
#include "sdk/file/File.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

int32_t ToFixed(float value) {
    const double scaled = std::trunc(static_cast<double>(value) * 1024.0);
    if (!(scaled == scaled)) return 0;   // not a number
    if (scaled >= 2147483647.0) return INT32_MAX;
    if (scaled <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(scaled);
}

std::string StagePath(const std::string& path) {
    std::string full = path;
    if (const CGameState* state = CGameObjectRegistry::GetInstance()->GetGameState()) InsertStageNumber(*state, full);
    return full;
}

bool ReadDataLines(const std::string& file, const char* caller, std::vector<std::string>& lines) {
    CFile in;
    if (in.ReadWithArchive(file) != 0) {
        ReportDataFailure(caller, file, "読めない");
        return false;
    }
    std::string line;
    CStringScanner scanner;
    while (in.ReadTextLine(line) == 0) {
        scanner.SetText(line);
        if (!scanner.IsMatch("//")) lines.push_back(line);
    }
    return true;
}

bool ReadKeywordFile(const std::string& file, const char* caller, const std::function<void(CStringScanner&)>& line) {
    std::vector<std::string> lines;
    if (!ReadDataLines(file, caller, lines)) return false;
    CStringScanner scanner;
    for (const std::string& text : lines) {
        scanner.SetText(text);
        line(scanner);
    }
    return true;
}

KTL::smart_ptr<CFastPlane> LoadPicture(const std::string& file, const char* caller) {
    KTL::smart_ptr<CFastPlane> picture(new CFastPlane());
    picture->SetSystemMemoryFlag(true);
    if (picture->Load(file) != 0) ReportDataFailure(caller, file, "画像が読めない");
    return picture;
}

ISurface* DrawListAt(ISurface* destination, int32_t layer) {
    CDrawListPlane* list = CGameObjectRegistry::GetInstance()->GetDrawListPlane();
    if (!list) return destination;
    list->SetLayer(layer);
    return list;
}

bool SpriteInView(const CSprite& sprite, int32_t x, int32_t y, const GameCamera& camera) {
    const CSpriteFrame* frame = sprite.GetCurrentFrame();
    if (!frame) return false;
    const int64_t r = int64_t{frame->rect.right} * 1024, b = int64_t{frame->rect.bottom} * 1024;
    return x - r <= int64_t{camera.x} + 327680 && x + r >= int64_t{camera.x} - 327680 &&
           y - b <= int64_t{camera.y} + 245760 && y + b >= int64_t{camera.y} - 245760;
}

uint32_t NextRandom() {
    CRand* random = CGameObjectRegistry::GetInstance()->GetRandom();
    return random ? random->Get() : 0;
}

} // namespace zuderadeDoruVAV3ed
