// WaveStream.h -- the stream-reader interface: PCM data and its wave format, pulled by the wave
// sounds. Plug-in readers implement it too.
#pragma once

#include <cstdint>

#include "platform/audio.h"

namespace zuderadeDoruVAV3ed {

using WAVEFORMATEX = platform::WaveFormatEx;

// The byte that is silence in the format's samples: 8-bit PCM is unsigned around 0x80.
inline uint8_t SilenceByte(const WAVEFORMATEX* format) { return format && format->bits_per_sample == 8 ? 0x80 : 0; }

class IWaveStream {
public:
    static constexpr const char kInterfaceName[] = "IWaveStream";

    virtual ~IWaveStream() = default;
    // 0 on success; closes whatever was open first.
    virtual int Open(const char* file_name) = 0;
    virtual int Close() = 0;
    // Milliseconds; -1 when not available.
    virtual int GetLength() = 0;
    virtual int SetCurrentPos(int ms) = 0;
    virtual int GetCurrentPos() = 0;
    // PCM bytes written into buffer; 0 at the end of the data; more than bytes means failure.
    virtual uint32_t Read(void* buffer, uint32_t bytes) = 0;
    // The format of what Read delivers; null when there is none.
    virtual WAVEFORMATEX* GetFormat() = 0;
};

} // namespace zuderadeDoruVAV3ed
