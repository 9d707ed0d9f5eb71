// sound_factory_test.cpp -- the sound factory: kinds and their fallbacks, the choice by file
// extension, devices shared by count and made again after the last sound, the sound cache over
// a list file, and every kind of sound file loaded through it and heard in the capture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "platform/midi_player.h"
#include "sdk/app/ObjectCreater.h"
#include "sdk/sound/DirectMusic.h"
#include "sdk/sound/ResourceCache.h"
#include "sdk/sound/SoundFactory.h"
#include "sdk/sound/WaveOutput.h"
#include "sdk/sound/WaveSound.h"
#include "tests/midi_builder.h"
#include "tests/sound/sound_fixture.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using SoundPtr = KTL::smart_ptr<ISound>;

bool HaveSoundFont() { return !platform::FindGeneralMidiSoundFont().empty(); }

bool Listed(CSoundFactory& factory, const SoundPtr& sound) {
    auto& list = factory.GetSoundList();
    return std::find(list.begin(), list.end(), sound.get()) != list.end();
}

class SoundFactoryTest : public soundtest::SoundFixture {
protected:
    std::string Wav(const std::string& name, uint32_t frames = 22050) {
        soundtest::WavSpec spec;
        spec.frames = frames;
        return Make(name, soundtest::WavBytes(spec));
    }
    std::string Midi(const std::string& name) {
        const auto bytes = testutil::MakePianoPhrase();
        return Make(name, std::string(bytes.begin(), bytes.end()));
    }
    // The loudest sample of frames rendered now.
    static int Peak(int frames) {
        platform::TakeCapturedAudio();
        platform::RenderManualAudio(frames);
        int peak = 0;
        for (int16_t v : platform::TakeCapturedAudio()) peak = std::max(peak, std::abs(int{v}));
        return peak;
    }

    CSoundFactory factory_;
};

