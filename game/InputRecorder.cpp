// InputRecorder.cpp -- recording and replaying the play's buttons; the replay file format.
#include "game/InputRecorder.h"

#include <algorithm>
#include <utility>

#include "game/DataFiles.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/file/File.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr uint32_t kFramesPerSecond = 30;   // replay files count their length in seconds
} // namespace

CInputRecorder::CInputRecorder(KTL::smart_ptr<CKeyBase> key_input) : key_input_(std::move(key_input)) {}

bool CInputRecorder::Answer(int button, bool live) {
    bool recordable = button >= 0 && button <= kMaxButton;
    if (!recording_) {
        return recordable && frame_index_ < frame_count_ && ((GetMask(frame_index_) >> button) & 1) != 0;
    }
    if (live && recordable && frame_index_ < frame_count_) {
        // Room for every frame, even when the count grew without a Reset.
        if (words_.size() < frame_count_) words_.resize(frame_count_, 0);
        words_[frame_index_] |= static_cast<uint16_t>(1u << button);
    }
    return live;
}

bool CInputRecorder::IsPress(int button) {
    return Answer(button, recording_ && key_input_->IsKeyPress(button));
}

bool CInputRecorder::IsPush(int button) {
    return Answer(button, recording_ && key_input_->IsKeyPush(button));
}

void CInputRecorder::Reset() {
    frame_index_ = 0;
    words_.assign(frame_count_, 0);
}

void CInputRecorder::Advance() {
    if (frame_index_ < frame_count_) ++frame_index_;
}

std::string ReplayFileName(int stage, int kind) {
    return "SaveData/replay" + std::to_string(stage) + std::to_string(kind) + ".bin";
}

void SaveReplay(CInputRecorder& recorder, int stage, int kind) {
    SaveReplayFile(recorder, ReplayFileName(stage, kind), kFramesPerSecond);
}

void SaveReplayFile(CInputRecorder& recorder, const std::string& name, uint32_t divisor) {
    uint32_t frames = recorder.GetFrameCount();
    // An empty file could not be loaded again; keep whatever replay is there instead.
    if (frames == 0 || divisor == 0) {
        CErrorLog::Out("SaveReplayFileで書くものがない(%s)", name.c_str());
        return;
    }
    // The count word, then the masks of frames 0 .. frames - 2, all little-endian.
    std::vector<uint8_t> bytes(2 * static_cast<size_t>(frames));
    uint16_t count = static_cast<uint16_t>(frames / divisor);
    bytes[0] = static_cast<uint8_t>(count);
    bytes[1] = static_cast<uint8_t>(count >> 8);
    for (uint32_t frame = 0; frame + 1 < frames; ++frame) {
        uint16_t mask = recorder.GetMask(frame);
        bytes[2 + 2 * frame] = static_cast<uint8_t>(mask);
        bytes[3 + 2 * frame] = static_cast<uint8_t>(mask >> 8);
    }

    WriteFileInFolder(name, bytes.data(), bytes.size(), "SaveReplayFile");
}

bool LoadReplay(CInputRecorder& recorder, int stage, int kind) {
    return LoadReplayFile(recorder, ReplayFileName(stage, kind), kFramesPerSecond);
}

bool LoadReplayFile(CInputRecorder& recorder, const std::string& name, uint32_t multiplier) {
    CFile file;
    if (file.ReadWithArchive(name) != 0) return true;
    const uint8_t* data = file.GetData();
    size_t size = file.GetSize();
    if (!data || size < 2) {
        CErrorLog::Out("LoadReplayFileでファイルが短すぎる(%s)", name.c_str());
        return true;
    }

    uint32_t seconds = data[0] | (static_cast<uint32_t>(data[1]) << 8);
    uint64_t frames = std::min<uint64_t>(uint64_t{seconds} * multiplier, UINT32_MAX);
    // A file cut short gives the masks it holds; the frames after them read as no button.
    uint64_t held = std::min<uint64_t>(frames, (size - 2) / 2);
    if (held < frames) CErrorLog::Out("LoadReplayFileでファイルが短い(%s)", name.c_str());

    recorder.frame_count_ = static_cast<uint32_t>(frames);
    recorder.words_.assign(static_cast<size_t>(held), 0);
    for (size_t i = 0; i < held; ++i) {
        recorder.words_[i] = static_cast<uint16_t>(data[2 + 2 * i] | (data[3 + 2 * i] << 8));
    }
    recorder.frame_index_ = 0;
    return false;
}

} // namespace zuderadeDoruVAV3ed
