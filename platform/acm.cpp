// acm.cpp -- MPEG audio decoding through libmpg123, one whole frame at a time, and the block
// codecs of compressed WAV through libsndfile, whole blocks at a time.
#include "platform/acm.h"

#include <mpg123.h>
#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

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

constexpr uint16_t kMsAdpcm = 0x02, kALaw = 0x06, kMuLaw = 0x07, kImaAdpcm = 0x11, kGsm610 = 0x31;

// Samples per channel in one block of a block codec's format; 0 when the format is none of them
// or its block size does not fit the codec.
uint32_t BlockSamples(const WaveFormatEx* f) {
    const uint32_t channels = f->channels, align = f->block_align;
    if (channels == 0 || channels > 2) return 0;
    uint32_t samples = 0;
    switch (f->format_tag) {
    case kALaw:
    case kMuLaw:
        return align == channels ? 1 : 0;
    case kImaAdpcm:   // a 4-byte header per channel, then 4-byte groups of 8 samples per channel
        if (align > 4 * channels && align % (4 * channels) == 0) samples = (align - 4 * channels) * 2 / channels + 1;
        break;
    case kMsAdpcm:   // a 7-byte header of 2 samples per channel, then 2 samples a byte
        if (align > 7 * channels) samples = (align - 7 * channels) * 2 / channels + 2;
        break;
    case kGsm610:   // two 160-sample frames in 65 bytes
        if (channels == 1 && align == 65) samples = 320;
        break;
    default:
        return 0;
    }
    // The count the format's extra data gives must be the block's.
    if (f->cb_size >= 2) {
        uint16_t given = 0;
        std::memcpy(&given, reinterpret_cast<const uint8_t*>(f) + sizeof(WaveFormatEx), 2);
        if (given != samples) return 0;
    }
    return samples;
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Whether a buffer holds nothing but zeros from an offset to its end. What a look found is kept,
// so each byte is looked at once at most however many offsets are asked about: all the junk
// headers before one long run of zeros ask about that run.
class ZerosToEnd {
public:
    ZerosToEnd(const uint8_t* data, uint32_t size) : data_(data), zeros_from_(size) {}
    bool From(uint32_t offset) {
        if (offset >= zeros_from_) return true;
        if (offset < nonzero_end_) return false;   // a byte at or after offset is not zero
        uint32_t at = offset;
        while (at < zeros_from_ && data_[at] == 0) ++at;
        if (at == zeros_from_) {
            zeros_from_ = offset;
            return true;
        }
        nonzero_end_ = at + 1;
        return false;
    }

private:
    const uint8_t* data_;
    uint32_t zeros_from_;        // known: only zeros from here on
    uint32_t nonzero_end_ = 0;   // known: the byte before this one is not zero
};

} // namespace

// libsndfile reads a WAV file: here a virtual one, the header made from the source format
// followed by a data chunk whose bytes are the blocks each Convert hands over, in stream order.
// The data chunk is given as long as the decoder's counts allow (frames in 31 bits), so it never
// meets its end.
struct AudioConverter::BlockDecoder {
    std::vector<uint8_t> header;
    const uint8_t* data = nullptr;   // the blocks of this Convert
    uint32_t data_len = 0;
    uint64_t data_at = 0;            // their offset in the data chunk
    uint64_t fed = 0;                // data bytes taken by the decoder so far
    sf_count_t position = 0;
    sf_count_t length = 0;
    SNDFILE* file = nullptr;
    std::vector<int16_t> samples;

    ~BlockDecoder() { Stop(); }

