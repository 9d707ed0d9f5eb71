// input_recorder_test.cpp -- recording and replaying buttons, and the replay files with their short and broken forms.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "game/InputRecorder.h"
#include "sdk/input/KeyBase.h"
#include "tests/scratch_dir.h"

namespace {

using namespace zuderadeDoruVAV3ed;
namespace fs = std::filesystem;

// Key input whose held buttons the test sets for each poll.
class FakeKeys : public CKeyBase {
public:
    int32_t Input() override {
        FlipKeys();
        for (int b = 0; b < 32; ++b) CurrentKeys()[b] = (next >> b) & 1;
        return 0;
    }
    uint32_t next = 0;   // bit b: button b held at the next poll
};

// Each test runs in a fresh working folder (replays go to SaveData/ under it).
class InputRecorderTest : public ::testing::Test {
protected:
    // A recorder set up as the live play scene does.
    CInputRecorder Recording(uint32_t frames) {
        CInputRecorder recorder(KTL::smart_ptr<CKeyBase>::NotOwned(&keys_));
        recorder.SetFrameCount(frames);
        recorder.Reset();
        recorder.SetRecording(true);
        return recorder;
    }
    // Plays frames of random buttons, asking every button 0..6 each frame.
    std::vector<uint16_t> RecordRandom(CInputRecorder& recorder, uint32_t frames) {
        std::mt19937 random(1234);
        std::vector<uint16_t> expected;
        for (uint32_t f = 0; f < frames; ++f) {
            keys_.next = random() & 0x7F;
            keys_.Input();
            for (int b = 0; b <= 6; ++b) recorder.IsPress(b);
            expected.push_back(static_cast<uint16_t>(keys_.next));
            recorder.Advance();
        }
        return expected;
    }
    static std::vector<uint8_t> ReadFile(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
    }
    static void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
        if (path.has_parent_path()) fs::create_directories(path.parent_path());
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    FakeKeys keys_;
    const testutil::ScratchWorkDir scratch_{"ff_recorder"};
    const fs::path dir_ = scratch_.path();
};

TEST_F(InputRecorderTest, RecordsHeldButtonsAndPassesTheAnswerOn) {
    CInputRecorder recorder = Recording(4);
    keys_.next = (1 << 2) | (1 << 5) | (1 << 16);
    keys_.Input();
    EXPECT_TRUE(recorder.IsPress(2));
    EXPECT_TRUE(recorder.IsPush(5));
    EXPECT_FALSE(recorder.IsPress(3));
    EXPECT_TRUE(recorder.IsPress(16)) << "asked, though never recorded";
    EXPECT_FALSE(recorder.IsPress(-1));
    EXPECT_EQ(recorder.GetMask(0), (1 << 2) | (1 << 5));

    // A button held but not asked for stays clear; a second poll without pushes records nothing for push.
    recorder.Advance();
    keys_.Input();
    EXPECT_FALSE(recorder.IsPush(5));
    EXPECT_EQ(recorder.GetMask(1), 0);
}

TEST_F(InputRecorderTest, FramesPastTheCountAreNeitherRecordedNorAdvanced) {
    CInputRecorder recorder = Recording(2);
    keys_.next = 1 << 1;
    keys_.Input();
    for (int i = 0; i < 5; ++i) {
        recorder.IsPress(1);
        recorder.Advance();
    }
    EXPECT_EQ(recorder.GetFrameIndex(), 2u);
    EXPECT_EQ(recorder.GetMaskCount(), 2u);
    EXPECT_TRUE(recorder.IsPress(1)) << "the live answer is still given";
    EXPECT_EQ(recorder.GetMaskCount(), 2u);
}

TEST_F(InputRecorderTest, PlayingAnswersExactlyTheRecordedBits) {
    CInputRecorder source = Recording(40);
    std::vector<uint16_t> expected = RecordRandom(source, 40);
    SaveReplayFile(source, (dir_ / "r.bin").string(), 1);

    CInputRecorder recorder(KTL::smart_ptr<CKeyBase>::NotOwned(&keys_));
    ASSERT_FALSE(LoadReplayFile(recorder, (dir_ / "r.bin").string(), 1));
    recorder.SetRecording(false);
    keys_.next = 0xFFFF;   // the live input is not asked while playing
    keys_.Input();
    for (uint32_t f = 0; f < 39; ++f) {
        for (int b = 0; b < 16; ++b) {
            bool bit = (expected[f] >> b) & 1;
            ASSERT_EQ(recorder.IsPress(b), bit) << "frame " << f << " button " << b;
            ASSERT_EQ(recorder.IsPush(b), bit) << "frame " << f << " button " << b;
        }
        EXPECT_FALSE(recorder.IsPress(16));
        recorder.Advance();
    }
    // The last frame is not in the file (it holds frame count - 1 masks).
    EXPECT_EQ(recorder.GetMaskCount(), 39u);
    EXPECT_FALSE(recorder.IsPress(0));
}

TEST_F(InputRecorderTest, A200SecondRunSavesAndLoadsByWholeSeconds) {
    const uint32_t frames = 200 * 30 + 128;   // 6128
    CInputRecorder recorder = Recording(frames);
    std::vector<uint16_t> expected = RecordRandom(recorder, frames);

    SaveReplay(recorder, 2, 1);
    fs::path file = "SaveData/replay21.bin";
    std::vector<uint8_t> bytes = ReadFile(file);
    ASSERT_EQ(bytes.size(), 12256u);
    EXPECT_EQ(bytes[0] | (bytes[1] << 8), 204);
    for (uint32_t f = 0; f + 1 < frames; ++f) {
        ASSERT_EQ(bytes[2 + 2 * f] | (bytes[3 + 2 * f] << 8), expected[f]) << f;
    }

    CInputRecorder loaded(KTL::smart_ptr<CKeyBase>::NotOwned(&keys_));
    ASSERT_FALSE(LoadReplay(loaded, 2, 1));
    EXPECT_EQ(loaded.GetFrameCount(), 6120u);
    EXPECT_EQ(loaded.GetFrameIndex(), 0u);
    ASSERT_EQ(loaded.GetMaskCount(), 6120u);
    for (uint32_t f = 0; f < 6120; ++f) ASSERT_EQ(loaded.GetMask(f), expected[f]) << f;

    // The play scene then sets its own frame count; frames past the masks answer no button.
    loaded.SetFrameCount(frames);
    loaded.SetRecording(false);
    for (uint32_t f = 0; f < 6120; ++f) loaded.Advance();
    keys_.next = 0xFFFF;
    keys_.Input();
    for (int b = 0; b < 16; ++b) EXPECT_FALSE(loaded.IsPress(b));
}

TEST_F(InputRecorderTest, ShortEmptyAndMissingFiles) {
    CInputRecorder recorder(KTL::smart_ptr<CKeyBase>::NotOwned(&keys_));
    recorder.SetFrameCount(77);

    // Missing, empty and one-byte files fail and leave the recorder as it was.
    EXPECT_TRUE(LoadReplay(recorder, 1, 0));
    WriteFile("SaveData/replay10.bin", {});
    EXPECT_TRUE(LoadReplay(recorder, 1, 0));
    WriteFile("SaveData/replay10.bin", {0x01});
    EXPECT_TRUE(LoadReplay(recorder, 1, 0));
    EXPECT_EQ(recorder.GetFrameCount(), 77u);

    // A header of 1 second with three masks: the three load, the other 27 frames are empty.
    WriteFile("SaveData/replay10.bin", {0x01, 0x00, 0x01, 0x00, 0x02, 0x00, 0x24, 0x00, 0xFF});
    ASSERT_FALSE(LoadReplay(recorder, 1, 0));
    EXPECT_EQ(recorder.GetFrameCount(), 30u);
    EXPECT_EQ(recorder.GetMaskCount(), 3u);
    EXPECT_EQ(recorder.GetMask(0), 0x01);
    EXPECT_EQ(recorder.GetMask(1), 0x02);
    EXPECT_EQ(recorder.GetMask(2), 0x24);
    recorder.SetRecording(false);
    recorder.Advance();
    recorder.Advance();
    EXPECT_TRUE(recorder.IsPress(5));
    recorder.Advance();
    for (int b = 0; b < 16; ++b) EXPECT_FALSE(recorder.IsPress(b));

    // A bare header of 0 seconds is a valid, empty replay.
    WriteFile("SaveData/replay10.bin", {0x00, 0x00});
    EXPECT_FALSE(LoadReplay(recorder, 1, 0));
    EXPECT_EQ(recorder.GetFrameCount(), 0u);
}

TEST_F(InputRecorderTest, SavingCreatesSaveDataAndReplacesTheOldFileWhole) {
    ASSERT_FALSE(fs::exists("SaveData"));
    CInputRecorder recorder = Recording(64);
    RecordRandom(recorder, 64);
    SaveReplay(recorder, 3, 0);
    EXPECT_EQ(fs::file_size("SaveData/replay30.bin"), 128u);

    CInputRecorder shorter = Recording(34);
    SaveReplay(shorter, 3, 0);
    std::vector<uint8_t> bytes = ReadFile("SaveData/replay30.bin");
    ASSERT_EQ(bytes.size(), 68u);
    EXPECT_EQ(bytes[0], 1);
    // No temporary left behind.
    int files = 0;
    for (const auto& entry : fs::directory_iterator("SaveData")) files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(InputRecorderTest, NothingToSaveKeepsTheOldReplay) {
    CInputRecorder recorder = Recording(64);
    SaveReplay(recorder, 1, 1);
    CInputRecorder empty = Recording(0);
    SaveReplay(empty, 1, 1);
    SaveReplayFile(recorder, "SaveData/replay11.bin", 0);
    EXPECT_EQ(fs::file_size("SaveData/replay11.bin"), 128u);
}

TEST_F(InputRecorderTest, AnUnwritableFolderWritesNothingAndKeepsRunning) {
    WriteFile("SaveData", {0x00});   // a file where the folder should be
    CInputRecorder recorder = Recording(64);
    SaveReplay(recorder, 1, 0);
    EXPECT_TRUE(fs::is_regular_file("SaveData"));
    EXPECT_TRUE(LoadReplay(recorder, 1, 0));
}

} // namespace
