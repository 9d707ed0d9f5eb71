// WaveStaticSound.cpp -- the static wave sound.
#include "sdk/sound/WaveStaticSound.h"

#include "sdk/base/ErrorLog.h"
#include "sdk/sound/WaveOutput.h"

namespace zuderadeDoruVAV3ed {

CWaveStaticSound::CWaveStaticSound(CWaveOutputDirectSound* output)
    : buffer_(new CNullSoundBuffer), output_(output) {
    output_->AddBuffer(this);
}

CWaveStaticSound::~CWaveStaticSound() {
    Close();
    output_->ReleaseBuffer(this);
}

int CWaveStaticSound::Close() {
    buffer_.reset(new CNullSoundBuffer);
    file_name_.clear();
    bytes_per_second_ = 0;
    return 0;
}

int CWaveStaticSound::Load(const std::string& file_name) {
    Close();
    if (file_name.empty()) return 0;
    KTL::smart_ptr<IWaveStream> stream = output_->GetStreamFactory()->GetStreamFactory()->CreateStream(file_name);
    const WAVEFORMATEX* format = stream->GetFormat();
    if (!format) return 0;
    const int length = stream->GetLength();
    const uint32_t size =
        length > 0 ? static_cast<uint32_t>(static_cast<uint64_t>(length) * format->avg_bytes_per_sec / 1000) : 0;

    KTL::smart_ptr<ISoundBuffer> buffer;
    output_->CreateSoundBuffer(buffer);
    if (!buffer || buffer->Create(format, size, false, output_->GetStreamFactory().get()) != 0) {
        CErrorLog::Out("CWaveStaticSound::Load サウンドバッファの作成に失敗！");
        buffer_.reset(new CNullSoundBuffer);
        return 1;
    }
    buffer_ = buffer;
    void* part1 = nullptr;
    void* part2 = nullptr;
    uint32_t size1 = 0, size2 = 0;
    if (buffer_->Lock(0, size, &part1, &size1, &part2, &size2) != 0) {
        CErrorLog::Out("CWaveStaticSound::Load GetBuffer()->Lock()に失敗！");
        return 2;
    }
    // A reader may deliver less than asked in one call: read on until the buffer is full or the
    // stream ends.
    uint32_t filled = 0;
    while (filled < size1) {
        const uint32_t n = stream->Read(static_cast<uint8_t*>(part1) + filled, size1 - filled);
        if (n > size1 - filled) {
            CErrorLog::Out("CWaveStaticSound::Load stream->Read()に失敗！");
            buffer_->Unlock(part1, size1, part2, size2);
            return 3;
        }
        if (n == 0) break;
        filled += n;
    }
    if (buffer_->Unlock(part1, size1, part2, size2) != 0) {
        CErrorLog::Out("CWaveStaticSound::Load GetBuffer()->Unlock()に失敗！");
        return 4;
    }
    WAVEFORMATEX own{};
    bytes_per_second_ = buffer_->GetFormat(&own) == 0 ? own.avg_bytes_per_sec : 0;
    file_name_ = file_name;
    length_ms_ = bytes_per_second_ ? static_cast<uint32_t>(static_cast<uint64_t>(size) * 1000 / bytes_per_second_) : 0;
    return 0;
}

int CWaveStaticSound::Play() {
    pause_count_ = 0;
    buffer_->SetCurrentPosition(0);
    if (buffer_->GetStatus() == 3) {
        buffer_->Stop();
        buffer_->SetCurrentPosition(0);
    }
    if (buffer_->Play(loop_) == 0) return 0;
    if (buffer_->GetStatus() == 1) return Restore();
    CErrorLog::Out("CWaveStaticSound::Play GetBuffer()->Play()に失敗！");
    return 1;
}

int CWaveStaticSound::Stop() {
    if (!IsPlay()) return 0;
    const int result = buffer_->Stop();
    buffer_->SetCurrentPosition(0);
    return result;
}

int CWaveStaticSound::Pause() {
    if (pause_count_ != 0) pause_count_ += pause_count_ > 0 ? 1 : -1;
    if (!IsPlay()) return 0;
    pause_count_ = 1;
    return buffer_->Stop();
}

int CWaveStaticSound::Replay() {
    if (pause_count_ == 0) return 0;
    pause_count_ += pause_count_ > 0 ? -1 : 1;
    if (pause_count_ != 0) return 0;
    return buffer_->Play(loop_);
}

bool CWaveStaticSound::IsPlay() { return buffer_->GetStatus() == 3; }

int CWaveStaticSound::SetCurrentPos(int ms) {
    if (bytes_per_second_ == 0) return -1;
    if (ms < 0) return -1;
    return buffer_->SetCurrentPosition(static_cast<uint32_t>(static_cast<uint64_t>(ms) * bytes_per_second_ / 1000));
}

int CWaveStaticSound::GetCurrentPos() {
    if (bytes_per_second_ == 0) return -1;
    uint32_t play = 0, write = 0;
    if (buffer_->GetCurrentPosition(&play, &write) != 0) return -1;
    return static_cast<int>(static_cast<uint64_t>(play) * 1000 / bytes_per_second_);
}

int CWaveStaticSound::GetVolume() {
    int volume = 0;
    if (buffer_->GetVolume(&volume) != 0) {
        CErrorLog::Out("CWaveStaticSound::GetVolumeに失敗");
        return 0;
    }
    return volume;
}

int CWaveStaticSound::Restore() {
    if (buffer_->GetStatus() != 1) return 0;
    buffer_->Restore();
    if (file_name_.empty()) return 0;
    const std::string name = file_name_;
    return Load(name);
}

} // namespace zuderadeDoruVAV3ed