    BlockDecoder(const WaveFormatEx* source, uint32_t block_samples) {
        const uint32_t fmt_size = sizeof(WaveFormatEx) + source->cb_size;
        const uint32_t data_size =
            std::min(0x7FFF0000u / source->block_align, 0x40000000u / block_samples) * source->block_align;
        const auto* fmt = reinterpret_cast<const uint8_t*>(source);
        header.assign({'R', 'I', 'F', 'F'});
        PutLe(header, 4 + 8 + fmt_size + (fmt_size & 1) + 8 + data_size, 4);
        header.insert(header.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
        PutLe(header, fmt_size, 4);
        header.insert(header.end(), fmt, fmt + fmt_size);
        if (fmt_size & 1) header.push_back(0);
        header.insert(header.end(), {'d', 'a', 't', 'a'});
        PutLe(header, data_size, 4);
        length = static_cast<sf_count_t>(header.size()) + data_size;
    }

    // Opens the decoder over the blocks given now (it reads the first as it opens); false when
    // libsndfile refuses the format or makes other PCM of it than pcm.
    bool Start(const WaveFormatEx& pcm) {
        static SF_VIRTUAL_IO io = {
            [](void* self) { return static_cast<BlockDecoder*>(self)->length; },
            [](sf_count_t offset, int whence, void* self) { return static_cast<BlockDecoder*>(self)->Seek(offset, whence); },
            [](void* out, sf_count_t count, void* self) { return static_cast<BlockDecoder*>(self)->Read(out, count); },
            [](const void*, sf_count_t, void*) { return sf_count_t{0}; },
            [](void* self) { return static_cast<BlockDecoder*>(self)->position; },
        };
        Stop();
        fed = data_at = 0;
        position = 0;
        SF_INFO info{};
        file = sf_open_virtual(&io, SFM_READ, &info, this);
        if (file && info.channels == pcm.channels && info.samplerate == static_cast<int>(pcm.samples_per_sec)) return true;
        Stop();
        return false;
    }
    void Stop() {
        if (file) sf_close(file);
        file = nullptr;
    }

    sf_count_t Seek(sf_count_t offset, int whence) {
        const sf_count_t base = whence == SEEK_CUR ? position : whence == SEEK_END ? length : 0;
        if (base + offset < 0 || base + offset > length) return -1;
        return position = base + offset;
    }
    // The header, then the blocks of this Convert where they lie in the data chunk; a read
    // elsewhere in the chunk comes short.
    sf_count_t Read(void* out, sf_count_t count) {
        auto* to = static_cast<uint8_t*>(out);
        sf_count_t done = 0;
        const auto header_size = static_cast<sf_count_t>(header.size());
        while (done < count) {
            const sf_count_t at = position + done;
            const uint8_t* from = nullptr;
            sf_count_t have = 0;
            if (at < header_size) {
                from = header.data() + at;
                have = header_size - at;
            } else {
                const sf_count_t k = at - header_size - static_cast<sf_count_t>(data_at);
                if (k < 0 || k >= data_len) break;
                from = data + k;
                have = data_len - k;
            }
            const sf_count_t n = std::min(have, count - done);
            std::memcpy(to + done, from, static_cast<size_t>(n));
            done += n;
        }
        position += done;
        return done;
    }
};

AudioConverter::AudioConverter() = default;
AudioConverter::~AudioConverter() { Close(); }

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
    if (!source || !pcm || (source->format_tag != kWaveFormatMpegLayer3 && BlockSamples(source) == 0)) return false;
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
        pcm->bits_per_sample != 16)
        return false;
    if (source->format_tag != kWaveFormatMpegLayer3) {
        // The decoder must take the format: it opens over one block of zeros, and again over the
        // first blocks that Convert gets.
        auto blocks = std::make_unique<BlockDecoder>(source, BlockSamples(source));
        const std::vector<uint8_t> zeros(source->block_align, 0);
        blocks->data = zeros.data();
        blocks->data_len = source->block_align;
        if (!blocks->Start(suggested)) return false;
        blocks->Stop();
        blocks_ = std::move(blocks);
        pcm_ = suggested;
        samples_per_frame_ = BlockSamples(source);
        source_block_ = source->block_align;
        return true;
    }
    if (!InitLibrary()) return false;
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
    blocks_.reset();
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
    if (!IsOpen() || !pcm) return false;
    const uint64_t frames = (static_cast<uint64_t>(source) + source_block_ - 1) / source_block_;
    *pcm = static_cast<uint32_t>(std::min<uint64_t>(frames * FramePcmBytes(), 0xFFFFFFFFu));
    return true;
}

bool AudioConverter::PcmToSourceSize(uint32_t pcm, uint32_t* source) const {
    if (!IsOpen() || !source) return false;
    *source = static_cast<uint32_t>(static_cast<uint64_t>(pcm / FramePcmBytes()) * source_block_);
    return true;
}

bool AudioConverter::Convert(const uint8_t* source, uint32_t source_len, uint8_t* pcm, uint32_t pcm_len,
                             uint32_t* used, uint32_t* produced) {
    *used = 0;
    *produced = 0;
    if (!IsOpen() || !source || !pcm) return false;
    if (decoder_) return ConvertMpeg(source, source_len, pcm, pcm_len, used, produced);
    const uint32_t count = std::min(source_len / source_block_, pcm_len / FramePcmBytes());
    if (count == 0) return true;
    BlockDecoder& d = *blocks_;
    d.data = source;
    d.data_len = count * source_block_;
    d.data_at = d.fed;
    if (!d.file && !d.Start(pcm_)) return false;
    const sf_count_t frames = sf_count_t{count} * samples_per_frame_;
    d.samples.resize(static_cast<size_t>(frames) * pcm_.channels);
    const sf_count_t got = sf_readf_short(d.file, d.samples.data(), frames);
    if (got <= 0) return false;
    *produced = static_cast<uint32_t>(got) * pcm_.block_align;
    std::memcpy(pcm, d.samples.data(), *produced);
    *used = d.data_len;
    d.fed += d.data_len;
    return true;
}

bool AudioConverter::ConvertMpeg(const uint8_t* source, uint32_t source_len, uint8_t* pcm, uint32_t pcm_len,
                                 uint32_t* used, uint32_t* produced) {
    mpg123_handle* handle = Handle(decoder_);
    ZerosToEnd zeros(source, source_len);
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
                 zeros.From(at + frame)))
                break;
            if (frame != 0 && at + frame > source_len) {
                frame = 0;
                break;   // a frame cut short: left for a later call
            }
            frame = 0;
            // A header starts with 0xFF.
            const void* next = std::memchr(source + at + 1, 0xFF, source_len - at - 1);
            at = next ? static_cast<uint32_t>(static_cast<const uint8_t*>(next) - source) : source_len;
        }
        if (frame == 0) break;
        if (mpg123_feed(handle, source + at, frame) != MPG123_OK) return false;
        at += frame;
        *used = at;
    }
    return true;
}

} // namespace platform
