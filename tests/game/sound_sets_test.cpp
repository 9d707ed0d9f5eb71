// sound_sets_test.cpp -- the game's sound sets on the manual audio device: effects numbered by the
// lines of their list and played on channels, music tracks by the lines of theirs, bad numbers,
// channels and lists refused with a log text, and the scenes' sound calls reaching the sets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/DataFiles.h"
#include "game/GameObjectRegistry.h"
#include "game/SceneSound.h"
#include "game/SoundCue.h"
#include "game/SoundSets.h"
#include "platform/audio.h"
#include "sdk/sound/WaveOutput.h"
#include "tests/game/game_test_util.h"
#include "tests/scratch_dir.h"
#include "tests/sound/sound_test_util.h"

namespace {

using namespace zuderadeDoruVAV3ed;

class SoundSetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::UseManualAudioOutput(true);
        // Three short effects and three tracks, as the lists name them.
        for (const char* name : {"a", "b", "c"}) {
            soundtest::WavSpec spec;
            spec.frames = 22050;
            gametest::WriteBytes(dir_.path() / "GameData/Sound" / (std::string(name) + ".wav"),
                                 Bytes(soundtest::WavBytes(spec)));
        }
    }
    static std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
    void SeList(const std::vector<std::string>& lines) {
        gametest::WriteLines(dir_.path() / CSESet::kListFile, lines);
    }
    void BgmList(const std::vector<std::string>& lines) {
        gametest::WriteLines(dir_.path() / CBGMSet::kListFile, lines);
    }

    testutil::ScratchWorkDir dir_{"sound_sets"};
    soundtest::LogCapture log_;
};

TEST_F(SoundSetsTest, EffectsShareOneSoundPerEntryAcrossChannels) {
    SeList({"// effects", "GameData/Sound/a.wav", "GameData/Sound/b.wav", "GameData/Sound/missing.wav"});
    CSESet set;
    EXPECT_FALSE(set.PlaySE(0, 0));   // not loaded: refused
    set.Load(32);
    EXPECT_EQ(set.GetChannelCount(), 32);
    ASSERT_EQ(set.GetCache()->GetCount(), 3u);

    ASSERT_TRUE(set.PlaySE(1, 0));
    ASSERT_TRUE(set.PlaySE(1, 31));
    ISound* sound = set.GetChannelSound(0);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(set.GetChannelSound(31), sound);
    EXPECT_TRUE(sound->IsPlay());
    EXPECT_EQ(sound->GetFileName(), "GameData/Sound/b.wav");
    ResetDataFailureCount();
    EXPECT_TRUE(set.PlaySE(2, 1));   // a file that no reader opens plays nothing
    EXPECT_FALSE(set.GetChannelSound(1)->IsPlay());
    EXPECT_EQ(GetDataFailureCount(), 1) << "and counts as a data failure";

    // A channel or number outside leaves every channel as it was.
    struct Bad {
        int number, channel;
        const char* log;
    };
    for (const Bad& bad : {Bad{0, -1, "チャンネル-1は範囲外"}, Bad{0, 32, "チャンネル32は範囲外"},
                           Bad{3, 0, "効果音3はリストにない"}, Bad{-1, 0, "効果音-1はリストにない"}}) {
        EXPECT_FALSE(set.PlaySE(bad.number, bad.channel));
        EXPECT_TRUE(log_.Contains(bad.log)) << bad.log;
    }
    EXPECT_EQ(set.GetChannelSound(0), sound);
    EXPECT_EQ(set.GetChannelSound(32), nullptr);
    EXPECT_EQ(set.GetChannelSound(2), nullptr);

    // Playing another effect on a channel lets go of the old one without stopping it.
    ASSERT_TRUE(set.PlaySE(0, 0));
    EXPECT_NE(set.GetChannelSound(0), sound);
    EXPECT_TRUE(sound->IsPlay());

    // Loading puts the entry's one sound on the channel without playing it.
    sound->Stop();
    ASSERT_TRUE(set.LoadSE(1, 5));
    EXPECT_EQ(set.GetChannelSound(5), sound);
    EXPECT_FALSE(sound->IsPlay());
    EXPECT_FALSE(set.LoadSE(3, 5));
    EXPECT_EQ(set.GetChannelSound(5), sound);
}

TEST_F(SoundSetsTest, MissingEffectListLeavesTheSetEmpty) {
    ResetDataFailureCount();
    CSESet set;
    set.Load(32);
    EXPECT_EQ(set.GetCache()->GetCount(), 0u);
    EXPECT_EQ(GetDataFailureCount(), 1);
    EXPECT_FALSE(set.PlaySE(0, 0));
}

