// sound_demo_test.cpp -- the example program plays a file to its end through the real output
// (SDL's dummy driver here, or its fallback to it without the sound library's own messages) and
// exits 0, a MIDI file as well, or earlier on a signal; a file it cannot play gives 1; --help
// prints the usage and exits 0.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include "platform/midi_player.h"
#include "tests/midi_builder.h"
#include "tests/scratch_dir.h"
#include "tests/sound/sound_test_util.h"

namespace {

// With a signal, it is sent after a few seconds (and SIGKILL a minute later), once: timeout sends
// it to its process group as well unless in the foreground, and a second signal ends at once.
// What it prints goes to the file output.
int RunDemo(const std::string& file, const std::string& signal = "", const std::string& output = "/dev/null",
            const std::string& environment = "SDL_AUDIODRIVER=dummy") {
    const std::string limit = signal.empty() ? "" : "timeout --foreground -k 60 --preserve-status -s " + signal + " 3 ";
    const std::string command = environment + " " + limit + "'" FF_BINARY_DIR "/tools/sound_demo' '" + file + "' >'" +
                                output + "' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SoundDemoTest, PlaysToTheEndOrSaysItCannot) {
    testutil::ScratchDir dir("sound_demo");
    soundtest::WavSpec spec;
    spec.frames = 22050 / 4;
    const auto wav = dir.path() / "short.wav";
    soundtest::WriteFile(wav, soundtest::WavBytes(spec));
    EXPECT_EQ(RunDemo(wav.string()), 0);
    // On the virtual clock too (bounded, in case it waits for ever).
    EXPECT_EQ(RunDemo(wav.string(), "", "/dev/null", "SDL_AUDIODRIVER=dummy FLYINGFISH_CLOCK=virtual timeout 60"), 0);
    // A sound device that does not open: the log says so, the sound library prints nothing.
    const auto said = dir.path() / "said.txt";
    EXPECT_EQ(RunDemo(wav.string(), "", said.string(), "SDL_AUDIODRIVER=alsa AUDIODEV=ff-no-such-pcm FLYINGFISH_LOG=stderr"), 0);
    EXPECT_NE(soundtest::ReadFile(said).find("no sound device opens"), std::string::npos) << soundtest::ReadFile(said);
    EXPECT_EQ(soundtest::ReadFile(said).find("ALSA lib"), std::string::npos) << soundtest::ReadFile(said);
    // A ten-minute sound ends early on SIGINT or SIGTERM.
    spec.rate = 8000;
    spec.bits = 8;
    spec.frames = 600 * spec.rate;
    soundtest::WriteFile(dir.path() / "long.wav", soundtest::WavBytes(spec));
    for (const char* signal : {"INT", "TERM"}) EXPECT_EQ(RunDemo((dir.path() / "long.wav").string(), signal), 0) << signal;
    EXPECT_EQ(RunDemo((dir.path() / "missing.wav").string()), 1);
    EXPECT_EQ(RunDemo((dir.path() / "missing.mid").string()), 1);
    EXPECT_EQ(std::system("'" FF_BINARY_DIR "/tools/sound_demo' --help | grep -q '^usage: sound_demo FILE'"), 0);
    if (platform::FindGeneralMidiSoundFont().empty()) GTEST_SKIP() << "no General MIDI sound font: MIDI not played";
    const auto bytes = testutil::MakePianoPhrase();
    const auto mid = dir.path() / "phrase.MID";
    soundtest::WriteFile(mid, std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(RunDemo(mid.string()), 0);
}

} // namespace
