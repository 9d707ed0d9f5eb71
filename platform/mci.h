// mci.h -- a MIDI sequencer device opened on a file, driven by commands, telling the end of play
// to a window.
//
//   auto device = MciSequencer::Open(path, error);
//   device->SetTimeFormat(MciTimeFormat::kMilliseconds);
//   device->Play(0, window);           // kMsgMciNotify (kMciNotifySuccessful, id) at the end
//   device->GetPosition(ms);  device->Stop();  device->Seek(ms);  device.reset();   // close
//
// Each device has a synthesiser of its own in the mix (AudioLine::kSynth). The end-of-play
// message is posted from the mixer's thread through PostWindowMessage, so it arrives in the
// window owner's pump like any other message.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/midi_file.h"

namespace platform {

class MidiPlayer;
class Window;

// The window message of a finished play: wparam kMciNotifySuccessful, lparam the device id.
inline constexpr uint32_t kMsgMciNotify = 0x03B9;
inline constexpr uintptr_t kMciNotifySuccessful = 1;

enum class MciTimeFormat { kMilliseconds, kTicks };

class MciSequencer {
public:
    // Opens the standard MIDI file at path; null with error set when it cannot be read or played.
    static std::unique_ptr<MciSequencer> Open(const std::string& path, std::string& error);
    ~MciSequencer();   // close: play stops, no message follows

    // Process-unique, never 0.
    uint32_t DeviceId() const { return id_; }
    void SetTimeFormat(MciTimeFormat format) { format_ = format; }

    // Plays from a position (clamped to the length); notify, when not null, receives
    // kMsgMciNotify once play reaches the end. A play that a stop, a seek or a new play ends
    // early posts nothing.
    bool Play(uint32_t from, Window* notify);
    // Stops and moves to a position (clamped to the length).
    bool Seek(uint32_t to);
    bool Stop();
    bool IsPlaying();
    bool GetPosition(uint32_t& position);
    bool GetLength(uint32_t& length) const;

private:
    MciSequencer(std::shared_ptr<const MidiSong> song, std::unique_ptr<MidiPlayer> player);
    uint32_t ToTick(uint32_t position) const;
    uint32_t FromTick(uint32_t tick) const;

    std::shared_ptr<const MidiSong> song_;
    std::unique_ptr<MidiPlayer> player_;
    uint32_t id_;
    MciTimeFormat format_ = MciTimeFormat::kMilliseconds;
    uint32_t seek_tick_ = 0;      // the position set by a seek, until the next play
    bool seeked_ = true;
};

} // namespace platform