TEST_F(SoundSetsTest, MusicListGivesTracksInFileOrder) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::vector<std::string> names;
        const char* log;
    };
    const Case cases[] = {
        {"three tracks",
         {"// music", "#BGMFileCount 3", "#BGMFile \"x.ogg\"", "#BGMFile \"y.wav\"", "junk line", "#BGMFile \"z.mp3\""},
         {"x.ogg", "y.wav", "z.mp3"},
         nullptr},
        {"more files than counted", {"#BGMFileCount 1", "#BGMFile \"x.ogg\"", "#BGMFile \"y.ogg\""}, {"x.ogg"},
         "#BGMFileが#BGMFileCountより多い"},
        {"files before the count", {"#BGMFile \"x.ogg\"", "#BGMFileCount 2"}, {"", ""}, "#BGMFileが#BGMFileCountより多い"},
        {"a negative count", {"#BGMFileCount -4", "#BGMFile \"x.ogg\""}, {}, "#BGMFileCountの数が不正"},
        {"a huge count", {"#BGMFileCount 2147483647", "#BGMFile \"x.ogg\""},
         [] { std::vector<std::string> v(CBGMSet::kMaxTracks); v[0] = "x.ogg"; return v; }(), "#BGMFileCountの数が不正"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BgmList(c.lines);
        CBGMSet set;
        set.LoadList();
        EXPECT_EQ(set.GetFileNames(), c.names);
        if (c.log) {
            EXPECT_TRUE(log_.Contains(c.log));
        }
    }
    std::filesystem::remove(dir_.path() / CBGMSet::kListFile);
    ResetDataFailureCount();
    CBGMSet set;
    set.Create();
    EXPECT_TRUE(set.GetFileNames().empty());
    EXPECT_EQ(GetDataFailureCount(), 1);
    EXPECT_FALSE(set.PlayBGM(0, true));
}

TEST_F(SoundSetsTest, MusicPlaysOneTrackAtATimeStreamed) {
    BgmList({"#BGMFileCount 2", "#BGMFile \"GameData/Sound/a.wav\"", "#BGMFile \"GameData/Sound/c.wav\""});
    CBGMSet set;
    EXPECT_FALSE(set.PlayBGM(0, false));   // before Create: no music sound
    set.Create();
    ISound* music = set.GetSound();
    ASSERT_NE(music, nullptr);
    EXPECT_TRUE(set.IsStreamPlay());
    EXPECT_TRUE(set.GetStreamFactory()->IsGlobalFocus());
    std::string ogg;
    EXPECT_TRUE(set.GetStreamFactory()->GetStreamFactory()->GetExtensionMap()->GetStr("ogg", ogg));
    EXPECT_EQ(ogg, "CVorbisStream");

    ASSERT_TRUE(set.PlayBGM(0, true));
    EXPECT_TRUE(music->IsPlay());
    EXPECT_TRUE(music->IsLoopPlay());
    EXPECT_EQ(music->GetFileName(), "GameData/Sound/a.wav");
    ASSERT_TRUE(set.PlayBGM(1, false));   // the next track replaces it from its beginning
    EXPECT_EQ(set.GetSound(), music);
    EXPECT_EQ(music->GetFileName(), "GameData/Sound/c.wav");
    EXPECT_FALSE(music->IsLoopPlay());
    EXPECT_EQ(music->GetCurrentPos(), 0);
    EXPECT_TRUE(music->IsPlay());

    EXPECT_FALSE(set.PlayBGM(2, true));
    EXPECT_TRUE(log_.Contains("曲2はリストにない"));
    EXPECT_EQ(music->GetFileName(), "GameData/Sound/c.wav");   // what played goes on
    EXPECT_TRUE(music->IsPlay());
    music->Stop();
}

// The scenes' calls and the play's cues reach the registry's sets.
TEST_F(SoundSetsTest, SceneCallsPlayThroughTheRegistry) {
    SeList({"GameData/Sound/a.wav", "GameData/Sound/b.wav"});
    BgmList({"#BGMFileCount 1", "#BGMFile \"GameData/Sound/c.wav\""});
    CGameObjectRegistry* registry = CGameObjectRegistry::GetInstance();
    registry->CreateObjects();
    EXPECT_FALSE(PlaySceneSE(0, 0));   // the sets are not loaded yet: nothing plays
    registry->GetSESet()->Load(kSoundChannels);
    registry->GetBGMSet()->Create();

    EXPECT_TRUE(PlaySceneSE(1, 3));
    ISound* effect = registry->GetSESet()->GetChannelSound(3);
    ASSERT_NE(effect, nullptr);
    EXPECT_TRUE(effect->IsPlay());
    StopSceneSEChannel(3);
    EXPECT_FALSE(effect->IsPlay());
    StopSceneSEChannel(40);   // nothing there
    PlaySoundEffect(0, 5);
    ASSERT_NE(registry->GetSESet()->GetChannelSound(5), nullptr);
    EXPECT_TRUE(registry->GetSESet()->GetChannelSound(5)->IsPlay());

    ISound* music = registry->GetBGMSet()->GetSound();
    PlaySceneBGM(0, false);
    EXPECT_TRUE(music->IsPlay());
    SetSceneBGMLoop(true);
    EXPECT_TRUE(music->IsLoopPlay());
    StopSceneBGM();
    EXPECT_FALSE(music->IsPlay());
    PlaySceneBGM(5, true);   // refused
    EXPECT_FALSE(music->IsPlay());
    registry->ReleaseObjects();
    EXPECT_FALSE(PlaySceneSE(0, 0));
}

} // namespace
