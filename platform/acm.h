// acm.h -- compressed-audio conversion to PCM: MPEG audio (MP3) decoded by libmpg123; IMA
// ADPCM, Microsoft ADPCM, GSM 6.10, A-law and mu-law decoded by libsndfile.
//
// The converter is fed whole frames or blocks, so the count of source bytes it reports as used is
// exact: every frame or block it takes is decoded, every byte it leaves is for the next call.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/audio.h"

namespace platform {

inline constexpr uint16_t kWaveFormatMpegLayer3 = 0x55;

#pragma pack(push, 1)
// The MPEG layer 3 format record (30 bytes): the wave format with 12 bytes of extra data.
struct MpegLayer3WaveFormat {
    WaveFormatEx wfx;
    uint16_t id;
    uint32_t flags;
    uint16_t block_size;
    uint16_t frames_per_block;
    uint16_t codec_delay;
};
#pragma pack(pop)
static_assert(sizeof(MpegLayer3WaveFormat) == 30);

// The PCM format a converter makes of source (16-bit, its rate and channels); false when no
// converter takes that format.
bool SuggestPcmFormat(const WaveFormatEx* source, WaveFormatEx* pcm);

class AudioConverter {
public:
    AudioConverter();
    ~AudioConverter();
    AudioConverter(const AudioConverter&) = delete;
    AudioConverter& operator=(const AudioConverter&) = delete;

    // false when the pair is not one SuggestPcmFormat gives or the decoder does not start.
    bool Open(const WaveFormatEx* source, const WaveFormatEx* pcm);
    void Close();
    bool IsOpen() const { return decoder_ != nullptr || blocks_ != nullptr; }

    // Hands the decoder the stream's first frame before the data that Convert gets: an encoder's
    // information frame there tells the decoder the delay and padding to leave out, an audio frame
    // is decoded and comes out with the next Convert.
    bool Prime(const uint8_t* frame, uint32_t length);

    // PCM bytes of the frames in source bytes (a part frame counts whole), and source bytes of
    // the whole frames in pcm bytes.
    bool SourceToPcmSize(uint32_t source, uint32_t* pcm) const;
    bool PcmToSourceSize(uint32_t pcm, uint32_t* source) const;

    // Decodes frame after frame (block after block) from source into pcm while a frame's output
    // fits. used: source bytes taken (frames and the junk before them); produced: PCM bytes written.
    bool Convert(const uint8_t* source, uint32_t source_len, uint8_t* pcm, uint32_t pcm_len, uint32_t* used,
                 uint32_t* produced);

private:
    struct BlockDecoder;

    uint32_t FramePcmBytes() const { return samples_per_frame_ * pcm_.block_align; }
    bool ConvertMpeg(const uint8_t* source, uint32_t source_len, uint8_t* pcm, uint32_t pcm_len, uint32_t* used,
                     uint32_t* produced);

    void* decoder_ = nullptr;   // mpg123_handle
    std::unique_ptr<BlockDecoder> blocks_;   // the block codecs' decoder
    WaveFormatEx pcm_{};
    uint32_t source_block_ = 0;        // bytes of one source frame, as the format gives it
    uint32_t samples_per_frame_ = 0;
};

// One MPEG audio frame header: the frame's length in bytes, or 0 when the four bytes are none.
uint32_t MpegFrameLength(const uint8_t* header, uint32_t* samples_per_frame);

} // namespace platform
