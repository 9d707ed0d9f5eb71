// AudioMixer.h -- volumes of the four mixer lines (speakers, wave, synthesiser, CD) as fractions of saved volumes.
//
// A line's volume is one value of 0..65535 per channel. The mixer remembers per line the values
// found when it was opened (or saved later), sets a line to a fraction of them, and puts every
// line back to them when it is closed.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/mixer.h"

namespace zuderadeDoruVAV3ed {

// Line numbers.
enum : int {
    kMixerLineSpeakers = 0,
    kMixerLineWave = 1,
    kMixerLineSynth = 2,
    kMixerLineCD = 3,
    kMixerLineCount = 4,
};

inline bool IsMixerLine(int line) { return line >= 0 && line < kMixerLineCount; }

// Every operation answers 0 on success and -1 while the mixer is not open.
class IAudioMixer {
public:
    virtual int SetVolumeRate(int line, double rate) = 0;
    virtual int SetVolume(int line, const std::vector<uint32_t>& values) = 0;
    virtual int RestoreVolume(int line) = 0;
    virtual int GetVolumeRate(int line, double* rate) = 0;
    virtual int GetVolume(int line, std::vector<uint32_t>& values) = 0;
    virtual int GetSavedVolume(int line, std::vector<uint32_t>& values) = 0;
    virtual int SaveVolume(int line) = 0;
    virtual ~IAudioMixer() = default;
};

class CAudioMixer : public IAudioMixer {
public:
    CAudioMixer();   // opens
    ~CAudioMixer() override;   // closes

    // 0; 1 Close failed; 2 no mixer device; 3 the device does not open; 4 its lines cannot be read.
    int Open();
    // Puts every line back to its saved volume and closes; 0, or 1 when closing failed.
    int Close();
    bool IsOpen() const { return open_; }

    int SetVolumeRate(int line, double rate) override;
    int SetVolume(int line, const std::vector<uint32_t>& values) override;
    int RestoreVolume(int line) override;
    int GetVolumeRate(int line, double* rate) override;
    int GetVolume(int line, std::vector<uint32_t>& values) override;
    int GetSavedVolume(int line, std::vector<uint32_t>& values) override;
    int SaveVolume(int line) override;

private:
    struct MixerLineVolume {
        bool valid = false;             // the line exists and has a volume control
        std::vector<uint32_t> saved;    // one value per channel
    };

    int GetDeviceInfo();
    // Finds the line's volume control and reads its values into details_; 0 or 1.
    int GetLineControls(const platform::MixerLineInfo& line);
    int FindControl(int line);
    int SetControlValue(int line);
    static void ErrorText(platform::MixerResult result, const char* text);

    MixerLineVolume lines_[kMixerLineCount];
    std::unique_ptr<platform::MixerDevice> mixer_;   // null until opened
    int device_ = 0;
    platform::MixerCaps caps_;
    platform::MixerLineInfo line_info_[kMixerLineCount];
    platform::MixerControlInfo control_;   // of the line last looked up
    std::vector<uint32_t> details_;        // its values, one per channel
    bool has_details_ = false;
    bool open_ = false;
};

} // namespace zuderadeDoruVAV3ed
