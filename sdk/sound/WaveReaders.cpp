// WaveReaders.cpp -- the PCM WAV reader, the compressed WAV / MP3 reader and the stream factory.
#include "sdk/sound/WaveReaders.h"

#include <algorithm>
#include <cstring>

#include "sdk/base/ErrorLog.h"
#include "sdk/app/ObjectCreater.h"
#include "sdk/file/PathHelper.h"
#include "sdk/sound/StreamFactory.h"

namespace zuderadeDoruVAV3ed {

namespace {

using platform::FourCC;

constexpr uint32_t kNoPosition = 0xFFFFFFFFu;
constexpr uint32_t kMinFmtSize = 16;

// ms * bytes per second / 1000 as a byte offset aligned down to a whole sample frame;
// kNoPosition for a negative ms or one past the 32-bit range.
uint32_t BytesFromMs(int ms, const WAVEFORMATEX& format) {
    if (ms < 0) return kNoPosition;
    const uint64_t bytes = static_cast<uint64_t>(ms) * format.avg_bytes_per_sec / 1000;
    if (bytes >= kNoPosition) return kNoPosition;
    const uint32_t align = std::max<uint32_t>(1, format.block_align);
    return static_cast<uint32_t>(bytes - bytes % align);
}

int MsFromBytes(uint32_t bytes, uint32_t bytes_per_second) {
    if (bytes_per_second == 0) return -1;
    return static_cast<int>(static_cast<uint64_t>(bytes) * 1000 / bytes_per_second);
}

} // namespace

// ---- CWaveStream ----

int CWaveStream::Open(const char* file_name) {
    Close();
    const std::string name = file_name ? file_name : "";
    memory_mode_ = false;
    if (file_->Read(name, "rb") != 0) {
        memory_mode_ = true;
        if (file_->ReadWithArchive(name) != 0) {
            CErrorLog::Out("CWaveStream::Load %sのファイル読み込み時のエラー", name.c_str());
            return 1;
        }
    }
    if (Initialize() != 0) {
        Close();
        return 2;
    }
    return 0;
}

int CWaveStream::Initialize() {
    const bool opened = memory_mode_ ? riff_.OpenMemory(file_->GetData(), file_->GetSize())
                                     : riff_.OpenFile(file_->GetName());
    if (!opened) {
        CErrorLog::Out("CWaveStream::Initialize mmioOpenに失敗");
        return 1;
    }
    platform::RiffChunk riff, fmt, data;
    if (!riff_.DescendRiff(FourCC("WAVE"), &riff)) {
        CErrorLog::Out("CWaveStream::Initialize Waveファイルでない");
        return 2;
    }
    if (!riff_.DescendChunk(FourCC("fmt "), &riff, &fmt)) {
        CErrorLog::Out("CWaveStream::Initialize fmtチャンクが指定できない");
        return 3;
    }
    if (fmt.size < kMinFmtSize) {
        CErrorLog::Out("CWaveStream::Initialize fmtチャンクが短すぎる(%u)", fmt.size);
        return 3;
    }
    format_ = WAVEFORMATEX{};
    riff_.Read(&format_, std::min<uint32_t>(fmt.size, sizeof(format_)));
    if (fmt.size < sizeof(format_)) format_.cb_size = 0;
    if (format_.format_tag != platform::kWaveFormatPcm) {
        CErrorLog::Out("CWaveStream::Initialize WAVE_FORMAT_PCMじゃない");
        return 4;
    }
    // The byte rate must be the sample rate's frames: every size and position is reckoned by it.
    if (format_.channels == 0 || format_.block_align == 0 || format_.avg_bytes_per_sec == 0 ||
        format_.avg_bytes_per_sec != uint64_t{format_.samples_per_sec} * format_.block_align) {
        CErrorLog::Out("CWaveStream::Initialize フォーマットが異常(ch=%u, align=%u, bytes/s=%u)", format_.channels,
                       format_.block_align, format_.avg_bytes_per_sec);
        return 4;
    }
    riff_.Ascend(fmt);
    if (!riff_.DescendChunk(FourCC("data"), &riff, &data)) {
        CErrorLog::Out("CWaveStream::Initialize データチャンクに行けない");
        return 5;
    }
    data_size_ = data.size - data.size % format_.block_align;
    data_start_ = static_cast<uint32_t>(data.data_offset);
    position_ = 0;
    riff_.Close();
    return 0;
}

int CWaveStream::Close() {
    riff_.Close();
    file_->Close();
    memory_mode_ = false;
    format_ = WAVEFORMATEX{};
    data_start_ = data_size_ = position_ = 0;
    return 0;
}

int CWaveStream::GetLength() { return MsFromBytes(data_size_, format_.avg_bytes_per_sec); }
int CWaveStream::GetCurrentPos() { return MsFromBytes(position_, format_.avg_bytes_per_sec); }

int CWaveStream::SetCurrentPos(int ms) {
    if (format_.avg_bytes_per_sec == 0) return 1;
    const uint32_t bytes = BytesFromMs(ms, format_);
    if (bytes == kNoPosition) return 1;
    if (ms >= GetLength()) return 2;
    position_ = bytes;
    return 0;
}

uint32_t CWaveStream::Read(void* buffer, uint32_t bytes) {
    if (!buffer || position_ >= data_size_) return 0;
    uint32_t n = std::min(bytes, data_size_ - position_);
    if (memory_mode_) {
        const uint8_t* image = file_->GetData();
        if (!image) return 0;
        std::memcpy(buffer, image + data_start_ + position_, n);
    } else {
        FILE* stream = file_->GetStream();
        if (!stream || std::fseek(stream, static_cast<long>(data_start_) + position_, SEEK_SET) != 0) return 0;
        n = static_cast<uint32_t>(std::fread(buffer, 1, n, stream));
    }
    position_ += n;
    return n;
}

// ---- CACMStream ----

int CACMStream::Open(const char* file_name) {
    Close();
    const std::string name = file_name ? file_name : "";
    int r = file_->ReadWithArchive(name);
    if (r != 0) {
        CErrorLog::Out("CACMStream::Open ファイル読み込みに失敗(ret=%d) - %s", r, name.c_str());
        return 1;
    }
    r = InitializeNormal();
    if (r == 2) r = InitializeMP3();
    if (r != 0) {
        CErrorLog::Out("CACMStream::Open オープンに失敗(ret=%d) - %s", r, name.c_str());
        Close();
        return 2;
    }
    if (!platform::SuggestPcmFormat(SourceFormat(), &dest_format_)) {
        CErrorLog::Out("CACMStream::Open acmFormatSuggest()に失敗");
        Close();
        return 3;
    }
    if (!converter_.Open(SourceFormat(), &dest_format_)) {
        CErrorLog::Out("CACMStream::Open acmStreamOpen()に失敗");
        Close();
        return 4;
    }
    if (!converter_.SourceToPcmSize(source_block_, &dest_block_)) {
        CErrorLog::Out("CACMStream::Open acmStreamSize()に失敗");
        Close();
        return 5;
    }
    PrimeFirstFrame();
    return 0;
}

int CACMStream::InitializeNormal() {
    if (!riff_.OpenMemory(file_->GetData(), file_->GetSize())) {
        CErrorLog::Out("CACMStream::InitializeNormal mmioOpenに失敗");
        return 1;
    }
    platform::RiffChunk riff, fmt, data;
    if (!riff_.DescendRiff(FourCC("WAVE"), &riff)) {
        CErrorLog::Out("CACMStream::InitializeNormal Waveファイルでない");
        return 2;
    }
    if (!riff_.DescendChunk(FourCC("fmt "), &riff, &fmt)) {
        CErrorLog::Out("CACMStream::InitializeNormal fmtチャンクが指定できない");
        return 3;
    }
    if (fmt.size < kMinFmtSize) {
        CErrorLog::Out("CACMStream::InitializeNormal fmtチャンクが短すぎる(%u)", fmt.size);
        return 3;
    }
    // A copy, padded so that the largest format record read from it stays inside; its extra-data
    // size is cut to what the chunk holds.
    source_format_.assign(std::max<size_t>(fmt.size, sizeof(platform::MpegLayer3WaveFormat)), 0);
    riff_.Read(source_format_.data(), fmt.size);
    auto* source = reinterpret_cast<WAVEFORMATEX*>(source_format_.data());
    source->cb_size = fmt.size <= sizeof(WAVEFORMATEX) ? 0
                      : static_cast<uint16_t>(std::min<uint32_t>(source->cb_size, fmt.size - sizeof(WAVEFORMATEX)));
    if (source->format_tag == platform::kWaveFormatPcm) {
        CErrorLog::Out("CACMStream::InitializeNormal ACMを使うまでもない");
        return 4;
    }
    riff_.Ascend(fmt);
    if (!riff_.DescendChunk(FourCC("data"), &riff, &data)) {
        CErrorLog::Out("CACMStream::InitializeNormal データチャンクに行けない");
        return 4;
    }
    data_size_ = data.size;
    if (source->block_align > 1) data_size_ -= data_size_ % source->block_align;
    data_start_ = static_cast<uint32_t>(data.data_offset);
    source_block_ = source->block_align;
    length_ = source->avg_bytes_per_sec
                  ? static_cast<int32_t>(static_cast<uint64_t>(data_size_) * 1000 / source->avg_bytes_per_sec)
                  : 0;
    return 0;
}

int CACMStream::InitializeMP3() {
    source_format_.clear();
    const uint8_t* image = file_->GetData();
    const uint32_t file_size = static_cast<uint32_t>(std::min<size_t>(file_->GetSize(), 0x7FFFFFFF));
    if (!image || file_size <= 128) {
        CErrorLog::Out("CACMStream::InitializeMP3 ファイルサイズが異常(dwFileSize=%d)", static_cast<int>(file_size));
        return 1;
    }
    uint32_t tag_size = 0;
    if (std::memcmp(image, "ID3", 3) == 0) {
        tag_size = (((image[6] & 0x7Fu) * 128 + (image[7] & 0x7Fu)) * 128 + (image[8] & 0x7Fu)) * 128 + (image[9] & 0x7Fu);
        tag_size += image[3] >= 4 && (image[5] & 0x10) ? 20 : 10;
        if (file_size <= tag_size + 128) {
            CErrorLog::Out("CACMStream::InitializeMP3 ID3ヘッダ長が異常(availSize=%d, dwID3Size=%d)",
                           static_cast<int>(file_size), static_cast<int>(tag_size));
            return 1;
        }
    }
    uint32_t avail = file_size - tag_size;
    const uint8_t* h = image + tag_size;
    if (h[0] != 0xFF) {
        CErrorLog::Out("CACMStream::InitializeMP3 MP3チェックphase1に失敗(src[0]=0x%X)", h[0]);
        return 1;
    }
    if ((h[1] & 0xF8) != 0xF8) {
        CErrorLog::Out("CACMStream::InitializeMP3 MP3チェックphase2に失敗(src[1]=0x%X)", h[1]);
        return 1;
    }
    const int layer = 4 - ((h[1] >> 1) & 3);
    if (layer == 4) {
        CErrorLog::Out("CACMStream::InitializeMP3 MP3が無効なレイヤ");
        return 1;
    }
    static constexpr int kBitRates[3][16] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    };
    static constexpr int kSampleRates[4] = {44100, 48000, 32000, 0};
    const int bit_rate = kBitRates[layer - 1][h[2] >> 4];
    const int sample_rate = kSampleRates[(h[2] >> 2) & 3];
    if (bit_rate == 0 || sample_rate == 0) {
        CErrorLog::Out("CACMStream::InitializeMP3 ビットレートかサンプリングレートが無効(src[2]=0x%X)", h[2]);
        return 1;
    }
    const int channels = (h[3] & 0xC0) == 0xC0 ? 1 : 2;
    if (std::memcmp(image + file_size - 128, "TAG", 3) == 0) avail -= 128;
    // The tags may leave no more than the frame header: nothing to decode, and no size may wrap.
    if (avail < 5) {
        CErrorLog::Out("CACMStream::InitializeMP3 ファイルサイズが異常(dwFileSize=%d)", static_cast<int>(file_size));
        return 1;
    }
    platform::MpegLayer3WaveFormat& f = mp3_format_;
    f = platform::MpegLayer3WaveFormat{};
    f.wfx.format_tag = platform::kWaveFormatMpegLayer3;
    f.wfx.channels = static_cast<uint16_t>(channels);
    f.wfx.samples_per_sec = static_cast<uint32_t>(sample_rate);
    f.wfx.avg_bytes_per_sec = static_cast<uint32_t>(bit_rate * 1000 / 8);
    f.wfx.block_align = 1;
    f.wfx.bits_per_sample = 0;
    f.wfx.cb_size = 12;
    f.id = 1;
    f.flags = 2;
    f.block_size = static_cast<uint16_t>(144000 * bit_rate / sample_rate);
    f.frames_per_block = 1;
    f.codec_delay = 1393;
    source_format_.assign(reinterpret_cast<const uint8_t*>(&f), reinterpret_cast<const uint8_t*>(&f) + sizeof(f));
    data_start_ = tag_size + 4;
    data_size_ = avail - 4;
    first_frame_ = platform::MpegFrameLength(h, nullptr);
    if (first_frame_ > avail) first_frame_ = 0;
    source_block_ = f.block_size;
    length_ = static_cast<int32_t>(static_cast<uint64_t>(data_size_) * 8 / static_cast<uint32_t>(bit_rate));
    return 0;
}

