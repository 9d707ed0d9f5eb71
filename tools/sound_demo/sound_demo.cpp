// sound_demo.cpp -- plays one sound file (WAV, MP3, or Ogg through the plug-in) as a streamed
// sound to its end through the audio output, then exits.
#include <cstdio>
#include <filesystem>
#include <string>

#include "sdk/app/ObjectCreater.h"
#include "sdk/sound/DirectSound.h"
#include "sdk/sound/WaveOutput.h"
#include "sdk/sound/WaveStreamSound.h"
#include "sdk/thread/Thread.h"

using namespace zuderadeDoruVAV3ed;

namespace {

// Sleeps between polls of the sound's state.
class CWaiter final : public CThread {
protected:
    void ThreadProc() override {}
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: sound_demo FILE\n");
        return 2;
    }
    // The Ogg reader: from the working folder, else beside the build's tools folder.
    const std::string plug_in = std::filesystem::exists("plugin/or.dll") ? "plugin/or.dll" : "../plugin/or.dll";
    GetObjectCreater()->LoadPlugIn(plug_in);

    CDirectSound device;
    if (device.GetStatus() != CDirectSound::kReady) {
        std::fprintf(stderr, "sound_demo: no audio device\n");
        return 1;
    }
    CWaveOutputDirectSound output(&device);
    output.GetStreamFactory()->GetStreamFactory()->GetExtensionMap()->SetStr("ogg", "CVorbisStream");

    int result = 0;
    {
        CWaveStreamSound sound(&output);
        sound.Open(argv[1]);
        const int length = sound.GetLength();
        if (sound.Play() != 0) {
            std::fprintf(stderr, "sound_demo: %s cannot be played\n", argv[1]);
            result = 1;
        } else {
            std::printf("sound_demo: playing %s (%d ms)\n", argv[1], length);
            CWaiter waiter;
            while (sound.IsPlay()) waiter.Sleep(50);
            std::printf("sound_demo: done\n");
        }
    }
    GetObjectCreater()->ReleasePlugIn(plug_in);
    return result;
}
