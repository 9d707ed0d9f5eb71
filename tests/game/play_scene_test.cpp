// play_scene_test.cpp -- the play of a stage on the test data set: pause and retry, the records
// kept at the goal, the replay search over stages and kinds, and the demo-play sign.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

#include "game/AirGauge.h"
#include "game/FlyingDistance.h"
#include "game/GameTimer.h"
#include "game/InputRecorder.h"
#include "game/PlayScene.h"
#include "game/SceneSound.h"
#include "game/SoundSets.h"
#include "platform/audio.h"
#include "platform/audio_mix.h"
#include "sdk/app/ObjectCreater.h"
#include "sdk/sound/StreamFactory.h"
#include "sdk/sound/WaveStream.h"
#include "sdk/sound/WaveSound.h"
#include "play_test_util.h"
#include "tests/sound/sound_test_util.h"

namespace {

using namespace playtest;
namespace fs = std::filesystem;

constexpr int kUp = 1, kDown = 2, kRight = 4, kDecide = 5, kCancel = 6;

class PlaySceneTest : public PlayObjectTest {
protected:
    void SetUp() override {
        PlayObjectTest::SetUp();
        fs::copy(fs::path(FF_BINARY_DIR) / "gd-mini" / "GameData", "GameData", fs::copy_options::recursive);
        registry_->GetGameState()->final_stage = 3;
    }

    // A live play of stage 1, loaded and recording.
    void LoadLive() {
        recorder_ = std::make_unique<CInputRecorder>(KTL::smart_ptr<CKeyBase>(registry_->GetInputPtr()));
        recorder_->SetRecording(true);
        play_.Load(nullptr, recorder_.get());
        recorder_->Reset();
    }
    // Frames with the buttons held until the state is reached (at most limit frames).
    bool RunUntil(int state, uint32_t held, int limit = 400) {
        for (int i = 0; i < limit; ++i) {
            Poll(held);
            play_.OnMove();
            play_.OnDraw(nullptr);
            ClearRecords();
            if (play_.GetState() == state) return true;
        }
        return false;
    }
    void PushFrame(int button) {
        Poll(0);
        Poll(1u << button);
        play_.OnMove();
    }