void CACMStream::PrimeFirstFrame() {
    // The data starts past the first frame's header, so the decoder would take that frame for
    // junk; given whole, an encoder's information frame there trims the encoder's delay and
    // padding, so the sound comes out as long as its source.
    if (first_frame_ && file_->GetData()) converter_.Prime(file_->GetData() + data_start_ - 4, first_frame_);
}

int CACMStream::Close() {
    riff_.Close();
    file_->Close();
    source_format_.clear();
    mp3_format_ = platform::MpegLayer3WaveFormat{};
    dest_format_ = WAVEFORMATEX{};
    data_size_ = data_start_ = source_position_ = output_position_ = 0;
    source_block_ = dest_block_ = first_frame_ = 0;
    length_ = -1;
    converter_.Close();
    return 0;
}

uint32_t CACMStream::Read(void* buffer, uint32_t bytes) {
    const uint8_t* image = file_->GetData();
    if (!image || !converter_.IsOpen()) return kNoPosition;
    if (source_position_ >= data_size_ || !buffer) return 0;
    const uint8_t* source = image + data_start_ + source_position_;
    uint32_t length = data_size_ - source_position_;
    // The last few bytes of MPEG audio go to the decoder followed by zeros (the last frame may
    // come short). Block codecs get whole blocks only: zeros would be decoded as sound.
    uint8_t tail[1000];
    if (length < 500 && SourceFormat()->format_tag == platform::kWaveFormatMpegLayer3) {
        std::memset(tail, 0, sizeof(tail));
        std::memcpy(tail, source, length);
        source = tail;
        length = sizeof(tail);
    }
    uint32_t used = 0, produced = 0;
    if (!converter_.Convert(source, length, static_cast<uint8_t*>(buffer), bytes, &used, &produced)) {
        CErrorLog::Out("CACMStream::Read acmStreamConvert()に失敗");
        return 0;
    }
    // Frames taken are consumed even when their sound comes out with a later call.
    source_position_ = std::min(data_size_, source_position_ + used);
    output_position_ += produced;
    return produced;
}

