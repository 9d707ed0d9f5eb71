// ogg_plugin_test.cpp -- the Ogg plug-in loaded by its system name, its reader created by class
// name through the object creater and streamed, from a file oggenc makes here.
#include <gtest/gtest.h>

#include <filesystem>

#include "sdk/app/ObjectCreater.h"
#include "sdk/sound/WaveStreamSound.h"
#include "tests/sound/sound_fixture.h"

namespace {

using namespace zuderadeDoruVAV3ed;

class OggPlugInTest : public soundtest::SoundFixture {
protected:
    void SetUp() override {
        SoundFixture::SetUp();
        saved_ = std::filesystem::current_path();
        std::filesystem::current_path(FF_BINARY_DIR);   // where plugin/or.dll lies
    }
    void TearDown() override {
        GetObjectCreater()->ReleasePlugIn("plugin/or.dll");
        std::filesystem::current_path(saved_);
        SoundFixture::TearDown();
    }
    // A 44100 Hz stereo Ogg file of frames; "" when oggenc is missing.
    std::string MakeOgg(uint32_t frames) {
        if (!soundtest::Run("command -v oggenc")) return "";
        soundtest::WavSpec spec;
        spec.rate = 44100;
        spec.channels = 2;
        spec.frames = frames;
        const std::string wav = Make("music.wav", soundtest::WavBytes(spec));
        const std::string ogg = (dir_.path() / "Music.OGG").string();
        if (!soundtest::Run("oggenc -Q -q 4 -o '" + ogg + "' '" + wav + "'")) return "";
        return ogg;
    }
    // A copy of ogg whose first codebook claims a code of one-bit words only, which no decoder
    // can build; the page's checksum is made right again, so only the decoder can notice.
    std::string BreakFirstCodebook(const std::string& ogg) {
        std::string bytes = soundtest::ReadFile(ogg);
        const size_t setup = bytes.find("\x05" "vorbis"), page = bytes.rfind("OggS", setup);
        bytes[setup + 16] = bytes[setup + 17] = 0;   // unordered, not sparse, lengths of 1 bit
        size_t end = page + 27 + static_cast<uint8_t>(bytes[page + 26]);
        for (size_t i = 0; i < static_cast<uint8_t>(bytes[page + 26]); ++i) end += static_cast<uint8_t>(bytes[page + 27 + i]);
        bytes.replace(page + 22, 4, 4, '\0');
        uint32_t crc = 0;
        for (size_t i = page; i < end; ++i) {
            crc ^= uint32_t{static_cast<uint8_t>(bytes[i])} << 24;
            for (int k = 0; k < 8; ++k) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
        }
        for (int k = 0; k < 4; ++k) bytes[page + 22 + k] = static_cast<char>(crc >> (8 * k));
        return Make("broken.ogg", bytes);
    }

    std::filesystem::path saved_;
};

TEST_F(OggPlugInTest, ReaderComesFromThePlugInByClassName) {
    ASSERT_EQ(GetObjectCreater()->LoadPlugIn("plugin/or.dll"), 0);
    IWaveStream* object = GetObjectCreater()->Create<IWaveStream>("CVorbisStream");
    ASSERT_NE(object, nullptr);
    KTL::smart_ptr<IWaveStream> stream(object);
    EXPECT_EQ(stream->GetFormat(), nullptr);
    EXPECT_NE(stream->Open((dir_.path() / "missing.ogg").string().c_str()), 0);
    EXPECT_NE(stream->Open(Make("junk.ogg", std::string(5000, 'j')).c_str()), 0);
    const std::string fifo = (dir_.path() / "fifo.ogg").string();
    if (soundtest::Run("mkfifo '" + fifo + "'")) EXPECT_NE(stream->Open(fifo.c_str()), 0);
    EXPECT_EQ(stream->GetLength(), -1);

    const uint32_t frames = 44100 * 2 + 300;
    const std::string ogg = MakeOgg(frames);
    if (ogg.empty()) GTEST_SKIP() << "oggenc is not installed";
    EXPECT_NE(stream->Open(BreakFirstCodebook(ogg).c_str()), 0);
    ASSERT_EQ(stream->Open(ogg.c_str()), 0);
    const WAVEFORMATEX* format = stream->GetFormat();
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(+format->samples_per_sec, 44100u);
    EXPECT_EQ(+format->channels, 2);
    EXPECT_EQ(stream->GetLength(), static_cast<int>(uint64_t{frames} * 1000 / 44100));
    std::vector<char> piece(7777);
    uint64_t total = 0;
    for (uint32_t n; (n = stream->Read(piece.data(), 7777)) != 0;) {
        ASSERT_LE(n, 7777u);
        EXPECT_EQ(n % 4, 0u);
        total += n;
    }
    EXPECT_EQ(total, uint64_t{frames} * 4);
    EXPECT_EQ(stream->SetCurrentPos(1000), 0);
    EXPECT_EQ(stream->GetCurrentPos(), 1000);
    EXPECT_EQ(stream->SetCurrentPos(stream->GetLength()), 2);
}

TEST_F(OggPlugInTest, OggStreamsThroughTheFactoryAndPlaysToItsEnd) {
    ASSERT_EQ(GetObjectCreater()->LoadPlugIn("plugin/or.dll"), 0);
    const std::string ogg = MakeOgg(44100 + 500);
    if (ogg.empty()) GTEST_SKIP() << "oggenc is not installed";
    output_->GetStreamFactory()->GetStreamFactory()->GetExtensionMap()->SetStr("ogg", "CVorbisStream");
    CWaveStreamSound sound(output_.get());
    ASSERT_EQ(sound.Open(ogg), 0);
    EXPECT_EQ(sound.GetLength(), 1011);
    ASSERT_EQ(sound.Play(), 0);
    ASSERT_TRUE(soundtest::WaitFor([&] {
        platform::RenderManualAudio(4096);
        return !sound.IsPlay();
    }));
    // The decoded tone is heard: lossy, so only its loudness is checked.
    const std::vector<int16_t> out = platform::TakeCapturedAudio();
    ASSERT_GE(out.size(), 2u * 44100);
    double energy = 0;
    for (size_t i = 0; i < 2 * 44100; ++i) energy += std::abs(out[i]);
    EXPECT_GT(energy / (2 * 44100), 5000.0);
}

} // namespace
