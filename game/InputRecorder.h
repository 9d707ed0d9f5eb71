// InputRecorder.h -- CInputRecorder: the play's button queries, recorded per frame or answered
// from a replay, and the replay files that keep a recording.
//
// One 16-bit mask per play frame, bit b for button b (0..15). Recording, a query goes to the key
// input and a held or pushed button sets its bit in the current frame's mask; playing, the
// query is answered from the mask, so a replayed push is true in every frame its bit is set.
// Frames past the masks held (a short file, a longer play) answer "no button".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sdk/input/KeyBase.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CInputRecorder {
public:
    static constexpr int kMaxButton = 15;   // buttons above are asked but never recorded

    // key_input: the live input that recording asks (the game's default key input).
    explicit CInputRecorder(KTL::smart_ptr<CKeyBase> key_input);

    // Held this frame (recorded or replayed).
    bool IsPress(int button);
    // Pushed this frame, recorded into the same bit as IsPress.
    bool IsPush(int button);

    // Frame index 0 and frame count masks of no button; the recording flag stays.
    void Reset();
    // The next frame; stops at the frame count.
    void Advance();

    void SetFrameCount(uint32_t frame_count) { frame_count_ = frame_count; }
    uint32_t GetFrameCount() const { return frame_count_; }
    uint32_t GetFrameIndex() const { return frame_index_; }
    void SetRecording(bool recording) { recording_ = recording; }
    bool IsRecording() const { return recording_; }

    // The mask of a frame; 0 past the masks held.
    uint16_t GetMask(uint32_t frame) const { return frame < words_.size() ? words_[frame] : 0; }
    // Masks held (recorded room or loaded from a file).
    size_t GetMaskCount() const { return words_.size(); }

private:
    friend bool LoadReplayFile(CInputRecorder& recorder, const std::string& name, uint32_t multiplier);

    bool Answer(int button, bool live);

    KTL::smart_ptr<CKeyBase> key_input_;
    uint32_t frame_count_ = 0;       // frames that can be recorded or played
    std::vector<uint16_t> words_;    // one mask per frame
    uint32_t frame_index_ = 0;       // the current frame
    bool recording_ = false;         // true: ask the key input and record
};

// "SaveData/replay" + stage + kind + ".bin" (kind 0 the best flight, 1 the best time).
std::string ReplayFileName(int stage, int kind);

// Writes the recorder as the replay file of a stage and kind (divisor 30).
void SaveReplay(CInputRecorder& recorder, int stage, int kind);
// Writes a little-endian u16 of frame count / divisor, then the masks of frames 0 to frame
// count - 2: 2 x frame count bytes in all. The file's folder is created first and the file is
// replaced atomically; a failure is logged and leaves the old file whole.
void SaveReplayFile(CInputRecorder& recorder, const std::string& name, uint32_t divisor);

// Reads the replay file of a stage and kind (multiplier 30). false on success.
bool LoadReplay(CInputRecorder& recorder, int stage, int kind);
// Reads a file (from the disk or an archive): frame count := its u16 x multiplier, the masks
// it holds for those frames, frame index 0. true, with the recorder unchanged, when the file
// cannot be read or is shorter than its 2-byte count.
bool LoadReplayFile(CInputRecorder& recorder, const std::string& name, uint32_t multiplier);

} // namespace zuderadeDoruVAV3ed