int CACMStream::SetCurrentPos(int ms) {
    if (dest_format_.avg_bytes_per_sec == 0) return 1;
    const uint32_t bytes = BytesFromMs(ms, dest_format_);
    if (bytes == kNoPosition) return 1;
    if (ms >= GetLength()) return 2;
    if (converter_.IsOpen() && !converter_.Open(SourceFormat(), &dest_format_)) {
        CErrorLog::Out("CACMStream::SetCurrentPos acmStreamOpen()に失敗");
        return 3;
    }
    uint32_t offset = 0;
    if (!converter_.PcmToSourceSize(bytes, &offset)) offset = 0;
    output_position_ = bytes;
    source_position_ = std::min(offset, data_size_);
    if (source_position_ == 0) PrimeFirstFrame();
    return 0;
}

int CACMStream::GetCurrentPos() { return MsFromBytes(output_position_, dest_format_.avg_bytes_per_sec); }

// ---- CStreamFactory ----

CStreamFactory::CStreamFactory() : extension_map_(new CStringMap) {}

KTL::smart_ptr<IWaveStream> CStreamFactory::CreateStream(const std::string& file_name) {
    const std::string full_name = CFile::MakeFullName(file_name);
    std::string extension = PathHelper::GetSuffix(full_name);
    ToLowerShiftJis(extension);

    if (extension == "wav") {
        KTL::smart_ptr<IWaveStream> stream(new CWaveStream);
        if (stream->Open(full_name.c_str()) == 0) return stream;
    }
    for (const auto& [key, class_name] : *extension_map_) {
        if (key != extension) continue;
        IWaveStream* object = GetObjectCreater()->Create<IWaveStream>(class_name.c_str());
        if (!object) continue;
        KTL::smart_ptr<IWaveStream> stream(object);
        if (stream->Open(full_name.c_str()) == 0) return stream;
    }
    KTL::smart_ptr<IWaveStream> acm(new CACMStream);
    if (acm->Open(full_name.c_str()) == 0) return acm;
    return KTL::smart_ptr<IWaveStream>(new CNullWaveStream);
}

} // namespace zuderadeDoruVAV3ed
