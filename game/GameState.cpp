// GameState.cpp -- the run state's reset, Init.ltd, the save file and per-stage paths.
#include "game/GameState.h"

#include <cstring>
#include <vector>

#include "game/BitmapFont.h"
#include "game/DataFiles.h"
#include "game/InputRecorder.h"
#include "platform/fs.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/file/File.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {

void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t GetU32(const uint8_t* p) {
    return p[0] | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
bool IsStoredStage(int stage) { return stage >= 1 && stage <= SaveRecord::kStages; }

// Reads three whole numbers; a missing one stays 0.
void GetThree(CStringScanner& scanner, int (&values)[3]) {
    for (int& v : values) scanner.GetNum(v);
}

// A record the game never writes (a jump past 9999.99 m or a time past 99:59:99, which takes in
// every negative one) takes its default from Init.ltd; the rest of the file is kept as read.
void ReplaceUnwritableRecords(SaveRecord& save, const SaveRecord& defaults) {
    auto keep = [](uint32_t& value, uint32_t low, uint32_t high, uint32_t fallback, const char* what, int stage) {
        if ((value >= low && value <= high) || value == fallback) return;
        CErrorLog::Out("LoadGameSettings %sのステージ%dの%s %uは書かれ得ない値なので%uにする", kSaveFile, stage, what,
                       value, fallback);
        value = fallback;
    };
    for (int i = 0; i < SaveRecord::kStages; ++i) {
        keep(save.best_flight[i], 0, kMaxShownDistance, defaults.best_flight[i], "最長飛距離", i + 1);
        keep(save.best_time[i], 0, kMaxShownTime, defaults.best_time[i], "最短時間", i + 1);
    }
}

// Reads Init.ltd into the state; false when it cannot be read. Without it no stage is set and a
// new game ends at once, so the player is told, log or no log.
bool ReadSettings(CGameState& state) {
    CFile settings;
    if (settings.ReadWithArchive(kSettingsFile) != 0) {
        ReportDataFailure("LoadGameSettings", kSettingsFile, "読めない: ステージが決まらず遊べない", true);
        return false;
    }
    std::string line;
    CStringScanner scanner;
    while (settings.ReadTextLine(line) == 0) {
        scanner.SetText(line);
        int values[3] = {};
        if (scanner.IsMatch("//")) continue;
        if (scanner.IsMatch("#StartStage")) {
            ReadNumberIn(scanner, state.current_stage, 0, kMaxStageNumber, "LoadGameSettings", "#StartStage");
        } else if (scanner.IsMatch("#FinalStage")) {
            ReadNumberIn(scanner, state.final_stage, 0, kMaxStageNumber, "LoadGameSettings", "#FinalStage");
        } else if (scanner.IsMatch("#JumpHiScoreDefault")) {
            GetThree(scanner, values);
            for (int i = 0; i < 3; ++i) state.save.best_flight[i] = static_cast<uint32_t>(values[i]) << 16;
        } else if (scanner.IsMatch("#TimeHiScoreDefault")) {
            GetThree(scanner, values);
            for (int i = 0; i < 3; ++i) state.save.best_time[i] = static_cast<uint32_t>(values[i]) * 100u;
        }
    }
    return true;
}

// The files the game writes into the save folder, without the folder: the save file and the
// replays of the stored stages.
std::vector<std::string> SavedFileNames() {
    const auto leaf = [](const std::string& path) { return path.substr(path.find_last_of('/') + 1); };
    std::vector<std::string> names = {leaf(kSaveFile)};
    for (int stage = 1; stage <= SaveRecord::kStages; ++stage)
        for (int kind : {0, 1}) names.push_back(leaf(ReplayFileName(stage, kind)));
    return names;
}

} // namespace

void SaveRecord::ToBytes(uint8_t (&bytes)[kFileSize]) const {
    for (int i = 0; i < kStages; ++i) {
        PutU32(bytes + 4 * i, best_flight[i]);
        PutU32(bytes + 12 + 4 * i, best_time[i]);
        bytes[24 + i] = cleared[i];
    }
    bytes[27] = spare;
}

void SaveRecord::FromBytes(const uint8_t* bytes) {
    for (int i = 0; i < kStages; ++i) {
        best_flight[i] = GetU32(bytes + 4 * i);
        best_time[i] = GetU32(bytes + 12 + 4 * i);
        cleared[i] = bytes[24 + i];
    }
    spare = bytes[27];
}

void SaveRecord::SetBestFlight(int stage, uint32_t value) {
    if (IsStoredStage(stage)) best_flight[stage - 1] = value;
}
void SaveRecord::SetBestTime(int stage, uint32_t value) {
    if (IsStoredStage(stage)) best_time[stage - 1] = value;
}
void SaveRecord::SetCleared(int stage, bool value) {
    if (IsStoredStage(stage)) cleared[stage - 1] = value ? 1 : 0;
}
uint32_t SaveRecord::GetBestFlight(int stage) const { return IsStoredStage(stage) ? best_flight[stage - 1] : 0; }
uint32_t SaveRecord::GetBestTime(int stage) const { return IsStoredStage(stage) ? best_time[stage - 1] : 0; }
bool SaveRecord::IsCleared(int stage) const { return IsStoredStage(stage) && cleared[stage - 1] != 0; }
bool SaveRecord::BeatsBestTime(int stage, uint32_t time) const {
    return IsStoredStage(stage) && (best_time[stage - 1] == 0 || time < best_time[stage - 1]);
}

void CGameState::Reset(CGameMainThread* new_owner) {
    *this = CGameState();
    owner = new_owner;
    replay_stage = 1;
}

int LoadGameSettings(CGameState& state) {
    const bool have_settings = ReadSettings(state);

    // A save or replay write killed before its rename leaves its temporary file behind.
    if (int removed = platform::RemoveStaleTemporaries(kSaveFolder, SavedFileNames()))
        CErrorLog::Out("LoadGameSettings %sに残った書きかけの一時ファイルを%d個消した", kSaveFolder, removed);
    CFile save;
    if (save.ReadWithArchive(kSaveFile) == 0) {
        if (save.GetSize() >= SaveRecord::kFileSize) {
            const SaveRecord defaults = state.save;
            state.save.FromBytes(save.GetData());
            ReplaceUnwritableRecords(state.save, defaults);
        } else {
            // Not a record: the defaults stay in memory and the file is kept as it is.
            CErrorLog::Out("LoadGameSettings %sが短すぎる(%zuバイト)ので使わない", kSaveFile, save.GetSize());
        }
    } else if (!platform::IsMissing(kSaveFile)) {
        // It is there but cannot be read (no permission, a folder, a read error): any write
        // would replace the records it may hold.
        state.save_unreadable = true;
        CErrorLog::Notice("LoadGameSettings %sが読めない: 既定の記録で遊び、この回は記録もリプレイも書かない", kSaveFile);
    } else if (have_settings) {
        SaveGameData(state);
    }
    return have_settings ? 0 : 1;
}

int SaveGameData(CGameState& state) {
    if (state.save_unreadable) {
        CErrorLog::Out("SaveGameData %sは起動時に読めなかったので書かない", kSaveFile);
        return 1;
    }
    uint8_t bytes[SaveRecord::kFileSize];
    state.save.ToBytes(bytes);
    return WriteFileInFolder(kSaveFile, bytes, sizeof bytes, "SaveGameData");
}

void InsertStageNumber(const CGameState& state, std::string& path) {
    size_t at = path.find("Stage");
    if (at == std::string::npos) return;
    path.insert(at + 5, std::to_string(state.current_stage));
}

} // namespace zuderadeDoruVAV3ed
