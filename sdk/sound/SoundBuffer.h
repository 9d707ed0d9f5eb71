// SoundBuffer.h -- sound buffers behind small result numbers: the primary and secondary buffer
// wrappers over the platform's mixer and the null buffer used when no device works.
#pragma once

#include <cstdint>
#include <memory>

#include "sdk/ktl/smart_ptr.h"
#include "sdk/sound/WaveStream.h"

namespace zuderadeDoruVAV3ed {

class CDirectSound;
class CStreamFactoryHolder;

// Results: 0 done, 1 no buffer yet, 2 the buffer refused (each operation says more); -1 from the
// null buffer.
class ISoundBuffer {
public:
    virtual ~ISoundBuffer() = default;
    virtual bool IsValid() = 0;
    virtual int Create(const WAVEFORMATEX* format, uint32_t bytes, bool clear, CStreamFactoryHolder* options) = 0;
    virtual void Duplicate(KTL::smart_ptr<ISoundBuffer>& out) = 0;
    // 0 no buffer, 1 lost, 2 stopped, 3 playing.
    virtual int GetStatus() = 0;
    virtual int SetFormat(const WAVEFORMATEX* format) = 0;
    virtual int GetFormat(WAVEFORMATEX* format) = 0;
    virtual int SetCurrentPosition(uint32_t offset) = 0;
    virtual int GetCurrentPosition(uint32_t* play, uint32_t* write) = 0;
    virtual int SetVolume(int volume) = 0;
    virtual int GetVolume(int* volume) = 0;
    virtual int SetPan(int pan) = 0;
    virtual int GetPan(int* pan) = 0;
    virtual int SetFrequency(uint32_t frequency) = 0;
    virtual int GetFrequency(uint32_t* frequency) = 0;
    virtual int Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* size1, void** part2, uint32_t* size2) = 0;
    virtual int Unlock(void* part1, uint32_t size1, void* part2, uint32_t size2) = 0;
    // 0 playing; 1 no buffer; 2 the buffer is lost; 3 any other failure.
    virtual int Play(bool loop) = 0;
    virtual int Stop() = 0;
    virtual int Restore() = 0;
};

class CDirectSoundBuffer : public ISoundBuffer {
public:
    explicit CDirectSoundBuffer(CDirectSound* sound) : sound_(sound) {}
    bool IsValid() override { return true; }
    int GetStatus() override;
    int SetFormat(const WAVEFORMATEX* format) override;
    int GetFormat(WAVEFORMATEX* format) override;
    int SetCurrentPosition(uint32_t offset) override;
    int GetCurrentPosition(uint32_t* play, uint32_t* write) override;
    int SetVolume(int volume) override;
    int GetVolume(int* volume) override;
    int SetPan(int pan) override;
    int GetPan(int* pan) override;
    int SetFrequency(uint32_t frequency) override;
    int GetFrequency(uint32_t* frequency) override;
    int Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* size1, void** part2, uint32_t* size2) override;
    int Unlock(void* part1, uint32_t size1, void* part2, uint32_t size2) override;
    int Play(bool loop) override;
    int Stop() override;
    int Restore() override;

    // The platform's buffer (null until Create succeeds).
    platform::SoundBuffer* GetBuffer() const { return buffer_.get(); }

protected:
    // 1 without a buffer, else 0 when the buffer's call succeeds and 2 when it does not.
    template <class F>
    int Call(F call) {
        if (!buffer_) return 1;
        return call() == platform::AudioResult::kOk ? 0 : 2;
    }

    std::unique_ptr<platform::SoundBuffer> buffer_;
    CDirectSound* sound_;
};

// The primary buffer: it only carries the output format.
class CDirectSoundBufferA : public CDirectSoundBuffer {
public:
    using CDirectSoundBuffer::CDirectSoundBuffer;
    int Create(const WAVEFORMATEX* format, uint32_t bytes, bool clear, CStreamFactoryHolder* options) override;
    void Duplicate(KTL::smart_ptr<ISoundBuffer>& out) override;
};

// A secondary buffer, played by the mixer.
class CDirectSoundBufferB : public CDirectSoundBuffer {
public:
    using CDirectSoundBuffer::CDirectSoundBuffer;
    int Create(const WAVEFORMATEX* format, uint32_t bytes, bool clear, CStreamFactoryHolder* options) override;
    void Duplicate(KTL::smart_ptr<ISoundBuffer>& out) override;
};

class CNullSoundBuffer : public ISoundBuffer {
public:
    bool IsValid() override { return false; }
    int Create(const WAVEFORMATEX*, uint32_t, bool, CStreamFactoryHolder*) override { return -1; }
    void Duplicate(KTL::smart_ptr<ISoundBuffer>& out) override { out.reset(new CNullSoundBuffer); }
    int GetStatus() override { return -1; }
    int SetFormat(const WAVEFORMATEX*) override { return -1; }
    int GetFormat(WAVEFORMATEX*) override { return -1; }
    int SetCurrentPosition(uint32_t) override { return -1; }
    int GetCurrentPosition(uint32_t*, uint32_t*) override { return -1; }
    int SetVolume(int) override { return -1; }
    int GetVolume(int*) override { return -1; }
    int SetPan(int) override { return -1; }
    int GetPan(int*) override { return -1; }
    int SetFrequency(uint32_t) override { return -1; }
    int GetFrequency(uint32_t*) override { return -1; }
    int Lock(uint32_t, uint32_t, void**, uint32_t*, void**, uint32_t*) override { return -1; }
    int Unlock(void*, uint32_t, void*, uint32_t) override { return -1; }
    int Play(bool) override { return -1; }
    int Stop() override { return -1; }
    int Restore() override { return -1; }
};

} // namespace zuderadeDoruVAV3ed
