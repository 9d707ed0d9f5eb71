// mixer.h -- the mixer device: destinations, their source lines and volume controls over the
// software mixer's line gains (audio_mix.h).
//
// Process-local: a volume written here changes only this program's mix, and nothing stays
// changed after the program ends. One device: the speakers destination with the wave output,
// the synthesiser and the CD audio as its sources, each line two channels with one volume
// control of 0..65535 per channel; a line's gain is the mean of its channels over 65535.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_mix.h"

namespace platform {

// Results; the numbers are the ones the system reports in its log texts.
enum class MixerResult : uint32_t {
    kOk = 0,
    kBadDeviceId = 2,
    kInvalidHandle = 5,
    kInvalidParam = 11,
    kInvalidControl = 1025,
};

enum class MixerComponent { kOther, kSpeakers, kWaveOut, kSynthesizer, kCompactDisc };
enum class MixerControlType { kVolume };

inline constexpr uint32_t kMixerVolumeMax = 65535;

struct MixerCaps {
    std::string name;
    int destinations = 0;
};

struct MixerLineInfo {
    uint32_t line_id = 0;
    MixerComponent component = MixerComponent::kOther;
    int channels = 0;
    int connections = 0;   // sources of a destination (0 for a source)
    int controls = 0;
    std::string name;
};

struct MixerControlInfo {
    uint32_t control_id = 0;
    MixerControlType type = MixerControlType::kVolume;
    int multiple_items = 0;
    uint32_t minimum = 0;
    uint32_t maximum = kMixerVolumeMax;
};

int MixerDeviceCount();

class MixerDevice {
public:
    // kBadDeviceId when there is no such device.
    static MixerResult Open(int device, std::unique_ptr<MixerDevice>& mixer);

    MixerResult GetCaps(MixerCaps& caps) const;
    MixerResult GetDestination(int destination, MixerLineInfo& line) const;
    MixerResult GetSource(int destination, int source, MixerLineInfo& line) const;
    MixerResult GetLineControls(uint32_t line_id, std::vector<MixerControlInfo>& controls) const;
    // One value per channel; channels must be the line's channel count.
    MixerResult GetControlValues(uint32_t control_id, int channels, std::vector<uint32_t>& values) const;
    // Values above kMixerVolumeMax are taken as kMixerVolumeMax.
    MixerResult SetControlValues(uint32_t control_id, const std::vector<uint32_t>& values);

    // How a device is laid out; tests may give their own layouts.
    struct LineSpec {
        MixerComponent component;
        AudioLine line;          // the gain that its volume control drives
        int channels = 2;
        bool has_volume = true;
    };
    struct DestinationSpec {
        LineSpec line;
        std::vector<LineSpec> sources;
    };

private:
    struct Line {
        LineSpec spec;
        int destination;
        int source;   // -1 for a destination
        uint32_t id;
    };
    explicit MixerDevice(const std::vector<DestinationSpec>& layout);
    const Line* FindLine(uint32_t line_id) const;
    const Line* FindControl(uint32_t control_id) const;

    std::vector<DestinationSpec> layout_;
    std::vector<Line> lines_;
};

// For tests: the one device's layout (an empty list: no device at all); null restores the usual
// layout. Every line's channel values also go back to full volume.
void SetMixerLayoutForTest(const std::vector<MixerDevice::DestinationSpec>* layout);

} // namespace platform
