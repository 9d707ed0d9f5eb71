// sound_demo.cpp -- plays one sound file (WAV, MP3, Ogg through the plug-in, or MIDI through the
// synthesiser) from the sound factory to its end through the audio output, then exits; SIGINT or
// SIGTERM stop it earlier.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/clock.h"
#include "platform/end_signal.h"
#include "sdk/app/ObjectCreater.h"
#include "sdk/sound/DirectSound.h"
#include "sdk/sound/SoundFactory.h"
#include "sdk/sound/WaveOutput.h"
#include "tools/usage.h"

using namespace zuderadeDoruVAV3ed;

namespace {

constexpr const char kUsage[] =
    "usage: sound_demo FILE\n"
    "Plays FILE (WAV, MP3, Ogg or MIDI) to its end through the audio output; SIGINT or SIGTERM stop it.\n";

} // namespace

int main(int argc, char** argv) {
    if (PrintUsageWhenAsked(argc, argv, kUsage)) return 0;
    if (argc != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    // Before the audio output starts: SDL would otherwise take both signals for a window's quit.
    platform::CatchEndSignals();
    // The Ogg reader: from the working folder, else beside the build's tools folder.
    const std::string plug_in = std::filesystem::exists("plugin/or.dll") ? "plugin/or.dll" : "../plugin/or.dll";
    GetObjectCreater()->LoadPlugIn(plug_in);

    if (!CDirectSound::CanUse()) {
        std::fprintf(stderr, "sound_demo: no audio device\n");
        return 1;
    }
    int result = 0;
    {
        CSoundFactory factory;
        factory.SetStreamPlay(true);
        // MIDI on the music device only: the sequencer device tells its end to a window, which
        // this program has not.
        factory.SetMIDIKinds(kSoundMidiDirectMusic, kSoundNone);
        factory.GetStreamFactory()->GetStreamFactory()->GetExtensionMap()->SetStr("ogg", "CVorbisStream");
        KTL::smart_ptr<ISound> sound;
        factory.LoadSound(sound, argv[1]);
        const int length = sound->GetLength();
        if (sound->GetType() == kSoundNone || sound->Play() != 0) {
            std::fprintf(stderr, "sound_demo: %s cannot be played\n", argv[1]);
            result = 1;
        } else {
            std::printf("sound_demo: playing %s (%d ms)\n", argv[1], length);
            // The waits between polls are on the frame clock: a virtual one mixes the sound only
            // as it is advanced.
            bool stopped = false;
            while (sound->IsPlay() && !(stopped = platform::TakeEndRequest())) platform::FrameClock().SleepUs(50000);
            if (stopped) sound->Stop();
            std::printf(stopped ? "sound_demo: stopped\n" : "sound_demo: done\n");
        }
    }
    GetObjectCreater()->ReleasePlugIn(plug_in);
    return result;
}
