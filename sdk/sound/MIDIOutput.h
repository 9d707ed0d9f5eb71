// MIDIOutput.h -- MIDI sounds: one played as a segment on the shared music device, one played by
// a sequencer device of its own that reports the end of play to the window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/mci.h"
#include "platform/music.h"
#include "sdk/app/WinHook.h"
#include "sdk/file/File.h"
#include "sdk/sound/Sound.h"

namespace zuderadeDoruVAV3ed {

class CDirectMusic;

class CMIDIOutput {
public:
    // Whether a MIDI synthesiser can be opened; probed on the first call only.
    static bool CanUseMIDI();
};

// Stopping records the position and counts pauses: every Stop or Pause while stopped needs one
// more Replay before play resumes.
class CMIDIOutputDM : public ISound {
public:
    explicit CMIDIOutputDM(CDirectMusic* device);
    ~CMIDIOutputDM() override;
    CMIDIOutputDM(const CMIDIOutputDM&) = delete;
    CMIDIOutputDM& operator=(const CMIDIOutputDM&) = delete;

    // 0; 1 no file, 2 not a MIDI file, 4 the instruments cannot be had; -1 (as every operation
    // below) when there is no usable music device.
    int Open(const std::string& file_name) override;
    int Close() override;
    int Play() override;   // from the start; -2 when nothing is open
    int Pause() override { return Stop(); }
    int Replay() override;
    int Stop() override;
    bool IsPlay() override;
    int SetLoopPlay(bool loop) override {
        loop_ = loop;
        return 0;
    }
    bool IsLoopPlay() override { return loop_; }
    int SetCurrentPos(int ms) override;
    int GetCurrentPos() override;
    int GetLength() override;
    // The music device's master volume, shared by every sound on it.
    int SetVolume(int volume) override;
    int GetVolume() override;
    int GetType() override { return kSoundMidiDirectMusic; }
    std::string GetFileName() override { return file_.GetName(); }

private:
    platform::MusicPerformance* Performance() const;
    // Milliseconds from the segment's start to music time t; negative on failure.
    int ToMilliseconds(platform::MusicTime t) const;
    int StartSegment();

    CFile file_;
    platform::MusicTime seek_ = 0;
    int32_t pause_count_ = 0;
    bool loop_ = false;
    std::unique_ptr<platform::MusicSegment> segment_;
    std::shared_ptr<platform::MusicSegmentState> state_;
    CDirectMusic* device_;
};

class CMIDIOutputMCI : public ISound, public IWinHook {
public:
    CMIDIOutputMCI();   // hooks the calling thread's application window
    ~CMIDIOutputMCI() override;
    CMIDIOutputMCI(const CMIDIOutputMCI&) = delete;
    CMIDIOutputMCI& operator=(const CMIDIOutputMCI&) = delete;

    // Reads the file (an archived one gets a temporary copy on disk): 0; 1 no file, 2 no copy.
    // The device opens at the first Play.
    int Open(const std::string& file_name) override;
    int Close() override;
    int Play() override;
    int Pause() override { return Stop(); }
    int Replay() override;
    int Stop() override;
    bool IsPlay() override { return playing_; }
    int SetLoopPlay(bool loop) override {
        loop_ = loop;
        return 0;
    }
    bool IsLoopPlay() override { return loop_; }
    int SetCurrentPos(int ms) override;
    int GetCurrentPos() override;
    int GetLength() override;
    int SetVolume(int) override { return -1; }
    int GetVolume() override { return 0; }
    int GetType() override { return kSoundMidiMci; }
    std::string GetFileName() override { return file_.GetName(); }

    // The end of play: a looping sound starts again, another one stops.
    intptr_t WndProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) override;

private:
    int OpenDevice();
    bool PlayFrom(uint32_t position);

    CFile file_;
    uint32_t position_ = 0;
    std::unique_ptr<platform::MciSequencer> device_;
    int32_t pause_count_ = 0;
    bool loop_ = false;
    bool playing_ = false;
};

} // namespace zuderadeDoruVAV3ed
