// WaveReaders.h -- the stream readers of the program: PCM WAV, compressed WAV and MP3, and the
// reader that reads nothing.
#pragma once

#include <vector>

#include "platform/acm.h"
#include "platform/riff.h"
#include "sdk/file/File.h"
#include "sdk/ktl/smart_ptr.h"
#include "sdk/sound/WaveStream.h"

namespace zuderadeDoruVAV3ed {

// PCM WAV, from a disk stream or, when the file is not on disk, from its archive image.
class CWaveStream : public IWaveStream {
public:
    CWaveStream() : file_(new CFile) {}
    ~CWaveStream() override { Close(); }
    int Open(const char* file_name) override;
    int Close() override;
    int GetLength() override;
    int SetCurrentPos(int ms) override;
    int GetCurrentPos() override;
    uint32_t Read(void* buffer, uint32_t bytes) override;
    WAVEFORMATEX* GetFormat() override { return format_.avg_bytes_per_sec ? &format_ : nullptr; }

private:
    int Initialize();

    KTL::smart_ptr<CFile> file_;
    bool memory_mode_ = false;
    alignas(8) WAVEFORMATEX format_{};
    uint32_t data_start_ = 0;
    uint32_t data_size_ = 0;
    uint32_t position_ = 0;
    platform::RiffWalker riff_;
};

// Compressed WAV and MP3, read whole into memory and decoded by the platform's converter.
class CACMStream : public IWaveStream {
public:
    CACMStream() : file_(new CFile) {}
    ~CACMStream() override { Close(); }
    int Open(const char* file_name) override;
    int Close() override;
    int GetLength() override { return static_cast<int>(length_); }
    int SetCurrentPos(int ms) override;
    int GetCurrentPos() override;
    uint32_t Read(void* buffer, uint32_t bytes) override;
    WAVEFORMATEX* GetFormat() override { return dest_format_.avg_bytes_per_sec ? &dest_format_ : nullptr; }

private:
    int InitializeNormal();
    int InitializeMP3();
    // The first MP3 frame goes to a decoder that starts at the beginning of the data.
    void PrimeFirstFrame();
    const WAVEFORMATEX* SourceFormat() const {
        return source_format_.empty() ? nullptr : reinterpret_cast<const WAVEFORMATEX*>(source_format_.data());
    }

    KTL::smart_ptr<CFile> file_;
    platform::RiffWalker riff_;
    std::vector<uint8_t> source_format_;   // a copy: the file image is never written
    alignas(8) WAVEFORMATEX dest_format_{};
    alignas(8) platform::MpegLayer3WaveFormat mp3_format_{};
    platform::AudioConverter converter_;
    uint32_t data_size_ = 0;
    uint32_t data_start_ = 0;
    uint32_t source_position_ = 0;
    int32_t length_ = -1;
    uint32_t output_position_ = 0;
    uint32_t source_block_ = 0;
    uint32_t dest_block_ = 0;
    uint32_t first_frame_ = 0;   // MP3: the first frame's length (its header lies before the data)
};

class CNullWaveStream : public IWaveStream {
public:
    int Open(const char*) override { return -1; }
    int Close() override { return -1; }
    int GetLength() override { return -1; }
    int SetCurrentPos(int) override { return -1; }
    int GetCurrentPos() override { return -1; }
    uint32_t Read(void*, uint32_t) override { return 0; }
    WAVEFORMATEX* GetFormat() override { return nullptr; }
};

} // namespace zuderadeDoruVAV3ed
