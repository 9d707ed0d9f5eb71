// readers_test.cpp -- the stream readers and the stream factory on files made here: PCM WAV in
// its odd shapes, compressed WAV, MP3 encoded by lame, and the fallbacks.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "sdk/sound/StreamFactory.h"
#include "sdk/sound/WaveReaders.h"
#include "tests/scratch_dir.h"
#include "tests/sound/sound_test_util.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using soundtest::WavSpec;

class ReadersTest : public ::testing::Test {
protected:
    std::string Make(const std::string& name, const std::string& bytes) {
        const auto path = dir_.path() / name;
        soundtest::WriteFile(path, bytes);
        return path.string();
    }
    // Everything a reader delivers, read in pieces of chunk bytes.
    static std::string ReadAll(IWaveStream& stream, uint32_t chunk = 10000) {
        std::string all;
        std::vector<char> piece(chunk);
        for (int guard = 0; guard < 100000; ++guard) {
            const uint32_t n = stream.Read(piece.data(), chunk);
            if (n == 0 || n > chunk) break;
            all.append(piece.data(), n);
        }
        return all;
    }
    // A 44100 Hz stereo WAV of frames, encoded to MP3 with lame and the given options.
    std::string MakeMp3(const std::string& name, uint32_t frames, const std::string& options) {
        if (!soundtest::Run("command -v lame")) return "";
        WavSpec spec;
        spec.rate = 44100;
        spec.channels = 2;
        spec.frames = frames;
        const std::string wav = Make(name + ".wav", soundtest::WavBytes(spec));
        const std::string mp3 = (dir_.path() / (name + ".mp3")).string();
        if (!soundtest::Run("lame --quiet " + options + " '" + wav + "' '" + mp3 + "'")) return "";
        return mp3;
    }

    testutil::ScratchDir dir_{"sound_readers"};
    soundtest::LogCapture log_;
};

TEST_F(ReadersTest, PcmReaderStopsAtTheDataChunkAndClampsWhatIsCut) {
    std::string list;
    soundtest::PutChunk(list, "LIST", std::string(30, 'x'));
    struct Case {
        const char* what;
        WavSpec spec;
        size_t expected_bytes;
        int expected_length;
    };
    WavSpec trailing;
    trailing.trailing = list;
    WavSpec cut;
    cut.cut_to = 44 + 1001;   // half a frame over 500 frames
    WavSpec odd_size;          // data chunk of an odd size whose last frame is incomplete
    odd_size.channels = 2;
    odd_size.frames = 100;
    odd_size.cut_to = 44 + 399;
    const Case cases[] = {
        {"trailing chunks", trailing, 44100, 1000},
        {"cut short", cut, 1000, 22},
        {"incomplete frame", odd_size, 396, 4},
    };
    for (const Case& c : cases) {
        const std::string name = Make(std::string("pcm_") + std::to_string(&c - cases) + ".wav", soundtest::WavBytes(c.spec));
        CWaveStream stream;
        ASSERT_EQ(stream.Open(name.c_str()), 0) << c.what;
        EXPECT_EQ(stream.GetLength(), c.expected_length) << c.what;
        const std::string all = ReadAll(stream, 333 * 2);
        EXPECT_EQ(all.size(), c.expected_bytes) << c.what;
        const std::string expected = soundtest::PcmBytes(c.spec.frames, c.spec.channels, 16).substr(0, c.expected_bytes);
        EXPECT_TRUE(all == expected) << c.what;
    }
}

TEST_F(ReadersTest, PcmReaderRefusesWhatIsNotPlainPcm) {
    WavSpec short_fmt;
    short_fmt.fmt_size = 14;
    WavSpec compressed;
    compressed.tag = 2;
    WavSpec zero_align;
    zero_align.channels = 0;
    struct Case {
        const char* name;
        std::string bytes;
        int expected;
        const char* log;
    };
    const Case cases[] = {
        {"missing.wav", "", 1, "のファイル読み込み時のエラー"},
        {"text.wav", "this is no riff file at all", 2, "CWaveStream::Initialize Waveファイルでない"},
        {"short_fmt.wav", soundtest::WavBytes(short_fmt), 2, "fmtチャンクが短すぎる"},
        {"adpcm.wav", soundtest::WavBytes(compressed), 2, "WAVE_FORMAT_PCMじゃない"},
        {"zero.wav", soundtest::WavBytes(zero_align), 2, "フォーマットが異常"},
        {"byte_rate.wav", soundtest::WavBytes(WavSpec{}).replace(28, 4, "\x57\x55\x55\x55", 4), 2, "フォーマットが異常"},
        {"fifo.wav", "", 1, "fifo.wav is not a regular file"},   // refused, not waited for
    };
    ASSERT_EQ(::mkfifo((dir_.path() / "fifo.wav").c_str(), 0600), 0);
    for (const Case& c : cases) {
        const std::string name = c.bytes.empty() ? (dir_.path() / c.name).string() : Make(c.name, c.bytes);
        CWaveStream stream;
        EXPECT_EQ(stream.Open(name.c_str()), c.expected) << c.name;
        EXPECT_EQ(stream.GetFormat(), nullptr) << c.name;
        EXPECT_EQ(stream.GetLength(), -1) << c.name;
        EXPECT_TRUE(log_.Contains(c.log)) << c.name;
    }
}

