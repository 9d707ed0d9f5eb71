// GameState.h -- CGameState: the run state of the game with its 28-byte save record, the
// start-up settings (Init.ltd), the save file and the per-stage data paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zuderadeDoruVAV3ed {

class CGameMainThread;

// The save record, laid out as "SaveData/save.bin": 28 bytes, little-endian, no header.
struct SaveRecord {
    static constexpr int kStages = 3;
    static constexpr size_t kFileSize = 28;

    uint32_t best_flight[kStages] = {};   // play-scene distance units
    uint32_t best_time[kStages] = {};     // play-scene time units
    uint8_t cleared[kStages] = {};        // 0 or 1
    uint8_t spare = 0;

    void ToBytes(uint8_t (&bytes)[kFileSize]) const;
    void FromBytes(const uint8_t* bytes);   // kFileSize bytes

    // Stage 1 to 3 only; other stages are not stored.
    void SetBestFlight(int stage, uint32_t value);
    void SetBestTime(int stage, uint32_t value);
    void SetCleared(int stage, bool cleared);
    uint32_t GetBestFlight(int stage) const;   // 0 outside 1 to 3
    uint32_t GetBestTime(int stage) const;
    bool IsCleared(int stage) const;
    // Whether a clear of the stage in this time takes its best time: a faster one does (an equal
    // one keeps the old record), and any does over a stored 0, which means no time yet (an Init.ltd
    // without default times leaves it). False outside 1 to 3.
    bool BeatsBestTime(int stage, uint32_t time) const;
};

struct CGameState {
    CGameMainThread* owner = nullptr;
    int32_t current_stage = 0;     // 1-based
    int32_t final_stage = 0;
    int32_t spare_words[2] = {};
    int32_t replay_stage = 0;      // the replay cursor
    int32_t replay_kind = 0;       // 0 flight record, 1 time record
    uint8_t replay = 0;            // the play scene replays a record
    int32_t attract_toggle = 0;    // 0: the title idles into the ranking, 1: into a replay
    uint8_t quit = 0;              // the main loop ends
    uint8_t single_stage = 0;      // a stage chosen from the stage select
    SaveRecord save;
    bool save_unreadable = false;  // save.bin is there but could not be read: no save or replay is written

    // The start-up reset: every run field cleared, the owner set, replay stage 1; the save
    // record becomes a new, empty one.
    void Reset(CGameMainThread* new_owner);
};

// Init.ltd's stage numbers are held to 0 .. this: every stage number stays far inside 32 bits
// and the replay search, which tries two files a stage, stays short.
constexpr int kMaxStageNumber = 99;

constexpr const char kSettingsFile[] = "GameData/Initialize/LoadList/Init.ltd";
constexpr const char kSaveFolder[] = "SaveData";
constexpr const char kSaveFile[] = "SaveData/save.bin";

// Reads Init.ltd into the state, then the save file over its record, whether Init.ltd was read
// or not. Only a missing save file (no such file) is created, with the Init.ltd defaults, and
// only when Init.ltd was read; a save file shorter than the record is logged and left as it is
// (the defaults stay in memory). A save file that is there but cannot be read is said on stderr
// whatever the log setting, the defaults stay in memory and save_unreadable is set. An Init.ltd
// that cannot be read is said on stderr whatever the log setting too. 0; 1 when Init.ltd cannot
// be read.
int LoadGameSettings(CGameState& state);
// Replaces the save file with the record (atomically; SaveData is created when missing).
// 0 on success; non-zero on failure (logged) or when save_unreadable is set (nothing written),
// the record stays in memory.
int SaveGameData(CGameState& state);
// Inserts the current stage's number after the first "Stage" of the path.
void InsertStageNumber(const CGameState& state, std::string& path);

} // namespace zuderadeDoruVAV3ed
