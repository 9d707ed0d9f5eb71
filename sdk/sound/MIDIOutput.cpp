// MIDIOutput.cpp -- the two MIDI sounds and the synthesiser probe.
#include "sdk/sound/MIDIOutput.h"

#include <algorithm>
#include <mutex>

#include "platform/midi_player.h"
#include "sdk/app/AppManager.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/sound/DirectMusic.h"
#include "sdk/sound/MIDISeek.h"

namespace zuderadeDoruVAV3ed {

bool CMIDIOutput::CanUseMIDI() {
    static std::once_flag once;
    static bool usable = false;
    std::call_once(once, [] {
        std::string error;
        usable = platform::MidiPlayer::Create(error) != nullptr;
    });
    return usable;
}

// ---- played on the music device

CMIDIOutputDM::CMIDIOutputDM(CDirectMusic* device) : device_(device) {}

CMIDIOutputDM::~CMIDIOutputDM() { Close(); }

// A device whose set-up failed counts as no device.
platform::MusicPerformance* CMIDIOutputDM::Performance() const {
    if (!device_ || !CDirectMusic::CanUse()) return nullptr;
    return device_->GetPerformance();
}

int CMIDIOutputDM::Open(const std::string& file_name) {
    platform::MusicPerformance* performance = Performance();
    if (!performance) return -1;
    Close();
    if (file_.ReadWithArchive(file_name) != 0) {
        CErrorLog::Out("CMIDIOutputDM::Openで読み込むファイルが無い %s", file_name.c_str());
        return 1;
    }
    std::string error;
    segment_ = device_->GetLoader().LoadSegment(file_.GetData(), file_.GetSize(), error);
    if (!segment_) {
        CErrorLog::Out("CMIDIOutputDM::Openに失敗 (%s: %s)", file_name.c_str(), error.c_str());
        return 2;
    }
    if (!segment_->Download(*performance)) {
        segment_.reset();
        return 4;
    }
    return 0;
}

int CMIDIOutputDM::Close() {
    file_.Close();
    Stop();
    state_.reset();
    if (segment_) {
        if (platform::MusicPerformance* performance = Performance()) segment_->Unload(*performance);
        segment_.reset();
    }
    return 0;
}

int CMIDIOutputDM::StartSegment() {
    segment_->SetRepeats(loop_ ? platform::kRepeatForever : 0);
    state_ = Performance()->PlaySegment(*segment_);
    return state_ ? 0 : 1;
}

int CMIDIOutputDM::Play() {
    if (!Performance()) return -1;
    if (!segment_) return -2;
    pause_count_ = 0;
    Stop();
    seek_ = 0;
    segment_->SetStartPoint(0);
    return StartSegment();
}

int CMIDIOutputDM::Stop() {
    platform::MusicPerformance* performance = Performance();
    if (!performance) return -1;
    if (pause_count_ > 0) ++pause_count_;
    if (IsPlay()) {
        pause_count_ = 1;
        if (segment_ && state_) {
            performance->Stop(segment_.get(), state_.get());
            if (!state_->GetSeek(seek_)) seek_ = 0;
            state_.reset();
        }
    }
    return 0;
}

int CMIDIOutputDM::Replay() {
    if (!Performance()) return -1;
    if (!segment_) return -2;
    if (pause_count_ != 0 && --pause_count_ == 0 && !IsPlay()) {
        Stop();
        segment_->SetStartPoint(seek_);
        if (StartSegment() != 0) return 1;
        pause_count_ = 0;
    }
    return 0;
}

bool CMIDIOutputDM::IsPlay() {
    platform::MusicPerformance* performance = Performance();
    return performance && state_ && performance->IsPlaying(segment_.get(), state_.get());
}

int CMIDIOutputDM::SetCurrentPos(int ms) {
    if (!Performance() || !segment_) return -1;
    platform::MusicTime point = 0;
    if (!MIDISeekPoint(segment_->GetLength(), GetLength(), ms, point)) return -2;
    Pause();
    seek_ = point;
    Replay();
    return 0;
}

int CMIDIOutputDM::ToMilliseconds(platform::MusicTime t) const {
    platform::ReferenceTime at = 0, start = 0;
    if (!Performance()->MusicToReferenceTime(*segment_, t, at) ||
        !Performance()->MusicToReferenceTime(*segment_, 0, start))
        return -4;
    return static_cast<int>((at - start) / 10000);
}

int CMIDIOutputDM::GetLength() {
    if (!Performance()) return -1;
    if (!segment_) return -2;
    return ToMilliseconds(segment_->GetLength());
}

int CMIDIOutputDM::GetCurrentPos() {
    if (!Performance()) return -1;
    if (!state_ || !segment_) return -2;
    platform::MusicTime seek = 0;
    if (!state_->GetSeek(seek)) return -3;
    return ToMilliseconds(seek);
}

int CMIDIOutputDM::SetVolume(int volume) {
    platform::MusicPerformance* performance = Performance();
    if (!performance) return -1;
    performance->SetMasterVolume(volume);
    return 0;
}

int CMIDIOutputDM::GetVolume() {
    platform::MusicPerformance* performance = Performance();
    return performance ? performance->GetMasterVolume() : -1;
}

// ---- played by a sequencer device

CMIDIOutputMCI::CMIDIOutputMCI() { CAppManager::GetInstance()->AddWinHook(this); }

CMIDIOutputMCI::~CMIDIOutputMCI() {
    Close();
    CAppManager::GetInstance()->DelWinHook(this);
}

int CMIDIOutputMCI::Open(const std::string& file_name) {
    Close();
    if (file_.ReadWithArchive(file_name) != 0) {
        CErrorLog::Out("CMIDIOutputMCI::Openで読み込むファイルが無い %s", file_name.c_str());
        return 1;
    }
    if (file_.CreateTemporary(false) != 0) {
        CErrorLog::Out("CMIDIOutputMCI::OpenでCreateTemporaryに失敗");
        return 2;
    }
    return 0;
}

int CMIDIOutputMCI::OpenDevice() {
    if (device_) return 0;
    std::string error;
    device_ = platform::MciSequencer::Open(CFile::MakeFullName(file_.GetName()), error);
    if (!device_) {
        CErrorLog::Out("CMIDIOutput::MIDIデバイスがオープンできない。");
        return 1;
    }
    device_->SetTimeFormat(platform::MciTimeFormat::kMilliseconds);
    return 0;
}

bool CMIDIOutputMCI::PlayFrom(uint32_t position) { return device_->Play(position, CAppManager::GetInstance()->GetHWnd()); }

int CMIDIOutputMCI::Play() {
    pause_count_ = 0;
    if (OpenDevice() != 0) return 1;
    Stop();
    if (!PlayFrom(0)) return 2;
    playing_ = true;
    return 0;
}

int CMIDIOutputMCI::Stop() {
    if (pause_count_ > 0) ++pause_count_;
    if (!device_) return 1;
    if (!playing_) return 0;
    pause_count_ = 1;
    uint32_t position = 0;
    const bool known = device_->GetPosition(position);
    if (!known) CErrorLog::Out("CMIDIOutput::MIDIデバイスステータスが読み出せない。");
    position_ = known ? position : 0;
    if (!device_->Stop()) {
        CErrorLog::Out("CMIDIOutput::MIDIデバイスが停止できない。");
        return 2;
    }
    if (!known) return 2;
    playing_ = false;
    return 0;
}

int CMIDIOutputMCI::Replay() {
    if (pause_count_ == 0 || --pause_count_ != 0) return 0;
    if (!device_) return 1;
    if (!playing_) {
        if (!PlayFrom(position_)) return 2;
        pause_count_ = 0;
        playing_ = true;
    }
    return 0;
}

int CMIDIOutputMCI::SetCurrentPos(int ms) {
    if (!device_) return -1;
    const uint32_t to = static_cast<uint32_t>(std::max(ms, 0));
    if (!device_->Seek(to)) {
        CErrorLog::Out("Err SetCurrentPos");
        return -1;
    }
    if (playing_ && !PlayFrom(to)) return 2;
    return 0;
}

int CMIDIOutputMCI::GetCurrentPos() {
    if (!device_) return -1;
    uint32_t position = 0;
    if (!device_->GetPosition(position)) {
        CErrorLog::Out("CMIDIOutputMCI::GetCurrentPosでMCI_STATUS(MCI_STATUS_POSITION)に失敗");
        return -1;
    }
    return static_cast<int>(position);
}

int CMIDIOutputMCI::GetLength() {
    uint32_t length = 0;
    if (!device_ || !device_->GetLength(length)) return -1;
    return static_cast<int>(length);
}

int CMIDIOutputMCI::Close() {
    file_.Close();
    if (device_) {
        if (playing_) Stop();
        device_.reset();
        playing_ = false;
        position_ = 0;
    }
    return 0;
}

intptr_t CMIDIOutputMCI::WndProc(WindowHandle, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (message != platform::kMsgMciNotify || wparam != platform::kMciNotifySuccessful || !device_ ||
        lparam != static_cast<intptr_t>(device_->DeviceId()))
        return 0;
    if (loop_) Play();
    else Stop();
    return 1;
}

} // namespace zuderadeDoruVAV3ed