TEST_F(ReadersTest, SeeksLandOnWholeFramesAndRefuseTheEnd) {
    WavSpec spec;
    spec.channels = 2;   // 4-byte frames, 88200 bytes per second
    const std::string name = Make("seek.wav", soundtest::WavBytes(spec));
    CWaveStream stream;
    ASSERT_EQ(stream.Open(name.c_str()), 0);
    struct Case {
        int ms;
        int result;
        uint32_t first_frame;   // frame read next
    };
    const Case cases[] = {
        {1, 0, 22},        // 88.2 bytes -> 88
        {3, 0, 66},        // 264.6 -> 264
        {7, 0, 154},       // 617.4 -> 616
        {999, 0, 22027},   // 88111.8 -> 88108
        {1000, 2, 22027},  // the length: refused, position kept
        {-5, 1, 22028},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stream.SetCurrentPos(c.ms), c.result) << c.ms;
        int16_t frame[2] = {0, 0};
        ASSERT_EQ(stream.Read(frame, 4), 4u) << c.ms;
        EXPECT_EQ(frame[0], soundtest::ToneSample(c.first_frame, 0)) << c.ms;
        EXPECT_EQ(frame[1], soundtest::ToneSample(c.first_frame, 1)) << c.ms;
        if (c.result == 0) stream.SetCurrentPos(c.ms);   // back before the frame just read
    }
}

TEST_F(ReadersTest, NullReaderAnswersNothing) {
    CNullWaveStream stream;
    char byte = 0;
    EXPECT_EQ(stream.Open("x"), -1);
    EXPECT_EQ(stream.GetLength(), -1);
    EXPECT_EQ(stream.SetCurrentPos(0), -1);
    EXPECT_EQ(stream.GetCurrentPos(), -1);
    EXPECT_EQ(stream.Read(&byte, 1), 0u);
    EXPECT_EQ(stream.GetFormat(), nullptr);
}

TEST_F(ReadersTest, FactoryPicksTheReaderByExtension) {
    const std::string wav = Make("Tone.WAV", soundtest::WavBytes(WavSpec{}));
    WavSpec compressed;
    compressed.tag = 2;
    const std::string adpcm = Make("adpcm.wav", soundtest::WavBytes(compressed));
    soundtest::RegisterToneStream();
    CStreamFactory factory;
    factory.GetExtensionMap()->SetStr("tone", "CTestToneStream");
    factory.GetExtensionMap()->SetStr("none", "CNoSuchClass");
    struct Case {
        std::string name;
        bool has_format;
        int length;
    };
    const Case cases[] = {
        {wav, true, 1000},
        {adpcm, false, -1},   // neither the PCM nor the compression reader takes it
        {(dir_.path() / "x.TONE").string(), true, 1000},
        {(dir_.path() / "x.none").string(), false, -1},
        {(dir_.path() / "missing.mp3").string(), false, -1},
    };
    for (const Case& c : cases) {
        KTL::smart_ptr<IWaveStream> stream = factory.CreateStream(c.name);
        ASSERT_TRUE(stream) << c.name;
        EXPECT_EQ(stream->GetFormat() != nullptr, c.has_format) << c.name;
        EXPECT_EQ(stream->GetLength(), c.length) << c.name;
    }
    EXPECT_TRUE(log_.Contains("CACMStream::InitializeNormal ACMを使うまでもない") ||
                log_.Contains("CACMStream::Open acmFormatSuggest()に失敗"));
}