    std::unique_ptr<CInputRecorder> recorder_;
    CGameMainScene play_;
};

TEST_F(PlaySceneTest, PauseFreezesThePlayAndRetryStartsItAfresh) {
    LoadLive();
    const int start_gauge = play_.GetGauge().GetAmount();
    ASSERT_GT(start_gauge, 0);
    ASSERT_TRUE(RunUntil(CGameMainScene::kPlay, 0));
    for (int i = 0; i < 40; ++i) RunUntil(-1, 1u << kRight, 1);
    ASSERT_LT(play_.GetGauge().GetAmount(), start_gauge) << "swimming spends the gauge";

    PushFrame(kCancel);
    ASSERT_TRUE(play_.IsPaused());
    const int32_t x = play_.GetPlayer().GetLive().x;
    const int32_t time = play_.GetTimer().GetCurrent();
    const uint32_t index = recorder_->GetFrameIndex();
    // The menu opens and waits; nothing of the play moves meanwhile.
    for (int i = 0; i < 60; ++i) RunUntil(-1, 1u << kRight, 1);
    EXPECT_EQ(play_.GetPlayer().GetLive().x, x);
    EXPECT_EQ(play_.GetTimer().GetCurrent(), time);
    EXPECT_EQ(recorder_->GetFrameIndex(), index);

    PushFrame(kDecide);   // retry is the first item
    ASSERT_TRUE(RunUntil(CGameMainScene::kStart, 0, 200) || play_.GetState() == CGameMainScene::kStartDemo);
    EXPECT_FALSE(play_.IsPaused());
    EXPECT_EQ(play_.GetGauge().GetAmount(), start_gauge) << "the gauge starts where the stage starts";
    EXPECT_EQ(play_.GetTimer().GetCurrent(), play_.GetTimer().GetLimit());
    EXPECT_EQ(recorder_->GetFrameIndex(), 0u);
    EXPECT_EQ(play_.GetPlayer().GetLive().x, play_.GetPlayer().GetLoaded().x);
    EXPECT_EQ(play_.GetDistance().GetBestJump(), 0);
}

TEST_F(PlaySceneTest, ALiveGoalSoundsAndShowsTheScoreOverTheBackdrop) {
    registry_->GetFontSet()->Load();
    LoadLive();
    ASSERT_TRUE(RunUntil(CGameMainScene::kScoreShow, 1u << kRight, 600));
    EXPECT_TRUE(play_.GetGoal().reached);
    EXPECT_EQ(play_.GetGoal().x, play_.GetPlayer().GetLive().x);
    EXPECT_NE(std::find(sounds_.begin(), sounds_.end(), std::pair{11, 0}), sounds_.end()) << "the goal sound";
    // The show's picture and texts are recorded with the backdrop's layers, so they lie above it.
    Poll(0);
    play_.OnMove();
    play_.OnDraw(nullptr);
    std::map<int32_t, int> layers;
    for (const DrawRecord& record : Records()) ++layers[record.layer];
    EXPECT_GT(layers[2000], 0) << "the clear picture";
    EXPECT_GT(layers[1000], 0) << "the jump and time texts";
    EXPECT_GT(layers[8000] + layers[7000], 0) << "the backdrop";
    EXPECT_EQ(layers[6000] + layers[5000], 0) << "no fish and no player";
    // High up the backdrop's fill goes on the back plane itself, beneath the clear picture.
    ClearRecords();
    const_cast<GameCamera&>(play_.GetCamera()).y = 1100 << 10;
    KTL::smart_ptr<CFastPlane> back = gametest::SolidPlane(640, 480, 0);
    play_.OnDraw(back.get());
    FlushDrawRecords(Deferred(), back.get());
    int picture = 0;
    for (int y = 104; y < 208; ++y) picture += gametest::PixelAt(*back, 320, y) != 0x2660C4;
    EXPECT_GT(picture, 0) << "the clear picture's band is not all fill";
}

TEST_F(PlaySceneTest, AClearedStageWaitsForItsFanfareBeforeItSavesAndGoesOn) {
    platform::UseManualAudioOutput(true);   // nothing plays on by itself: the test stops it
    std::ofstream("GameData/Sound/f.wav", std::ios::binary) << soundtest::WavBytes({});
    gametest::WriteLines(CBGMSet::kListFile,
                         {"#BGMFileCount 2", "#BGMFile \"none\"", "#BGMFile \"GameData/Sound/f.wav\""});
    registry_->GetBGMSet()->Create();
    LoadLive();
    ASSERT_TRUE(RunUntil(CGameMainScene::kFadeOut, 1u << kRight, 800));
    for (int i = 0; i < 30; ++i) RunUntil(-1, 0, 1);   // the wipe has long ended
    EXPECT_FALSE(fs::exists(kSaveFile)) << "nothing is stored while the fanfare plays";
    StopSceneBGM();
    RunUntil(-1, 0, 1);
    EXPECT_TRUE(fs::exists(kSaveFile));
}

// The real content, music and effects together on the capture device: eating, leaps and the
// goal fanfare over the stage's music never reach full scale, and the stage starts without a click
// after its story's music, faded out by the main volume, stopped and the volume reset. Decoded,
// every effect and every track played once (the title, the stage clear, the game over) starts and
// ends within +-64, such a track fades in over its first millisecond and out over its last 5 ms,
// and a looping track's step from its end to its start is one of its ordinary steps.
TEST_F(PlaySceneTest, AStageWithItsSoundsNeverClips) {
    fs::remove_all("GameData");
    fs::create_directory_symlink(fs::path(FF_BINARY_DIR) / "GameData", "GameData");
    platform::UseManualAudioOutput(true);
    ASSERT_EQ(GetObjectCreater()->LoadPlugIn(FF_BINARY_DIR "/plugin/or.dll"), 0);
    registry_->GetSESet()->Load(kSoundChannels);
    registry_->GetBGMSet()->Create();
    dynamic_cast<CSound&>(*registry_->GetBGMSet()->GetSound()).SetStreamMode(false);   // no refill thread to race
    PlaySceneBGM(4, true);
    FadeOutMainVolume(800);   // at once, without an application to step the fade
    platform::RenderManualAudio(platform::kMixRate);
    StopSceneBGM();
    ResetMainVolume();
    platform::TakeCapturedAudio();
    platform::SetAudioCapture(true);
    LoadLive();
    // Down to the fish for a second, then up and out of the water, again and again.
    for (int frame = 0; frame < 1400 && play_.GetState() != CGameMainScene::kBeginFade; ++frame) {
        RunUntil(-1, 1u << kRight | 1u << (frame % 80 < 30 ? kDown : kUp), 1);
        platform::RenderManualAudio(platform::kMixRate / 30);
    }
    platform::SetAudioCapture(false);
    StopSceneBGM();
    for (int effect : {23, 2, 3, 11}) {   // eaten, out of and into the water, the goal
        EXPECT_NE(std::find_if(sounds_.begin(), sounds_.end(), [&](auto s) { return s.first == effect; }), sounds_.end())
            << effect;
    }
    const std::vector<int16_t> captured = platform::TakeCapturedAudio();
    int peak = 0, start_step = 0;
    for (int16_t v : captured) peak = std::max(peak, std::abs(int{v}));
    EXPECT_LT(peak, 32767) << "clipped";
    for (size_t i = 0; i < 2 * platform::kMixRate / 100; ++i)   // the first 10 ms, after silence
        start_step = std::max(start_step, std::abs(captured[i] - (i < 2 ? 0 : captured[i - 2])));
    EXPECT_LE(start_step, 1500) << "a click at the stage start";

    CStreamFactory factory;
    factory.GetExtensionMap()->SetStr("ogg", "CVorbisStream");
    for (const auto& entry : fs::recursive_directory_iterator("GameData/Sound")) {
        const std::string kind = entry.path().extension().string(), name = entry.path().stem().string();
        if (kind != ".wav" && kind != ".mp3" && kind != ".ogg") continue;
        KTL::smart_ptr<IWaveStream> stream = factory.CreateStream(entry.path().string());
        ASSERT_EQ(stream->GetFormat()->bits_per_sample, 16) << name;
        const size_t channels = stream->GetFormat()->channels, ms = stream->GetFormat()->samples_per_sec / 1000 * channels;
        std::vector<int16_t> pcm(1 << 21);
        size_t size = 0;
        while (uint32_t n = stream->Read(&pcm[size], static_cast<uint32_t>(2 * (pcm.size() - size)))) size += n / 2;
        ASSERT_GT(size, 10 * ms) << name;
        int loudest = 0, first_ms = 0, step = 0, edge = 0, wrap = 0;
        double end_energy = 0;
        for (size_t i = 0; i < size; ++i) {
            loudest = std::max(loudest, std::abs(int{pcm[i]}));
            if (i < ms) first_ms = std::max(first_ms, std::abs(int{pcm[i]}));
            if (i >= channels) step = std::max(step, std::abs(pcm[i] - pcm[i - channels]));
            if (i + 5 * ms >= size) end_energy += pcm[i] * pcm[i];
            if (i < channels || i + channels >= size) edge = std::max(edge, std::abs(int{pcm[i]}));
            if (i < channels) wrap = std::max(wrap, std::abs(pcm[i] - pcm[size - channels + i]));
        }
        if (kind == ".ogg" && name != "Title" && name != "Clear" && name != "GameOver") {
            EXPECT_LE(wrap, step) << name << ": the loop point";
        } else {
            EXPECT_LE(edge, 64) << name << ": the first or the last sample";
            const bool faded = std::sqrt(end_energy / (5 * ms)) < 327.67 && first_ms * 4 < loudest;
            EXPECT_TRUE(faded || kind != ".ogg") << name << ": the last 5 ms or the first millisecond";
        }
    }
}

TEST_F(PlaySceneTest, RecordsFallOnlyWhenStrictlyBetter) {
    struct Case {
        const char* name;
        int stage;
        uint32_t flight, time;   // stored records
        int32_t leap;            // the run's best jump (world units)
        int frames;              // timer frames run: elapsed = 3 per frame, roughly
        bool flight_replay, time_replay, saved;
    };
    LoadLive();
    const int32_t limit = play_.GetTimer().GetLimit() >> 10;
    auto elapsed_after = [&](int frames) {
        play_.GetTimer().Reset();
        for (int i = 0; i < frames; ++i) play_.GetTimer().Move();
        return static_cast<uint32_t>(limit - (play_.GetTimer().GetCurrent() >> 10));
    };
    const uint32_t e30 = elapsed_after(30);
    const Case cases[] = {
        {"both fall", 1, 100, e30 + 1, 5000, 30, true, true, true},
        {"equal records keep the old", 2, 5000, e30, 5000, 30, false, false, true},
        {"only the time", 3, 6000, e30 + 1, 5000, 30, false, true, true},
        {"a stored time of 0 is no time yet", 1, 6000, 0, 5000, 30, false, true, true},
        {"a stage past the save record", 4, 0, 0, 5000, 30, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all("SaveData");
        CGameState& state = *registry_->GetGameState();
        state.save = SaveRecord();
        state.save.SetBestFlight(c.stage, c.flight);
        state.save.SetBestTime(c.stage, c.time);
        CFlyingDistance& distance = play_.GetDistance();
        distance.Reset();
        for (auto [x, y] : {std::pair{0, -10}, {0, 10}, {c.leap, 10}, {c.leap, -10}}) distance.Track(x, y);
        ASSERT_EQ(distance.GetBestJump(), c.leap);
        ASSERT_EQ(elapsed_after(c.frames), e30);

        play_.StoreRecords(c.stage);
        EXPECT_EQ(fs::exists(ReplayFileName(c.stage, 0)), c.flight_replay);
        EXPECT_EQ(fs::exists(ReplayFileName(c.stage, 1)), c.time_replay);
        EXPECT_EQ(fs::exists(kSaveFile), c.saved);
        EXPECT_EQ(state.save.GetBestFlight(c.stage), c.flight_replay ? 5000u : c.flight);
        EXPECT_EQ(state.save.GetBestTime(c.stage), c.time_replay ? e30 : c.time);
        EXPECT_EQ(state.save.IsCleared(c.stage), c.stage <= 3);
        if (c.flight_replay && c.time_replay) {
            EXPECT_EQ(gametest::ReadBytes(ReplayFileName(c.stage, 0)), gametest::ReadBytes(ReplayFileName(c.stage, 1)));
        }
    }
}

TEST_F(PlaySceneTest, TheReplaySearchWalksStagesAndKindsFromTheCursor) {
    struct Case {
        std::set<std::pair<int, int>> files;   // stage, kind
        std::pair<int, int> cursor;            // stage, kind before
        int found;                             // stage loaded, 0 for none
        std::pair<int, int> after;
    };
    const Case cases[] = {
        {{{1, 1}}, {1, 0}, 1, {2, 1}},
        {{{2, 0}, {3, 1}}, {3, 0}, 3, {1, 0}},
        {{{2, 0}}, {2, 0}, 2, {3, 0}},
        {{}, {1, 0}, 0, {1, 0}},
        {{{9, 0}}, {2, 1}, 0, {2, 1}},   // a stage past the final one is never asked for
    };
    for (const Case& c : cases) {
        fs::remove_all("SaveData");
        fs::create_directories("SaveData");
        for (auto [stage, kind] : c.files) gametest::WriteBytes(ReplayFileName(stage, kind), {1, 0, 0x10, 0});
        gametest::WriteBytes(ReplayFileName(1, 0), {7});   // cut short before its count: not a replay
        if (c.files.count({1, 0})) gametest::WriteBytes(ReplayFileName(1, 0), {1, 0, 0x10, 0});
        CGameState& state = *registry_->GetGameState();
        state.replay_stage = c.cursor.first;
        state.replay_kind = c.cursor.second;
        CInputRecorder recorder{KTL::smart_ptr<CKeyBase>()};
        EXPECT_EQ(FindReplay(state, recorder), c.found) << c.cursor.first << "," << c.cursor.second;
        EXPECT_EQ(std::pair(state.replay_stage, state.replay_kind), c.after);
        if (c.found) {
            EXPECT_EQ(recorder.GetFrameCount(), 30u);
        }
    }
}

TEST_F(PlaySceneTest, TheDemoPlaySignFadesInAndIsOptional) {
    CDemoPlayLogo missing;
    missing.Load("GameData/Shared/LoadList/NoSuchFile.ltd");
    EXPECT_EQ(missing.GetPicture(), nullptr);
    EXPECT_EQ(GetDataFailureCount(), 0) << "a missing sign is not a data failure";

    CDemoPlayLogo logo;
    logo.Load();
    ASSERT_NE(logo.GetPicture(), nullptr);
    EXPECT_EQ(GetDataFailureCount(), 0);
    for (int frame = 1; frame <= 300; ++frame) {
        logo.Draw();
        EXPECT_EQ(logo.GetAlpha(), std::min(frame, 255));
        ASSERT_EQ(Records().size(), 1u);
        EXPECT_EQ(Records()[0].layer, 250);
        ClearRecords();
    }
}

} // namespace
