// WaveStreamSound.h -- a wave sound streamed through a ring of three one-second blocks that a
// refill thread of its own keeps ahead of the play cursor (music).
#pragma once

#include <vector>

#include "platform/audio_feed.h"
#include "sdk/ktl/smart_ptr.h"
#include "sdk/sound/Sound.h"
#include "sdk/sound/SoundBuffer.h"
#include "sdk/sound/WaveStream.h"
#include "sdk/thread/CriticalSection.h"
#include "sdk/thread/Thread.h"

namespace zuderadeDoruVAV3ed {

class CWaveOutputDirectSound;

class CWaveStreamSound : public IWaveSound, public CThread {
public:
    static constexpr uint32_t kRingBlocks = 3;

    explicit CWaveStreamSound(CWaveOutputDirectSound* output);
    ~CWaveStreamSound() override;

    // Never reports failure: a file no reader opens leaves a sound whose Play fails.
    int Open(const std::string& file_name) override;
    int Close() override;
    int Play() override;
    int Pause() override;
    int Replay() override;
    // Does nothing while paused.
    int Stop() override;
    bool IsPlay() override;
    int SetLoopPlay(bool loop) override;
    bool IsLoopPlay() override;
    int SetCurrentPos(int ms) override;
    int GetCurrentPos() override;
    int GetLength() override;
    int SetVolume(int volume) override;
    int GetVolume() override;
    int GetType() override { return kSoundWaveStream; }
    std::string GetFileName() override;
    int Restore() override;

    KTL::smart_ptr<ISoundBuffer> GetBuffer();
    KTL::smart_ptr<IWaveStream> GetStream();

protected:
    void ThreadProc() override;

private:
    // Results of one refill pass.
    enum { kPassDone = 0, kPassEnd = 1, kPassQuit = -1 };

    int InitBuffer();
    int GetNextSoundData();
    int StopAndRewind();
    void EndThread();
    // Under the lock: the play position follows the play cursor; false when the cursor is not
    // readable.
    void FollowPlayCursor(uint32_t play_cursor);
    uint32_t RingSize() const { return kRingBlocks * block_size_; }
    // Leaves the lock and sleeps 20 ms (or, in step with a clock-driven mix, until the mix wants a
    // pass); kPassQuit when the thread is asked to end.
    int SleepOutside(CCriticalLock& lock);
    void Refill();   // the refill thread's body

    KTL::smart_ptr<ISoundBuffer> buffer_;
    KTL::smart_ptr<IWaveStream> stream_;
    CCriticalSection lock_;
    CWaveOutputDirectSound* output_;
    uint64_t play_position_ = 0;
    uint32_t last_write_cursor_ = 0;
    uint32_t fill_offset_ = 0;
    uint32_t owed_bytes_ = 0;
    uint32_t last_play_cursor_ = 0;
    std::string file_name_;
    int pause_count_ = 0;
    bool loop_ = false;
    uint32_t block_size_ = 0;
    uint64_t stream_bytes_ = 0;
    int volume_ = 0;
    bool rewound_ = false;          // the stream was rewound and has delivered nothing since
    uint64_t written_total_ = 0;    // bytes written into the ring since the buffer was made
    uint64_t played_total_ = 0;     // bytes the play cursor has passed since then
    std::vector<uint8_t> refill_;   // the refill pass's read buffer (refill thread only)
    platform::MixFeeder feeder_;    // the refill thread as the mix sees it
};

} // namespace zuderadeDoruVAV3ed