TEST_F(ReadersTest, Mp3DecodesToTheSourceLengthWithinOneFrame) {
    const uint32_t frames = 44100 * 3;
    const std::string mp3 = MakeMp3("tone", frames, "-b 128");
    if (mp3.empty()) GTEST_SKIP() << "lame is not installed";
    const std::string image_before = soundtest::ReadFile(mp3);
    CStreamFactory factory;
    KTL::smart_ptr<IWaveStream> stream = factory.CreateStream(mp3);
    const WAVEFORMATEX* format = stream->GetFormat();
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(+format->samples_per_sec, 44100u);
    EXPECT_EQ(+format->channels, 2);
    EXPECT_EQ(+format->bits_per_sample, 16);
    const std::string all = ReadAll(*stream, 44100);
    const int64_t decoded = static_cast<int64_t>(all.size() / 4);
    EXPECT_LE(std::llabs(decoded - frames), 1152) << decoded;
    // Rewind and read again in other pieces: the same sound, to its last frame.
    for (uint32_t chunk : {44100u / 3, 176400u}) {
        ASSERT_EQ(stream->SetCurrentPos(0), 0);
        EXPECT_TRUE(ReadAll(*stream, chunk) == all) << chunk;
    }
    // A buffer too small for one decoded frame gets nothing.
    stream->SetCurrentPos(0);
    std::vector<char> small(1000);
    EXPECT_EQ(stream->Read(small.data(), 1000), 0u);
    EXPECT_EQ(soundtest::ReadFile(mp3), image_before);
}

TEST_F(ReadersTest, Mp3HeaderChecks) {
    // 128 kbit/s at 44100 Hz: a frame of 417 bytes, 16000 bytes per second.
    std::string frame(417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = '\x90';
    frame[3] = '\x64';
    std::string frames;
    for (int i = 0; i < 4; ++i) frames += frame;
    std::string id3 = "ID3";
    id3 += std::string{'\x04', '\x00', '\x10', '\x00', '\x00', '\x00', '\x05'};
    id3 += std::string(5 + 10, '\0');   // 5 bytes of tag, 10 of footer
    std::string mpeg2 = frames;
    mpeg2[1] = '\xF3';
    std::string tiny_tags = "ID3";
    tiny_tags += std::string{'\x03', '\x00', '\x00', '\x00', '\x00', '\x00', '\x00'};
    tiny_tags += frame.substr(0, 2);   // 2 bytes between the two tags; the header runs into the last
    tiny_tags += "TAG" + std::string(125, '\0');
    // 960 junk headers, each of a 2880-byte frame that would end in the 32 MiB of zeros behind
    // them, and a byte at the very end that is not zero.
    std::string junk = frames;
    for (int i = 0; i < 960; ++i) junk += "\xFF\xE5\xE8";
    junk += std::string(32 << 20, '\0') + '\x01';
    struct Case {
        const char* name;
        std::string bytes;
        int open;
        int length;
        const char* log;
    };
    const Case cases[] = {
        {"plain.mp3", frames, 0, static_cast<int>((4 * 417 - 4) * 8 / 128), nullptr},
        {"v24footer.mp3", id3 + frames, 0, static_cast<int>((4 * 417 - 4) * 8 / 128), nullptr},
        {"mpeg2.mp3", mpeg2, 2, -1, "MP3チェックphase2に失敗(src[1]=0xF3)"},
        {"junk.mp3", std::string(500, 'j'), 2, -1, "MP3チェックphase1に失敗(src[0]=0x6A)"},
        {"small.mp3", std::string(100, '\xFF'), 2, -1, "ファイルサイズが異常(dwFileSize=100)"},
        {"tinytags.mp3", tiny_tags, 2, -1, "ファイルサイズが異常"},
        {"junkheaders.mp3", junk, 0, static_cast<int>((junk.size() - 4) * 8 / 128), nullptr},
    };
    for (const Case& c : cases) {
        const std::string name = Make(c.name, c.bytes);
        const double cpu_before = soundtest::ThreadCpuSeconds();
        CACMStream stream;
        EXPECT_EQ(stream.Open(name.c_str()), c.open) << c.name;
        EXPECT_EQ(stream.GetLength(), c.length) << c.name;
        if (c.log) {
            EXPECT_TRUE(log_.Contains(c.log)) << c.name;
        }
        if (c.open == 0) {
            ASSERT_NE(stream.GetFormat(), nullptr);
            EXPECT_EQ(+stream.GetFormat()->avg_bytes_per_sec, 176400u);
            ReadAll(stream);
        }
        // Processor time, which a busy machine hardly stretches: a look at all the zeros for each
        // junk header took several seconds.
        EXPECT_LT(soundtest::ThreadCpuSeconds() - cpu_before, 1.5) << c.name;
    }
}

TEST_F(ReadersTest, Mpeg2Mp3IsRefused) {
    const std::string mp3 = MakeMp3("low", 22050, "-b 64 --resample 22.05");
    if (mp3.empty()) GTEST_SKIP() << "lame is not installed";
    CStreamFactory factory;
    KTL::smart_ptr<IWaveStream> stream = factory.CreateStream(mp3);
    EXPECT_EQ(stream->GetFormat(), nullptr);
    EXPECT_TRUE(log_.Contains("MP3チェックphase2に失敗"));
}

} // namespace
