// AudioMixer.cpp -- the line scan, the volume controls and the saved volumes of the mixer lines.
#include "sdk/sound/AudioMixer.h"

#include <algorithm>
#include <cmath>

#include "sdk/base/ErrorLog.h"

namespace zuderadeDoruVAV3ed {

using platform::MixerComponent;
using platform::MixerResult;

namespace {

// The line number that a source of the speakers stands for; -1 for none.
int SourceLine(MixerComponent component) {
    switch (component) {
    case MixerComponent::kWaveOut: return kMixerLineWave;
    case MixerComponent::kSynthesizer: return kMixerLineSynth;
    case MixerComponent::kCompactDisc: return kMixerLineCD;
    default: return -1;
    }
}


} // namespace

CAudioMixer::CAudioMixer() { Open(); }

CAudioMixer::~CAudioMixer() { Close(); }

void CAudioMixer::ErrorText(MixerResult result, const char* text) {
    const char* cause;
    switch (static_cast<uint32_t>(result)) {
    case 0: cause = "CAudioMixer::あれ？NOERRORが返ってますよ"; break;
    case 2: cause = "CAudioMixer::デバイス識別子が不正または有効範囲外でした"; break;
    case 4: cause = "CAudioMixer::指定したリソースは、最大許容数のクライアントにすでに割り当てられていました"; break;
    case 5: cause = "CAudioMixer::指定したデバイスハンドルが不正です"; break;
    case 6: cause = "CAudioMixer::デバイスドライバが存在しませんでした"; break;
    case 7: cause = "CAudioMixer::必要なメモリを割り当てることができませんでした"; break;
    case 10: cause = "CAudioMixer::フラグの指定が不正です"; break;
    case 11: cause = "CAudioMixer::アドレスが不正です"; break;
    case 1025: cause = "CAudioMixer::コントロールの参照が不正です"; break;
    default: cause = "CAudioMixer::原因不明のエラーが起こりました"; break;
    }
    CErrorLog::Out("%s", cause);
    CErrorLog::Out("%s", text);
}

int CAudioMixer::Open() {
    open_ = false;
    if (Close() != 0) return 1;
    for (MixerLineVolume& line : lines_) line = MixerLineVolume{};
    if (platform::MixerDeviceCount() == 0) {
        CErrorLog::Out("CAudioMixer::Open ミキサデバイス数が 0か、エラーが発生しました");
        return 2;
    }
    MixerResult result = platform::MixerDevice::Open(device_, mixer_);
    if (result != MixerResult::kOk) {
        ErrorText(result, "ミキサデバイスをオープンできませんでした\n");
        return 3;
    }
    if (GetDeviceInfo() != 0) return 4;
    for (int line = 0; line < kMixerLineCount; ++line) {
        if (FindControl(line) == 0)
            lines_[line].saved = details_;
        else
            lines_[line].saved.clear();
    }
    open_ = true;
    return 0;
}

int CAudioMixer::GetDeviceInfo() {
    MixerResult result = mixer_->GetCaps(caps_);
    if (result != MixerResult::kOk) {
        ErrorText(result, "ミキサデバイス情報を得られませんでした\n");
        return 1;
    }
    for (int d = 0; d < caps_.destinations; ++d) {
        platform::MixerLineInfo destination;
        result = mixer_->GetDestination(d, destination);
        if (result != MixerResult::kOk) {
            ErrorText(result, "ミキサデバイスのディスティネ―ション情報を得られませんでした\n");
            return 1;
        }
        if (destination.component != MixerComponent::kSpeakers || GetLineControls(destination) != 0) continue;
        // A later speakers destination replaces line 0; the first source of a kind keeps its line.
        line_info_[kMixerLineSpeakers] = destination;
        lines_[kMixerLineSpeakers].valid = true;
        for (int s = 0; s < destination.connections; ++s) {
            platform::MixerLineInfo source;
            result = mixer_->GetSource(d, s, source);
            if (result != MixerResult::kOk) {
                ErrorText(result, "ミキサデバイスのソース情報を得られませんでした\n");
                return 1;
            }
            int line = SourceLine(source.component);
            if (line < 0 || lines_[line].valid || GetLineControls(source) != 0) continue;
            line_info_[line] = source;
            lines_[line].valid = true;
        }
    }
    return 0;
}

int CAudioMixer::GetLineControls(const platform::MixerLineInfo& line) {
    if (line.controls <= 0) return 1;
    std::vector<platform::MixerControlInfo> controls;
    MixerResult result = mixer_->GetLineControls(line.line_id, controls);
    if (result != MixerResult::kOk) {
        ErrorText(result, "オーディオラインのコントロール情報を得られませんでした\n");
        return 1;
    }
    for (const platform::MixerControlInfo& control : controls) {
        if (control.type != platform::MixerControlType::kVolume || line.channels <= 0) continue;
        std::vector<uint32_t> values;
        if (mixer_->GetControlValues(control.control_id, line.channels, values) != MixerResult::kOk) continue;
        details_ = std::move(values);
        has_details_ = true;
        control_ = control;
        return 0;
    }
    CErrorLog::Out("MixerControl構造体に関連付けられるオーディオラインコントロールがありませんでした");
    return 1;
}

int CAudioMixer::FindControl(int line) {
    if (!mixer_) {
        CErrorLog::Out("ミキサデバイスのハンドルがありませんでした");
        return 1;
    }
    // A number outside the four lines is refused like a line the device lacks.
    if (!IsMixerLine(line) || !lines_[line].valid) {
        CErrorLog::Out("%dのIDのオーディオ コンポーネントは、このサウンドボードにはサポートされていませんでした", line);
        return 1;
    }
    return GetLineControls(line_info_[line]);
}

int CAudioMixer::SetControlValue(int line) {
    if (!mixer_) {
        CErrorLog::Out("ミキサデバイスのハンドルがありませんでした");
        return 1;
    }
    if (!has_details_) return 1;
    MixerResult result = mixer_->SetControlValues(control_.control_id, details_);
    if (result != MixerResult::kOk) {
        ErrorText(result, "ミキサコントロール状態情報構造体の取得ができませんでした\n");
        return 1;
    }
    return 0;
}

int CAudioMixer::SetVolume(int line, const std::vector<uint32_t>& values) {
    if (!open_ || FindControl(line) != 0) return -1;
    for (size_t c = 0; c < details_.size(); ++c)
        details_[c] = c < values.size() ? std::min<uint32_t>(values[c], 65535) : 0;
    SetControlValue(line);
    return 0;
}

int CAudioMixer::GetVolume(int line, std::vector<uint32_t>& values) {
    if (!open_ || FindControl(line) != 0) return -1;
    values = has_details_ ? details_ : std::vector<uint32_t>{};
    return 0;
}

int CAudioMixer::SaveVolume(int line) {
    std::vector<uint32_t> values;
    if (GetVolume(line, values) != 0) return 1;
    lines_[line].saved = std::move(values);
    return 0;
}

int CAudioMixer::GetSavedVolume(int line, std::vector<uint32_t>& values) {
    if (!open_) return -1;
    if (!IsMixerLine(line)) return 1;
    values = lines_[line].saved;
    return 0;
}

int CAudioMixer::RestoreVolume(int line) {
    if (!open_) return -1;
    if (!mixer_) return 1;
    if (FindControl(line) != 0) return 2;
    const std::vector<uint32_t>& saved = lines_[line].saved;
    for (size_t c = 0; c < details_.size() && c < saved.size(); ++c) details_[c] = saved[c];
    return SetControlValue(line);
}

int CAudioMixer::SetVolumeRate(int line, double rate) {
    if (!open_) return -1;
    std::vector<uint32_t> values;
    if (IsMixerLine(line)) {
        for (uint32_t saved : lines_[line].saved) {
            // Clamped before the conversion: a negative, huge or undefined product has no integer.
            double v = static_cast<double>(saved) * rate;
            values.push_back(v > 0.0 ? static_cast<uint32_t>(std::min(v, 65535.0)) : 0);
        }
    }
    return SetVolume(line, values);
}

int CAudioMixer::GetVolumeRate(int line, double* rate) {
    if (!open_) return -1;
    std::vector<uint32_t> current, saved;
    if (GetVolume(line, current) != 0 || GetSavedVolume(line, saved) != 0) return 1;
    uint32_t current_sum = 0, saved_sum = 0;
    for (uint32_t v : current) current_sum += v;
    for (uint32_t v : saved) saved_sum += v;
    double answer = saved_sum != 0 ? static_cast<double>(current_sum) / saved_sum : current_sum != 0 ? 65535.0 : 0.0;
    if (rate) *rate = answer;
    return 0;
}

int CAudioMixer::Close() {
    if (!mixer_) return 0;
    for (int line = 0; line < kMixerLineCount; ++line) RestoreVolume(line);
    mixer_.reset();
    details_.clear();
    has_details_ = false;
    open_ = false;
    return 0;
}

} // namespace zuderadeDoruVAV3ed