TEST_F(SoundFactoryTest, KindsAndTheirFallbacks) {
    struct Case {
        int kind;
        int type;
        bool listed;
        int streaming;   // -1: not a wave sound
    };
    const Case cases[] = {
        {kSoundNone, kSoundNone, true, -1},  {7, kSoundNone, false, -1},       {-1, kSoundNone, false, -1},
        {kSoundWaveStatic, kSoundWave, true, 0}, {kSoundWaveStream, kSoundWave, true, 0},
        {kSoundWave, kSoundWave, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        SoundPtr sound;
        factory_.CreateSound(sound, c.kind);
        ASSERT_TRUE(sound);
        EXPECT_EQ(sound->GetType(), c.type);
        EXPECT_EQ(Listed(factory_, sound), c.listed);
        if (c.streaming >= 0) {
            EXPECT_EQ(static_cast<CSound*>(sound.get())->IsStreamMode(), c.streaming == 1);
        }
        sound.reset();
        EXPECT_TRUE(factory_.GetSoundList().empty());
    }
    // The stream play flag decides for the plain wave kind.
    factory_.SetStreamPlay(true);
    SoundPtr wave;
    factory_.CreateWaveSound(wave);
    EXPECT_TRUE(static_cast<CSound*>(wave.get())->IsStreamMode());
    factory_.CreateWaveSoundEx(wave, nullptr, false);
    EXPECT_FALSE(static_cast<CSound*>(wave.get())->IsStreamMode());
}

TEST_F(SoundFactoryTest, MidiKindsFallBackToTheSecond) {
    if (!HaveSoundFont()) GTEST_SKIP() << "no General MIDI sound font";
    struct Case {
        int first, second, type;
    };
    for (const Case& c : {Case{kSoundMidiDirectMusic, kSoundMidiMci, kSoundMidiDirectMusic},
                          Case{7, kSoundMidiMci, kSoundMidiMci}, Case{7, 9, kSoundNone},
                          Case{kSoundNone, kSoundMidiMci, kSoundMidiMci}}) {
        factory_.SetMIDIKinds(c.first, c.second);
        SoundPtr sound;
        factory_.CreateMIDISound(sound);
        EXPECT_EQ(sound->GetType(), c.type) << c.first << " " << c.second;
        sound.reset();
        EXPECT_TRUE(factory_.GetSoundList().empty());
        EXPECT_EQ(factory_.GetDirectMusic(), nullptr);
    }
}

TEST_F(SoundFactoryTest, LoadSoundChoosesByTheLowerCasedExtension) {
    const bool midi = HaveSoundFont();
    struct Case {
        std::string name;
        int type;
    };
    const Case cases[] = {
        {Midi("Music.MID"), midi ? kSoundMidiDirectMusic : kSoundNone},
        {Wav("tune.midi"), kSoundWave},                               // not "mid": a wave sound
        {Wav("Effect.WAV"), kSoundWave},
        {(dir_.path() / "missing.wav").string(), kSoundWave},         // no reader opens it: empty
        {(dir_.path() / "missing.mid").string(), kSoundNone},         // Open fails
        {Make("junk.mid", "MThd"), kSoundNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SoundPtr sound;
        factory_.LoadSound(sound, c.name);
        ASSERT_TRUE(sound);
        EXPECT_EQ(sound->GetType(), c.type);
        EXPECT_EQ(Listed(factory_, sound), c.type != kSoundNone);
        EXPECT_EQ(factory_.GetSoundList().size(), c.type != kSoundNone ? 1u : 0u);
    }
    EXPECT_EQ(factory_.GetDirectSound(), nullptr);
}

TEST_F(SoundFactoryTest, DevicesAreSharedAndMadeAgainAfterTheLastSound) {
    SoundPtr a, b;
    factory_.CreateWaveSound(a);
    CDirectSound* device = factory_.GetDirectSound();
    CWaveOutputDirectSound* output = factory_.GetWaveOutput();
    ASSERT_NE(device, nullptr);
    ASSERT_NE(output, nullptr);
    EXPECT_TRUE(output->GetStreamFactory() == factory_.GetStreamFactory());
    factory_.CreateWaveSound(b);
    EXPECT_EQ(factory_.GetWaveOutput(), output);
    a.reset();
    EXPECT_EQ(factory_.GetWaveOutput(), output);
    SoundPtr copy = b;
    b.reset();
    EXPECT_NE(factory_.GetWaveOutput(), nullptr);   // a copy still holds it
    copy.reset();
    EXPECT_EQ(factory_.GetWaveOutput(), nullptr);
    EXPECT_EQ(factory_.GetDirectSound(), nullptr);

    // A music sound keeps the sound device when the last wave sound goes.
    if (HaveSoundFont()) {
        SoundPtr music, wave;
        factory_.CreateSound(music, kSoundMidiDirectMusic);
        ASSERT_NE(factory_.GetDirectMusic(), nullptr);
        EXPECT_EQ(factory_.GetDirectMusic()->GetDirectSound(), factory_.GetDirectSound());
        factory_.CreateWaveSound(wave);
        wave.reset();
        EXPECT_EQ(factory_.GetWaveOutput(), nullptr);
        EXPECT_NE(factory_.GetDirectSound(), nullptr);
        music.reset();
        EXPECT_EQ(factory_.GetDirectMusic(), nullptr);
        EXPECT_EQ(factory_.GetDirectSound(), nullptr);
    }
    factory_.CreateWaveSound(a);
    EXPECT_NE(factory_.GetWaveOutput(), nullptr);   // made again
    EXPECT_NE(factory_.GetDirectSound(), nullptr);
    // Releasing a device that nobody counts on changes nothing.
    a.reset();
    factory_.ReleaseWaveOutput();
    factory_.ReleaseDirectMusic();
    EXPECT_EQ(factory_.GetDirectSound(), nullptr);
    factory_.AddRefDirectSound();
    EXPECT_NE(factory_.GetDirectSound(), nullptr);
    factory_.ReleaseDirectSound();
    EXPECT_EQ(factory_.GetDirectSound(), nullptr);
}

TEST_F(SoundFactoryTest, StreamFactoryHolderIsReplacedAndShared) {
    KTL::smart_ptr<CStreamFactoryHolder> holder(new CStreamFactoryHolder);
    factory_.SetStreamFactory(holder);
    factory_.SetStreamFactory(factory_.GetStreamFactory());   // itself: nothing changes
    EXPECT_TRUE(factory_.GetStreamFactory() == holder);
    EXPECT_EQ(holder.GetRefCount(), 2);
    SoundPtr sound;
    factory_.CreateWaveSound(sound);
    EXPECT_TRUE(factory_.GetWaveOutput()->GetStreamFactory() == holder);
}

// Every kind of file the game plays, through the factory, is heard.
TEST_F(SoundFactoryTest, EveryKindOfFileIsHeard) {
    const std::string plug_in = FF_BINARY_DIR "/plugin/or.dll";
    ASSERT_EQ(GetObjectCreater()->LoadPlugIn(plug_in), 0);
    factory_.GetStreamFactory()->GetStreamFactory()->GetExtensionMap()->SetStr("ogg", "CVorbisStream");

    soundtest::WavSpec spec;
    spec.rate = 44100;
    spec.channels = 2;
    spec.frames = 44100;
    const std::string wav = Make("source.wav", soundtest::WavBytes(spec));
    std::vector<std::string> files = {wav};
    const bool lame = soundtest::Run("command -v lame");
    if (lame) {
        const std::string mp3 = (dir_.path() / "Tune.MP3").string();
        ASSERT_TRUE(soundtest::Run("lame --quiet -b 128 '" + wav + "' '" + mp3 + "'"));
        files.push_back(mp3);
        // The same frames in a WAV of the MPEG layer 3 format.
        std::string fmt = soundtest::FmtBody(0x55, 2, 44100, 0, 30);
        fmt.replace(8, 4, "\x00\x3E\x00\x00", 4);   // 16000 bytes per second
        fmt.replace(12, 2, "\x01\x00", 2);          // block align 1
        fmt.replace(16, 2, "\x0C\x00", 2);          // 12 bytes of extra data
        fmt.replace(18, 12, std::string("\x01\x00\x02\x00\x00\x00\xA1\x01\x01\x00\x71\x05", 12));
        std::string body = "WAVE";
        soundtest::PutChunk(body, "fmt ", fmt);
        soundtest::PutChunk(body, "data", soundtest::ReadFile(mp3));
        std::string riff = "RIFF";
        soundtest::Put32(riff, static_cast<uint32_t>(body.size()));
        files.push_back(Make("mpeg.wav", riff + body));
    }
    if (soundtest::Run("command -v oggenc")) {
        const std::string ogg = (dir_.path() / "tune.ogg").string();
        ASSERT_TRUE(soundtest::Run("oggenc -Q -q 4 -o '" + ogg + "' '" + wav + "'"));
        files.push_back(ogg);
    }
    // Compressed WAV of every codec a stock system decodes, one second long like the source.
    std::vector<std::string> one_second = {wav};
    const bool sox = soundtest::Run("command -v sox");
    // Mono too: its small blocks make the most blocks per second. GSM 6.10 is 8000 Hz mono only.
    const std::pair<const char*, const char*> codecs[] = {
        {"ima-adpcm", ""}, {"ima-adpcm", " -c 1"}, {"ms-adpcm", ""}, {"ms-adpcm", " -c 1"},
        {"gsm-full-rate", " -r 8000 -c 1"}, {"a-law", ""}, {"u-law", ""}};
    for (const auto& [codec, options] : codecs) {
        if (!sox) break;
        const std::string out = (dir_.path() / (std::string(codec) + std::to_string(files.size()) + ".wav")).string();
        ASSERT_TRUE(soundtest::Run("sox '" + wav + "' -e " + codec + options + " '" + out + "'"));
        files.push_back(out);
        one_second.push_back(out);
    }
    if (HaveSoundFont()) files.push_back(Midi("phrase.mid"));

    for (bool streaming : {false, true}) {
        factory_.SetStreamPlay(streaming);
        for (const std::string& file : files) {
            SCOPED_TRACE(file + (streaming ? " streamed" : " static"));
            SoundPtr sound;
            factory_.LoadSound(sound, file);
            ASSERT_NE(sound->GetType(), kSoundNone);
            EXPECT_GT(sound->GetLength(), 900);
            const uint64_t commits = platform::GetSoundBufferCommitCount();
            ASSERT_EQ(sound->Play(), 0);
            // A streamed sound's refill thread fills its ring before it is heard.
            if (streaming && sound->GetType() == kSoundWave) {
                ASSERT_TRUE(soundtest::WaitFor([&] { return platform::GetSoundBufferCommitCount() > commits; }));
            }
            EXPECT_GT(Peak(11025), 300);
            if (std::count(one_second.begin(), one_second.end(), file)) {
                EXPECT_NEAR(sound->GetLength(), 1000, 25);
                Peak(22050);
                EXPECT_GT(Peak(8820), 300) << "heard to the end";
            }
            sound->Stop();
        }
    }
    if (!lame || !sox) GTEST_SKIP() << "lame or sox is not installed: not every compressed file heard";
}

class CountPolicy : public IResourceCountPolicy {
public:
    explicit CountPolicy(int limit) : limit_(limit) {}
    void CountUp() override { ++count_; }
    void CountDown() override { --count_; }
    bool IsOverLimit() override { return count_ > limit_; }
    int count_ = 0;
    int limit_;
};

TEST_F(SoundFactoryTest, CacheMakesOneSoundPerEntryThroughTheFactory) {
    const std::string list = Make("SE.vll", "// effects\r\n" + Wav("a.wav") + "\r\n" +
                                                (dir_.path() / "missing.mid").string() + "\r\n" + Wav("c.wav") + "\r\n");
    KTL::smart_ptr<CSoundFactory> factory = KTL::smart_ptr<CSoundFactory>::NotOwned(&factory_);
    {
        CResourceCache cache;
        cache.factory = factory;
        auto* policy = new CountPolicy(2);
        cache.SetCountPolicy(KTL::smart_ptr<IResourceCountPolicy>(policy));
        ASSERT_EQ(cache.Load(list, 0), 0);
        EXPECT_EQ(cache.GetCount(), 3u);

        SoundPtr first, again, missing, outside;
        cache.Get(first, 0);
        cache.Get(again, 0);
        EXPECT_EQ(first.get(), again.get());
        EXPECT_EQ(first->GetType(), kSoundWave);
        cache.Get(missing, 1);   // a null sound the factory handed out, kept
        EXPECT_EQ(missing->GetType(), kSoundNone);
        EXPECT_EQ(policy->count_, 2);
        cache.Get(outside, 3);
        EXPECT_EQ(outside->GetType(), kSoundNone);
        EXPECT_FALSE(cache.IsLoaded(3));
        SoundPtr third;
        cache.Get(third, 2);   // over the limit: the oldest goes
        EXPECT_FALSE(cache.IsLoaded(0));
        EXPECT_TRUE(cache.IsLoaded(2));
        EXPECT_EQ(policy->count_, 2);
        EXPECT_EQ(factory_.GetSoundList().size(), 2u);   // the first is still held here
    }
    EXPECT_EQ(factory_.GetSoundList().size(), 0u);
    EXPECT_EQ(factory_.GetWaveOutput(), nullptr);

    CResourceCache empty;   // no list, no factory: fallbacks only
    EXPECT_EQ(empty.Load((dir_.path() / "none.vll").string(), 0), 1);
    SoundPtr sound;
    EXPECT_EQ(empty.Get(sound, 0)->GetType(), kSoundNone);
}

} // namespace
