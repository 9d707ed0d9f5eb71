// acm.cpp -- MPEG audio decoding through libmpg123, one whole frame at a time.
#include "platform/acm.h"

#include <mpg123.h>

#include <algorithm>
#include <mutex>

namespace platform {

namespace {

// kbit/s by [MPEG-1?][layer - 1][index].
constexpr int kBitRates[2][3][16] = {
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}},
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
};
constexpr int kSampleRates[3] = {44100, 48000, 32000};

bool InitLibrary() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = mpg123_init() == MPG123_OK; });
    return ok;
}

mpg123_handle* Handle(void* p) { return static_cast<mpg123_handle*>(p); }

} // namespace

uint32_t MpegFrameLength(const uint8_t* h, uint32_t* samples_per_frame) {
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return 0;
    const int version = (h[1] >> 3) & 3;   // 0 MPEG-2.5, 2 MPEG-2, 3 MPEG-1
    const int layer = 4 - ((h[1] >> 1) & 3);
    const int bit_index = h[2] >> 4, rate_index = (h[2] >> 2) & 3;
    if (version == 1 || layer == 4 || bit_index == 0 || bit_index == 15 || rate_index == 3) return 0;
    const bool mpeg1 = version == 3;
    const int kbps = kBitRates[mpeg1][layer - 1][bit_index];
    const int rate = kSampleRates[rate_index] >> (mpeg1 ? 0 : (version == 2 ? 1 : 2));
    const int padding = (h[2] >> 1) & 1;
    uint32_t samples = layer == 1 ? 384 : (layer == 3 && !mpeg1 ? 576 : 1152);
    if (samples_per_frame) *samples_per_frame = samples;
    if (layer == 1) return static_cast<uint32_t>((12000 * kbps / rate + padding) * 4);
    return static_cast<uint32_t>(samples / 8 * 1000 * kbps / rate + padding);
}

bool SuggestPcmFormat(const WaveFormatEx* source, WaveFormatEx* pcm) {
    if (!source || !pcm || source->format_tag != kWaveFormatMpegLayer3) return false;
    if ((source->channels != 1 && source->channels != 2) || source->samples_per_sec < 8000 ||
        source->samples_per_sec > 48000)
        return false;
    pcm->format_tag = kWaveFormatPcm;
    pcm->channels = source->channels;
    pcm->samples_per_sec = source->samples_per_sec;
    pcm->bits_per_sample = 16;
    pcm->block_align = static_cast<uint16_t>(pcm->channels * 2);
    pcm->avg_bytes_per_sec = pcm->samples_per_sec * pcm->block_align;
    pcm->cb_size = 0;
    return true;
}

bool AudioConverter::Open(const WaveFormatEx* source, const WaveFormatEx* pcm) {
    Close();
    WaveFormatEx suggested;
    if (!pcm || !SuggestPcmFormat(source, &suggested) || pcm->format_tag != kWaveFormatPcm ||
        pcm->channels != suggested.channels || pcm->samples_per_sec != suggested.samples_per_sec ||
        pcm->bits_per_sample != 16 || !InitLibrary())
        return false;
    int error = 0;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (!handle) return false;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_format_none(handle);
    const int channels = pcm->channels == 2 ? MPG123_STEREO : MPG123_MONO;
    if (mpg123_format(handle, pcm->samples_per_sec, channels, MPG123_ENC_SIGNED_16) != MPG123_OK ||
        mpg123_open_feed(handle) != MPG123_OK) {
        mpg123_delete(handle);
        return false;
    }
    decoder_ = handle;
    pcm_ = suggested;
    samples_per_frame_ = source->samples_per_sec >= 32000 ? 1152 : 576;
    source_block_ = 0;
    if (source->cb_size >= 12) source_block_ = reinterpret_cast<const MpegLayer3WaveFormat*>(source)->block_size;
    if (source_block_ == 0) source_block_ = std::max<uint32_t>(1, source->avg_bytes_per_sec * samples_per_frame_ / source->samples_per_sec);
    return true;
}

void AudioConverter::Close() {
    if (!decoder_) return;
    mpg123_close(Handle(decoder_));
    mpg123_delete(Handle(decoder_));
    decoder_ = nullptr;
}

bool AudioConverter::Prime(const uint8_t* frame, uint32_t length) {
    if (!decoder_ || !frame || length < 4 || MpegFrameLength(frame, nullptr) != length) return false;
    return mpg123_feed(Handle(decoder_), frame, length) == MPG123_OK;
}

bool AudioConverter::SourceToPcmSize(uint32_t source, uint32_t* pcm) const {
    if (!decoder_ || !pcm) return false;
    const uint64_t frames = (static_cast<uint64_t>(source) + source_block_ - 1) / source_block_;
    *pcm = static_cast<uint32_t>(std::min<uint64_t>(frames * FramePcmBytes(), 0xFFFFFFFFu));
    return true;
}

bool AudioConverter::PcmToSourceSize(uint32_t pcm, uint32_t* source) const {
    if (!decoder_ || !source) return false;
    *source = static_cast<uint32_t>(static_cast<uint64_t>(pcm / FramePcmBytes()) * source_block_);
    return true;
}

bool AudioConverter::Convert(const uint8_t* source, uint32_t source_len, uint8_t* pcm, uint32_t pcm_len,
                             uint32_t* used, uint32_t* produced) {
    *used = 0;
    *produced = 0;
    if (!decoder_ || !source || !pcm) return false;
    mpg123_handle* handle = Handle(decoder_);
    uint32_t at = 0;
    while (true) {
        size_t got = 0;
        int result = mpg123_read(handle, pcm + *produced, pcm_len - *produced, &got);
        *produced += static_cast<uint32_t>(got);
        if (result == MPG123_NEW_FORMAT) continue;
        if (result == MPG123_OK && got > 0) continue;
        if (result != MPG123_NEED_MORE && result != MPG123_OK) return false;
        if (pcm_len - *produced < FramePcmBytes()) break;
        // The next whole frame; bytes that are not a frame header are skipped. A header whose
        // successor (when present) is no header is taken for junk too; nothing but zeros after
        // it (the padding behind the last frame) is no successor.
        uint32_t frame = 0;
        while (at + 4 <= source_len) {
            frame = MpegFrameLength(source + at, nullptr);
            if (frame != 0 && at + frame <= source_len &&
                (at + frame + 4 > source_len || MpegFrameLength(source + at + frame, nullptr) != 0 ||
                 std::all_of(source + at + frame, source + source_len, [](uint8_t b) { return b == 0; })))
                break;
            if (frame != 0 && at + frame > source_len) {
                frame = 0;
                break;   // a frame cut short: left for a later call
            }
            frame = 0;
            ++at;
        }
        if (frame == 0) break;
        if (mpg123_feed(handle, source + at, frame) != MPG123_OK) return false;
        at += frame;
        *used = at;
    }
    return true;
}

} // namespace platform
