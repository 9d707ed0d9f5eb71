// music.cpp -- segments, their plays and the performance over one MIDI player.
#include "platform/music.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "platform/midi_player.h"

namespace platform {

// What a performance and the states of its plays share.
struct MusicSegmentState::Shared {
    std::mutex mutex;
    std::unique_ptr<MidiPlayer> player;           // null once the performance is gone
    std::weak_ptr<MusicSegmentState> current;     // the play on the player
    const MusicSegment* current_segment = nullptr;
};

bool MusicSegment::SetStartPoint(MusicTime start) {
    if (start < 0 || start > GetLength()) return false;
    start_ = start;
    return true;
}

std::unique_ptr<MusicSegment> MusicLoader::LoadSegment(const void* data, size_t size, std::string& error) {
    auto song = std::make_shared<MidiSong>();
    if (!ParseMidiFile(data, size, *song, error)) return nullptr;
    return std::unique_ptr<MusicSegment>(new MusicSegment(std::move(song)));
}

bool MusicSegmentState::GetSeek(MusicTime& seek) const {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    if (frozen_ || !shared_->player) {
        seek = seek_;
    } else {
        seek = static_cast<MusicTime>(shared_->player->PositionTick());
    }
    return true;
}

bool MusicPerformance::CanCreate() { return !FindGeneralMidiSoundFont().empty(); }

std::unique_ptr<MusicPerformance> MusicPerformance::Create(std::string& error) {
    auto player = MidiPlayer::Create(error);
    if (!player) return nullptr;
    auto shared = std::make_shared<MusicSegmentState::Shared>();
    shared->player = std::move(player);
    return std::unique_ptr<MusicPerformance>(new MusicPerformance(std::move(shared)));
}

MusicPerformance::MusicPerformance(std::shared_ptr<MusicSegmentState::Shared> shared) : shared_(std::move(shared)) {}

MusicPerformance::~MusicPerformance() {
    std::unique_ptr<MidiPlayer> player;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        FreezeCurrent();
        player = std::move(shared_->player);
    }
    // Destroyed outside the lock: it waits for a Mix in progress.
    player.reset();
}

void MusicPerformance::FreezeCurrent() {
    if (auto state = shared_->current.lock()) {
        state->seek_ = static_cast<MusicTime>(shared_->player->PositionTick());
        state->frozen_ = true;
    }
    shared_->current.reset();
    shared_->current_segment = nullptr;
}

std::shared_ptr<MusicSegmentState> MusicPerformance::PlaySegment(const MusicSegment& segment) {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    FreezeCurrent();
    auto state = std::shared_ptr<MusicSegmentState>(new MusicSegmentState(shared_));
    shared_->player->Play(segment.Song(), static_cast<uint32_t>(segment.GetStartPoint()), segment.GetRepeats());
    shared_->current = state;
    shared_->current_segment = &segment;
    return state;
}

bool MusicPerformance::Matches(const MusicSegment* segment, const MusicSegmentState* state) const {
    auto current = shared_->current.lock();
    return current && (!state || state == current.get()) && (!segment || segment == shared_->current_segment);
}

bool MusicPerformance::Stop(const MusicSegment* segment, const MusicSegmentState* state) {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    if (!Matches(segment, state)) return false;
    shared_->player->Stop();
    FreezeCurrent();
    return true;
}

bool MusicPerformance::IsPlaying(const MusicSegment* segment, const MusicSegmentState* state) {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return Matches(segment, state) && shared_->player->IsPlaying();
}

bool MusicPerformance::MusicToReferenceTime(const MusicSegment& segment, MusicTime time,
                                            ReferenceTime& reference) const {
    if (time < 0) return false;
    reference = segment.Song()->TickToMicroseconds(static_cast<uint32_t>(time)) * 10;
    return true;
}

void MusicPerformance::SetMasterVolume(int32_t hundredths_db) {
    volume_ = std::clamp(hundredths_db, kMusicVolumeMin, kMusicVolumeMax);
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->player->SetGain(static_cast<float>(std::pow(10.0, volume_ / 2000.0)));
}

} // namespace platform
