// VorbisStream.cpp -- the Ogg Vorbis plug-in: a stream reader over libvorbisfile, registered
// with the object creater that loads it as "CVorbisStream".
#include <vorbis/vorbisfile.h>

#include <cstring>
#include <filesystem>

#include "sdk/app/ObjectCreater.h"
#include "sdk/sound/WaveStream.h"

namespace {

using zuderadeDoruVAV3ed::IWaveStream;
using zuderadeDoruVAV3ed::WAVEFORMATEX;

// Reads Ogg Vorbis files from disk as 16-bit PCM of one or two channels.
class CVorbisStream final : public IWaveStream {
public:
    ~CVorbisStream() override { Close(); }

    int Open(const char* file_name) override {
        Close();
        // Only a regular file: opening a FIFO or a device would block or read without end.
        std::error_code error;
        if (!file_name || !std::filesystem::is_regular_file(file_name, error) || ov_fopen(file_name, &file_) != 0)
            return 1;
        open_ = true;
        const vorbis_info* info = ov_info(&file_, -1);
        if (!info || (info->channels != 1 && info->channels != 2) || info->rate <= 0 || info->rate > 200000) {
            Close();
            return 2;
        }
        if (!DecoderSetsUp()) {
            Close();
            return 3;
        }
        format_.format_tag = platform::kWaveFormatPcm;
        format_.channels = static_cast<uint16_t>(info->channels);
        format_.samples_per_sec = static_cast<uint32_t>(info->rate);
        format_.bits_per_sample = 16;
        format_.block_align = static_cast<uint16_t>(format_.channels * 2);
        format_.avg_bytes_per_sec = format_.samples_per_sec * format_.block_align;
        format_.cb_size = 0;
        const ogg_int64_t total = ov_pcm_total(&file_, -1);
        total_frames_ = total > 0 ? total : 0;
        return 0;
    }

    int Close() override {
        if (open_) ov_clear(&file_);
        open_ = false;
        format_ = WAVEFORMATEX{};
        total_frames_ = 0;
        return 0;
    }

    int GetLength() override {
        if (!open_) return -1;
        return static_cast<int>(total_frames_ * 1000 / format_.samples_per_sec);
    }

    int SetCurrentPos(int ms) override {
        if (!open_) return 1;
        if (ms < 0) return 1;
        if (ms >= GetLength()) return 2;
        const ogg_int64_t frame = static_cast<ogg_int64_t>(ms) * format_.samples_per_sec / 1000;
        return ov_pcm_seek(&file_, frame) == 0 ? 0 : 3;
    }

    int GetCurrentPos() override {
        if (!open_) return -1;
        const ogg_int64_t frame = ov_pcm_tell(&file_);
        return frame < 0 ? -1 : static_cast<int>(frame * 1000 / format_.samples_per_sec);
    }

    uint32_t Read(void* buffer, uint32_t bytes) override {
        if (!open_ || !buffer) return 0;
        bytes -= bytes % format_.block_align;
        char* out = static_cast<char*>(buffer);
        uint32_t filled = 0;
        int failures = 0;
        while (filled < bytes) {
            int section = 0;
            const long n = ov_read(&file_, out + filled, static_cast<int>(bytes - filled), 0, 2, 1, &section);
            if (n == 0) break;
            if (n < 0) {
                // A hole in the data is skipped; a stream that keeps failing ends here.
                if (n == OV_HOLE && ++failures < 8) continue;
                break;
            }
            filled += static_cast<uint32_t>(n);
        }
        return filled;
    }

    WAVEFORMATEX* GetFormat() override { return open_ ? &format_ : nullptr; }

private:
    // Sets the decoder up once for every link of the file and takes it down again. The library
    // builds a link's codebooks at its first set-up; when one cannot be built (a code whose word
    // lengths do not fit) that set-up fails but leaves the codebooks emptied, and the next one, at
    // the following read or seek, succeeds and decodes with them, dividing by zero. A file that
    // fails here is refused; one that passes keeps its codebooks built for the reads.
    bool DecoderSetsUp() {
        for (int link = 0; link < ov_streams(&file_); ++link) {
            vorbis_info* info = ov_info(&file_, link);
            vorbis_dsp_state decoder{};
            if (!info || vorbis_synthesis_init(&decoder, info) != 0) return false;
            vorbis_dsp_clear(&decoder);
        }
        return true;
    }

    OggVorbis_File file_{};
    bool open_ = false;
    alignas(8) WAVEFORMATEX format_{};
    ogg_int64_t total_frames_ = 0;
};

} // namespace

extern "C" __attribute__((visibility("default"))) void ZiruRuzIzudozarora(zuderadeDoruVAV3ed::IObjectRegistry* creater) {
    RegisterClassAs<IWaveStream, CVorbisStream>(creater, "CVorbisStream");
}
