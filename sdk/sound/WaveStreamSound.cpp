// WaveStreamSound.cpp -- the streamed wave sound and its refill thread.
#include "sdk/sound/WaveStreamSound.h"

#include <algorithm>
#include <cstring>

#include "sdk/base/ErrorLog.h"
#include "sdk/sound/WaveOutput.h"

namespace zuderadeDoruVAV3ed {

namespace {

constexpr uint32_t kPollMs = 20;

// Copies bytes into the one or two locked parts.
void CopyIntoParts(const uint8_t* data, uint32_t bytes, void* part1, uint32_t size1, void* part2, uint32_t size2) {
    const uint32_t first = std::min(bytes, size1);
    std::memcpy(part1, data, first);
    if (bytes > first && part2) std::memcpy(part2, data + first, std::min(bytes - first, size2));
}

} // namespace

CWaveStreamSound::CWaveStreamSound(CWaveOutputDirectSound* output) : output_(output) {
    {
        CCriticalLock lock(&lock_);
        loop_ = false;
        buffer_.reset(new CNullSoundBuffer);
        block_size_ = 0;
        stream_bytes_ = 0;
        pause_count_ = 0;
        volume_ = 0;
    }
    output_->AddBuffer(this);   // refused: a streamed sound is never restored by the output
}

CWaveStreamSound::~CWaveStreamSound() {
    Close();
    output_->ReleaseBuffer(this);
    EndThread();
}

void CWaveStreamSound::EndThread() {
    // Never under the lock: the thread needs it to finish its pass.
    CThread::Stop();
}

int CWaveStreamSound::Close() {
    // The refill thread goes first, also that of a paused sound, so it never runs on a buffer
    // or stream being replaced.
    EndThread();
    CCriticalLock lock(&lock_);
    if (buffer_->GetStatus() == 3) StopAndRewind();
    pause_count_ = 0;
    buffer_.reset(new CNullSoundBuffer);
    file_name_.clear();
    return 0;
}

int CWaveStreamSound::Open(const std::string& file_name) {
    Close();
    CCriticalLock lock(&lock_);
    file_name_.clear();
    if (file_name.empty()) return 0;
    stream_ = output_->GetStreamFactory()->GetStreamFactory()->CreateStream(file_name);
    const WAVEFORMATEX* format = stream_->GetFormat();
    block_size_ = format ? format->avg_bytes_per_sec : 0;
    if (uint64_t{kRingBlocks} * block_size_ > 0xFFFFFFFFu) {
        // No ring of that many bytes: the sound stays silent rather than play a wrapped size.
        CErrorLog::Out("CWaveStreamSound::Open バイトレートが大きすぎる(%u) - %s", block_size_, file_name.c_str());
        block_size_ = 0;
    }
    file_name_ = file_name;
    const int length = stream_->GetLength();
    stream_bytes_ = length > 0 ? static_cast<uint64_t>(length) * block_size_ / 1000 : 0;
    stream_->SetCurrentPos(0);
    play_position_ = 0;
    return 0;
}

int CWaveStreamSound::InitBuffer() {
    CCriticalLock lock(&lock_);
    if (file_name_.empty() || block_size_ == 0) {
        CErrorLog::Out("CWaveStreamSound::InitBuffer ファイルが読み込めてない");
        return 1;
    }
    const WAVEFORMATEX* format = stream_->GetFormat();
    if (!format) {
        CErrorLog::Out("CWaveStreamSound::InitBuffer GetStream()->GetFormat()==NULL");
        return 2;
    }
    KTL::smart_ptr<ISoundBuffer> buffer;
    output_->CreateSoundBuffer(buffer);
    if (!buffer || buffer->Create(format, RingSize(), true, output_->GetStreamFactory().get()) != 0) {
        CErrorLog::Out("CWaveStreamSound::InitBuffer サウンドバッファの作成に失敗！");
        return 3;
    }
    buffer_ = buffer;
    last_write_cursor_ = fill_offset_ = owed_bytes_ = last_play_cursor_ = 0;
    rewound_ = false;
    written_total_ = played_total_ = 0;
    buffer_->SetCurrentPosition(0);
    buffer_->SetVolume(volume_);
    const uint32_t first_fill = (block_size_ * 21 / 8) & ~3u;
    void* part1 = nullptr;
    void* part2 = nullptr;
    uint32_t size1 = 0, size2 = 0;
    if (buffer_->Lock(fill_offset_, first_fill, &part1, &size1, &part2, &size2) != 0) {
        CErrorLog::Out("CWaveStreamSound::InitBuffer GetBuffer()->Lock()に失敗！");
        return 4;
    }
    const uint32_t read = stream_->Read(part1, size1);
    if (read > size1) {
        CErrorLog::Out("CWaveStreamSound::InitBuffer GetStream()->Read()に失敗！");
        buffer_->Unlock(part1, size1, part2, size2);
        return 5;
    }
    if (buffer_->Unlock(part1, size1, part2, size2) != 0) {
        CErrorLog::Out("CWaveStreamSound::InitBuffer GetBuffer()->Unlock()に失敗！");
        return 6;
    }
    fill_offset_ += read;
    written_total_ = read;
    if (read < first_fill) owed_bytes_ = first_fill - read;
    return 0;
}

int CWaveStreamSound::Play() {
    if (IsPlay()) Stop();
    {
        CCriticalLock lock(&lock_);
        pause_count_ = 0;
    }
    // The thread of a paused play ends before the buffer it refills is replaced.
    EndThread();
    if (InitBuffer() != 0) {
        Stop();
        return 1;
    }
    {
        CCriticalLock lock(&lock_);
        if (buffer_->Play(true) != 0) {
            CErrorLog::Out("CWaveStreamSound::InitBuffer GetBuffer()->Play()に失敗！");
            lock.Leave();
            Stop();
            return 2;
        }
    }
    feeder_.Begin();
    if (Start() != 0) {
        feeder_.End();
        CErrorLog::Out("CWaveStreamSound::InitBuffer CreateThread()に失敗！");
        Stop();
        return 3;
    }
    return 0;
}

int CWaveStreamSound::StopAndRewind() {
    CCriticalLock lock(&lock_);
    const int result = buffer_->Stop();
    buffer_->SetCurrentPosition(0);
    if (stream_) stream_->SetCurrentPos(0);
    play_position_ = 0;
    pause_count_ = 0;
    return result;
}

int CWaveStreamSound::Stop() {
    {
        CCriticalLock lock(&lock_);
        if (pause_count_ != 0) return 0;
    }
    EndThread();
    return StopAndRewind();
}

int CWaveStreamSound::SleepOutside(CCriticalLock& lock) {
    lock.Leave();
    if (feeder_.IsDriven()) return feeder_.WaitForMix(GetStopEvent()) ? kPassDone : kPassQuit;
    return Sleep(kPollMs) != 0 ? kPassQuit : kPassDone;
}

void CWaveStreamSound::FollowPlayCursor(uint32_t play_cursor) {
    const uint32_t ring = RingSize();
    uint32_t moved = play_cursor >= last_play_cursor_ ? play_cursor - last_play_cursor_
                                                      : play_cursor + ring - last_play_cursor_;
    last_play_cursor_ = play_cursor;
    played_total_ += moved;
    play_position_ += moved;
    play_position_ = stream_bytes_ ? play_position_ % stream_bytes_ : 0;
}

int CWaveStreamSound::GetNextSoundData() {
    CCriticalLock lock(&lock_);
    const uint32_t ring = RingSize();
    uint32_t play = 0, write = 0;
    if (buffer_->GetCurrentPosition(&play, &write) != 0) return SleepOutside(lock);
    // Bytes still owed (a short read, or the end of a looping stream) are written without
    // waiting for the cursor to move.
    if (write == last_write_cursor_ && owed_bytes_ < block_size_ / 2) return SleepOutside(lock);
    const uint32_t moved = write >= last_write_cursor_ ? write - last_write_cursor_ : write + ring - last_write_cursor_;
    uint32_t need = moved + owed_bytes_;
    if (need < block_size_ / 2) return SleepOutside(lock);
    // Keep the write behind the play cursor.
    if (fill_offset_ + need > ring) {
        if (need - (ring - fill_offset_) > play) need = (ring - fill_offset_) + play;
    } else if (fill_offset_ < play && play < fill_offset_ + need) {
        need = play - fill_offset_;
    }
    need &= ~3u;
    // Nothing fits now: try again later, with the movement and the debt kept.
    if (need == 0) return SleepOutside(lock);
    owed_bytes_ = 0;
    last_write_cursor_ = write;

    if (refill_.size() < need) refill_.resize(need);
    const uint32_t read = stream_->Read(refill_.data(), need);
    if (read == 0) {
        // The end of the stream: what this pass wanted is still owed, for a looping stream's
        // next pass from its beginning.
        owed_bytes_ = need;
        return kPassEnd;
    }
    if (read > need) {
        CErrorLog::Out("CWaveStreamSound::GetNextSoundData GetStream()->Read()に失敗！");
        return 2;
    }
    rewound_ = false;
    void* part1 = nullptr;
    void* part2 = nullptr;
    uint32_t size1 = 0, size2 = 0;
    if (buffer_->Lock(fill_offset_, read, &part1, &size1, &part2, &size2) != 0) {
        CErrorLog::Out("CWaveStreamSound::GetNextSoundData GetBuffer()->Lock()に失敗！");
        return 3;
    }
    CopyIntoParts(refill_.data(), read, part1, size1, part2, size2);
    if (buffer_->Unlock(part1, size1, part2, size2) != 0) {
        CErrorLog::Out("CWaveStreamSound::GetNextSoundData GetBuffer()->Unlock()に失敗！");
        return 4;
    }
    fill_offset_ = (fill_offset_ + read) % ring;
    written_total_ += read;
    if (read < need) owed_bytes_ += need - read;
    return kPassDone;
}

void CWaveStreamSound::ThreadProc() {
    Refill();
    feeder_.End();
}

void CWaveStreamSound::Refill() {
    // Streaming.
    while (true) {
        if (!IsThreadValid()) return;
        {
            CCriticalLock lock(&lock_);
            uint32_t play = 0, write = 0;
            if (buffer_->GetCurrentPosition(&play, &write) == 0) FollowPlayCursor(play);
        }
        const int result = GetNextSoundData();
        if (result == kPassQuit) return;
        if (result == kPassDone) continue;
        if (result == kPassEnd) {
            CCriticalLock lock(&lock_);
            // A stream that gives nothing right after a rewind is empty: it ends like a
            // one-shot instead of spinning.
            if (loop_ && !rewound_) {
                stream_->SetCurrentPos(0);
                rewound_ = true;
                continue;
            }
            break;
        }
        StopAndRewind();
        return;
    }

    // Playing out without loop: the bytes written and not yet passed by the play cursor are the
    // rest of the sound; everything else in the ring is old and is cleared, and the sound stops
    // once the play cursor has passed every byte written.
    {
        CCriticalLock lock(&lock_);
        const uint32_t ring = RingSize();
        uint32_t play = 0, write = 0;
        if (buffer_->GetCurrentPosition(&play, &write) != 0) {
            StopAndRewind();
            return;
        }
        FollowPlayCursor(play);
        const uint64_t rest = written_total_ > played_total_ ? written_total_ - played_total_ : 0;
        const uint32_t stale = ring - static_cast<uint32_t>(std::min<uint64_t>(rest, ring));
        if (stale > 0) {
            void* part1 = nullptr;
            void* part2 = nullptr;
            uint32_t size1 = 0, size2 = 0;
            if (buffer_->Lock((play + static_cast<uint32_t>(rest)) % ring, stale, &part1, &size1, &part2, &size2) != 0) {
                CErrorLog::Out("CWaveStreamSound::ThreadProc GetBuffer()->Lock()に失敗！");
                StopAndRewind();
                return;
            }
            const uint8_t silence = SilenceByte(stream_->GetFormat());
            std::memset(part1, silence, size1);
            if (part2) std::memset(part2, silence, size2);
            if (buffer_->Unlock(part1, size1, part2, size2) != 0) {
                CErrorLog::Out("CWaveStreamSound::ThreadProc GetBuffer()->Unlock()に失敗！");
                StopAndRewind();
                return;
            }
        }
    }
    while (IsThreadValid()) {
        CCriticalLock lock(&lock_);
        uint32_t play = 0, write = 0;
        if (buffer_->GetCurrentPosition(&play, &write) != 0 || buffer_->GetStatus() != 3) {
            // Lost, or stopped by a pause: wait.
            if (SleepOutside(lock) == kPassQuit) return;
            continue;
        }
        const bool moved = play != last_play_cursor_;
        FollowPlayCursor(play);
        if (played_total_ >= written_total_) {
            StopAndRewind();
            return;
        }
        if (!moved && SleepOutside(lock) == kPassQuit) return;
    }
}

int CWaveStreamSound::GetCurrentPos() {
    CCriticalLock lock(&lock_);
    if (block_size_ == 0) return -1;
    return static_cast<int>(play_position_ * 1000 / block_size_);
}

int CWaveStreamSound::SetCurrentPos(int ms) {
    {
        CCriticalLock lock(&lock_);
        if (block_size_ == 0) return 1;
    }
    const bool was_playing = IsPlay();
    Stop();
    CCriticalLock lock(&lock_);
    stream_->SetCurrentPos(ms);
    const WAVEFORMATEX* format = stream_->GetFormat();
    const uint32_t align = format && format->block_align ? format->block_align : 1;
    const uint64_t bytes = ms > 0 ? static_cast<uint64_t>(ms) * block_size_ / 1000 : 0;
    play_position_ = bytes - bytes % align;
    lock.Leave();
    return was_playing ? Play() : 0;
}

int CWaveStreamSound::Pause() {
    CCriticalLock lock(&lock_);
    if (pause_count_ != 0) pause_count_ += pause_count_ > 0 ? 1 : -1;
    if (buffer_->GetStatus() != 3) return 0;
    pause_count_ = 1;
    return buffer_->Stop();
}

int CWaveStreamSound::Replay() {
    CCriticalLock lock(&lock_);
    if (pause_count_ == 0) return 0;
    pause_count_ += pause_count_ > 0 ? -1 : 1;
    if (pause_count_ != 0) return 0;
    return buffer_->Play(true);
}

bool CWaveStreamSound::IsPlay() {
    CCriticalLock lock(&lock_);
    return buffer_->GetStatus() == 3;
}

int CWaveStreamSound::SetLoopPlay(bool loop) {
    CCriticalLock lock(&lock_);
    loop_ = loop;
    return 0;
}

bool CWaveStreamSound::IsLoopPlay() {
    CCriticalLock lock(&lock_);
    return loop_;
}

int CWaveStreamSound::GetLength() {
    CCriticalLock lock(&lock_);
    return stream_ ? stream_->GetLength() : -1;
}

int CWaveStreamSound::SetVolume(int volume) {
    CCriticalLock lock(&lock_);
    volume_ = volume;
    return buffer_->SetVolume(volume);
}

int CWaveStreamSound::GetVolume() {
    CCriticalLock lock(&lock_);
    return volume_;
}

std::string CWaveStreamSound::GetFileName() {
    CCriticalLock lock(&lock_);
    return file_name_;
}

int CWaveStreamSound::Restore() {
    std::string name;
    {
        CCriticalLock lock(&lock_);
        if (file_name_.empty() || buffer_->GetStatus() != 1) return 0;
        name = file_name_;
    }
    const bool was_playing = IsPlay();
    Stop();
    Open(name);
    return was_playing ? Play() : 0;
}

KTL::smart_ptr<ISoundBuffer> CWaveStreamSound::GetBuffer() {
    CCriticalLock lock(&lock_);
    return buffer_;
}

KTL::smart_ptr<IWaveStream> CWaveStreamSound::GetStream() {
    CCriticalLock lock(&lock_);
    return stream_;
}

} // namespace zuderadeDoruVAV3ed
