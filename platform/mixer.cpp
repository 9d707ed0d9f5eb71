// mixer.cpp -- the mixer device's layout, line and control queries, and the channel values behind the line gains.
#include "platform/mixer.h"

#include <algorithm>
#include <array>
#include <mutex>

namespace platform {

namespace {

using Spec = MixerDevice::LineSpec;
using DestinationSpec = MixerDevice::DestinationSpec;

std::vector<DestinationSpec> UsualLayout() {
    return {{Spec{MixerComponent::kSpeakers, AudioLine::kSpeakers},
             {Spec{MixerComponent::kWaveOut, AudioLine::kWave}, Spec{MixerComponent::kSynthesizer, AudioLine::kSynth},
              Spec{MixerComponent::kCompactDisc, AudioLine::kCD}}}};
}

constexpr int kLineCount = static_cast<int>(AudioLine::kCount);
constexpr int kMaxChannels = 8;
// Control ids are line ids with this bit: a line id is never taken for a control id.
constexpr uint32_t kControlBit = 0x80000000u;

struct State {
    std::mutex mutex;
    bool custom = false;
    std::vector<DestinationSpec> layout;
    std::array<std::array<uint32_t, kMaxChannels>, kLineCount> values;
    State() { ResetValues(); }
    void ResetValues() {
        for (auto& line : values) line.fill(kMixerVolumeMax);
    }
};

State& GetState() {
    static State state;
    return state;
}

std::vector<DestinationSpec> CurrentLayout() {
    State& state = GetState();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.custom ? state.layout : UsualLayout();
}

const char* ComponentName(MixerComponent component) {
    switch (component) {
    case MixerComponent::kSpeakers: return "Speakers";
    case MixerComponent::kWaveOut: return "Wave";
    case MixerComponent::kSynthesizer: return "SW Synth";
    case MixerComponent::kCompactDisc: return "CD Audio";
    default: return "Line";
    }
}

} // namespace

int MixerDeviceCount() { return CurrentLayout().empty() ? 0 : 1; }

MixerResult MixerDevice::Open(int device, std::unique_ptr<MixerDevice>& mixer) {
    std::vector<DestinationSpec> layout = CurrentLayout();
    if (device != 0 || layout.empty()) return MixerResult::kBadDeviceId;
    mixer.reset(new MixerDevice(layout));
    return MixerResult::kOk;
}

MixerDevice::MixerDevice(const std::vector<DestinationSpec>& layout) : layout_(layout) {
    for (int d = 0; d < static_cast<int>(layout_.size()); ++d) {
        lines_.push_back(Line{layout_[d].line, d, -1, static_cast<uint32_t>(d) << 16 | 0xFFFF});
        for (int s = 0; s < static_cast<int>(layout_[d].sources.size()); ++s)
            lines_.push_back(Line{layout_[d].sources[s], d, s, static_cast<uint32_t>(d) << 16 | static_cast<uint32_t>(s)});
    }
    for (Line& line : lines_) line.spec.channels = std::clamp(line.spec.channels, 0, kMaxChannels);
}

MixerResult MixerDevice::GetCaps(MixerCaps& caps) const {
    caps.name = "Software mixer";
    caps.destinations = static_cast<int>(layout_.size());
    return MixerResult::kOk;
}

static void Describe(const MixerDevice::LineSpec& spec, uint32_t id, int connections, MixerLineInfo& info) {
    info.line_id = id;
    info.component = spec.component;
    info.channels = spec.channels;
    info.connections = connections;
    info.controls = spec.has_volume ? 1 : 0;
    info.name = ComponentName(spec.component);
}

MixerResult MixerDevice::GetDestination(int destination, MixerLineInfo& info) const {
    for (const Line& line : lines_)
        if (line.destination == destination && line.source < 0) {
            Describe(line.spec, line.id, static_cast<int>(layout_[destination].sources.size()), info);
            return MixerResult::kOk;
        }
    return MixerResult::kInvalidParam;
}

MixerResult MixerDevice::GetSource(int destination, int source, MixerLineInfo& info) const {
    for (const Line& line : lines_)
        if (line.destination == destination && line.source == source && source >= 0) {
            Describe(line.spec, line.id, 0, info);
            return MixerResult::kOk;
        }
    return MixerResult::kInvalidParam;
}

const MixerDevice::Line* MixerDevice::FindLine(uint32_t line_id) const {
    for (const Line& line : lines_)
        if (line.id == line_id) return &line;
    return nullptr;
}

const MixerDevice::Line* MixerDevice::FindControl(uint32_t control_id) const {
    if (!(control_id & kControlBit)) return nullptr;
    const Line* line = FindLine(control_id & ~kControlBit);
    return line && line->spec.has_volume ? line : nullptr;
}

MixerResult MixerDevice::GetLineControls(uint32_t line_id, std::vector<MixerControlInfo>& controls) const {
    const Line* line = FindLine(line_id);
    if (!line) return MixerResult::kInvalidParam;
    controls.clear();
    if (line->spec.has_volume) {
        MixerControlInfo volume;
        volume.control_id = line->id | kControlBit;
        controls.push_back(volume);
    }
    return MixerResult::kOk;
}

MixerResult MixerDevice::GetControlValues(uint32_t control_id, int channels, std::vector<uint32_t>& values) const {
    const Line* line = FindControl(control_id);
    if (!line) return MixerResult::kInvalidControl;
    if (channels != line->spec.channels) return MixerResult::kInvalidParam;
    State& state = GetState();
    std::lock_guard<std::mutex> lock(state.mutex);
    const auto& stored = state.values[static_cast<int>(line->spec.line)];
    values.assign(stored.begin(), stored.begin() + channels);
    return MixerResult::kOk;
}

MixerResult MixerDevice::SetControlValues(uint32_t control_id, const std::vector<uint32_t>& values) {
    const Line* line = FindControl(control_id);
    if (!line) return MixerResult::kInvalidControl;
    if (static_cast<int>(values.size()) != line->spec.channels) return MixerResult::kInvalidParam;
    State& state = GetState();
    std::lock_guard<std::mutex> lock(state.mutex);
    auto& stored = state.values[static_cast<int>(line->spec.line)];
    uint64_t sum = 0;
    for (size_t c = 0; c < values.size(); ++c) {
        stored[c] = std::min(values[c], kMixerVolumeMax);
        sum += stored[c];
    }
    if (!values.empty())
        SetAudioLineGain(line->spec.line, static_cast<float>(double(sum) / values.size() / kMixerVolumeMax));
    return MixerResult::kOk;
}

void SetMixerLayoutForTest(const std::vector<MixerDevice::DestinationSpec>* layout) {
    State& state = GetState();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.custom = layout != nullptr;
    state.layout = layout ? *layout : std::vector<DestinationSpec>{};
    state.ResetValues();
    ResetAudioLineGains();
}

} // namespace platform
