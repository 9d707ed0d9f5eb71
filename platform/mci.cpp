// mci.cpp -- the MIDI sequencer device: a song, a player and positions in the chosen time format.
#include "platform/mci.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/fs.h"
#include "platform/midi_player.h"
#include "platform/video.h"

namespace platform {

namespace {
std::atomic<uint32_t> g_next_device_id{1};
} // namespace

std::unique_ptr<MciSequencer> MciSequencer::Open(const std::string& path, std::string& error) {
    std::vector<uint8_t> data;
    if (!ReadWholeFile(ResolvePath(path), data)) {
        error = path + " cannot be read";
        return nullptr;
    }
    auto song = std::make_shared<MidiSong>();
    if (!ParseMidiFile(data.data(), data.size(), *song, error)) {
        error = path + ": " + error;
        return nullptr;
    }
    auto player = MidiPlayer::Create(error);
    if (!player) return nullptr;
    return std::unique_ptr<MciSequencer>(new MciSequencer(std::move(song), std::move(player)));
}

MciSequencer::MciSequencer(std::shared_ptr<const MidiSong> song, std::unique_ptr<MidiPlayer> player)
    : song_(std::move(song)), player_(std::move(player)), id_(g_next_device_id.fetch_add(1)) {
    if (id_ == 0) id_ = g_next_device_id.fetch_add(1);
}

MciSequencer::~MciSequencer() {
    player_->Stop();
    player_.reset();
}

uint32_t MciSequencer::ToTick(uint32_t position) const {
    if (format_ == MciTimeFormat::kTicks) return std::min(position, song_->length_ticks);
    return std::min(song_->MicrosecondsToTick(static_cast<int64_t>(position) * 1000), song_->length_ticks);
}

uint32_t MciSequencer::FromTick(uint32_t tick) const {
    if (format_ == MciTimeFormat::kTicks) return tick;
    return static_cast<uint32_t>(std::min<int64_t>(song_->TickToMicroseconds(tick) / 1000, UINT32_MAX));
}

bool MciSequencer::Play(uint32_t from, Window* notify) {
    std::function<void()> on_end;
    if (notify) {
        uint32_t id = id_;
        on_end = [notify, id] { PostWindowMessage(notify, kMsgMciNotify, kMciNotifySuccessful, id); };
    }
    seeked_ = false;
    player_->Play(song_, ToTick(from), 0, std::move(on_end));
    return true;
}

bool MciSequencer::Seek(uint32_t to) {
    player_->Stop();
    seek_tick_ = ToTick(to);
    seeked_ = true;
    return true;
}

bool MciSequencer::Stop() {
    player_->Stop();
    return true;
}

bool MciSequencer::IsPlaying() { return player_->IsPlaying(); }

bool MciSequencer::GetPosition(uint32_t& position) {
    position = FromTick(seeked_ ? seek_tick_ : player_->PositionTick());
    return true;
}

bool MciSequencer::GetLength(uint32_t& length) const {
    length = FromTick(song_->length_ticks);
    return true;
}

} // namespace platform
