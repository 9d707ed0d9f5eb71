// midi_player.cpp -- FluidSynth without an audio driver, driven by the sequencer inside the mix.
#include "platform/midi_player.h"

#include <fluidsynth.h>

#include <algorithm>

#include "platform/fs.h"
#include "platform/log.h"

namespace platform {

namespace {

// The synthesiser's own output scale. The mix adds it at full gain beside the waves: the game's
// short General MIDI pieces peak near a quarter of full scale with it, below the effects.
constexpr double kSynthGain = 0.22;

std::mutex g_sound_font_mutex;
bool g_sound_font_overridden = false;
std::string g_sound_font_override;

// FluidSynth's errors go to the log; its warnings and chatter are dropped.
void FluidLog(int level, const char* message, void*) {
    if (level <= FLUID_ERR) LogWrite(std::string("midi: FluidSynth: ") + (message ? message : ""));
}

void QuietFluidSynth() {
    static std::once_flag once;
    std::call_once(once, [] {
        fluid_set_log_function(FLUID_PANIC, FluidLog, nullptr);
        fluid_set_log_function(FLUID_ERR, FluidLog, nullptr);
        fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    });
}

} // namespace

std::string FindGeneralMidiSoundFont() {
    {
        std::lock_guard<std::mutex> lock(g_sound_font_mutex);
        if (g_sound_font_overridden) return g_sound_font_override;
    }
    // The small TimGM6mb first, then what the system names its default, then the large Fluid set.
    static const char* const kCandidates[] = {
        "/usr/share/sounds/sf2/TimGM6mb.sf2",   "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/soundfonts/default.sf2",
        "/usr/share/soundfonts/FluidR3_GM.sf2", "/usr/share/sounds/sf3/default-GM.sf3",
        "/usr/share/sounds/sf3/FluidR3_GM.sf3",
    };
    for (const char* path : kCandidates)
        if (FileExists(path)) return path;
    return "";
}

void SetSoundFontForTest(const std::string* path) {
    std::lock_guard<std::mutex> lock(g_sound_font_mutex);
    g_sound_font_overridden = path != nullptr;
    g_sound_font_override = path ? *path : "";
}

// The FluidSynth instance as the sequencer's sink.
class MidiPlayer::Synth final : public MidiSink {
public:
    ~Synth() override {
        if (synth_) delete_fluid_synth(synth_);
        if (settings_) delete_fluid_settings(settings_);
    }

    bool Create(const std::string& sound_font, std::string& error) {
        QuietFluidSynth();
        settings_ = new_fluid_settings();
        if (!settings_) return Fail("FluidSynth settings cannot be made", error);
        fluid_settings_setnum(settings_, "synth.sample-rate", kMixRate);
        fluid_settings_setnum(settings_, "synth.gain", kSynthGain);
        fluid_settings_setint(settings_, "synth.cpu-cores", 1);
        // The player's own lock serialises every call.
        fluid_settings_setint(settings_, "synth.threadsafe-api", 0);
        synth_ = new_fluid_synth(settings_);
        if (!synth_) return Fail("FluidSynth synthesiser cannot be made", error);
        if (fluid_synth_sfload(synth_, sound_font.c_str(), 1) == FLUID_FAILED)
            return Fail("sound font " + sound_font + " cannot be loaded", error);
        return true;
    }

    void ShortMessage(uint8_t status, uint8_t data1, uint8_t data2) override {
        int channel = status & 0x0F;
        switch (status & 0xF0) {
        case 0x80: fluid_synth_noteoff(synth_, channel, data1); break;
        case 0x90: fluid_synth_noteon(synth_, channel, data1, data2); break;
        case 0xA0: fluid_synth_key_pressure(synth_, channel, data1, data2); break;
        case 0xB0: fluid_synth_cc(synth_, channel, data1, data2); break;
        case 0xC0: fluid_synth_program_change(synth_, channel, data1); break;
        case 0xD0: fluid_synth_channel_pressure(synth_, channel, data1); break;
        case 0xE0: fluid_synth_pitch_bend(synth_, channel, data1 | (data2 << 7)); break;
        default: break;
        }
    }
    void SysEx(const uint8_t* data, size_t size) override {
        if (size == 0 || size > 0x10000) return;
        fluid_synth_sysex(synth_, reinterpret_cast<const char*>(data), static_cast<int>(size), nullptr, nullptr,
                          nullptr, 0);
    }
    void AllNotesOff() override { fluid_synth_all_notes_off(synth_, -1); }
    void Reset() override { fluid_synth_system_reset(synth_); }

    bool IsSounding() { return fluid_synth_get_active_voice_count(synth_) > 0; }
    // Writes frames of interleaved stereo.
    void Render(float* stereo, int frames) {
        fluid_synth_write_float(synth_, frames, stereo, 0, 2, stereo, 1, 2);
    }

private:
    static bool Fail(const std::string& why, std::string& error) {
        error = why;
        return false;
    }

    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
};

std::unique_ptr<MidiPlayer> MidiPlayer::Create(std::string& error) {
    std::string sound_font = FindGeneralMidiSoundFont();
    if (sound_font.empty()) {
        error = "no General MIDI sound font installed";
        return nullptr;
    }
    auto synth = std::make_unique<Synth>();
    if (!synth->Create(sound_font, error)) return nullptr;
    std::unique_ptr<MidiPlayer> player(new MidiPlayer(std::move(synth)));
    AttachAudioSource(player.get(), AudioLine::kSynth);
    return player;
}

MidiPlayer::MidiPlayer(std::unique_ptr<Synth> synth) : synth_(std::move(synth)) {}

MidiPlayer::~MidiPlayer() { DetachAudioSource(this); }

void MidiPlayer::Play(std::shared_ptr<const MidiSong> song, uint32_t tick, uint32_t repeats,
                      std::function<void()> on_finished) {
    std::lock_guard<std::mutex> lock(mutex_);
    sequencer_.Stop(*synth_);
    sequencer_.Start(std::move(song), tick, repeats, *synth_);
    on_finished_ = std::move(on_finished);
}

void MidiPlayer::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    sequencer_.Stop(*synth_);
    on_finished_ = nullptr;
}

bool MidiPlayer::IsPlaying() {
    std::lock_guard<std::mutex> lock(mutex_);
    return sequencer_.IsPlaying();
}

uint32_t MidiPlayer::PositionTick() {
    std::lock_guard<std::mutex> lock(mutex_);
    return sequencer_.PositionTick();
}

void MidiPlayer::SetGain(float gain) {
    std::lock_guard<std::mutex> lock(mutex_);
    gain_ = std::max(gain, 0.0f);
}

void MidiPlayer::Mix(float* stereo, int frames) {
    if (frames <= 0) return;
    std::function<void()> notify;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // Nothing plays and the last notes have died away: no work.
        if (!sequencer_.IsPlaying() && !synth_->IsSounding()) return;
        scratch_.assign(static_cast<size_t>(frames) * 2, 0.0f);
        for (int done = 0; done < frames;) {
            int n = sequencer_.Step(*synth_, frames - done);
            synth_->Render(scratch_.data() + static_cast<size_t>(done) * 2, n);
            sequencer_.Advance(n);
            done += n;
        }
        for (size_t i = 0; i < scratch_.size(); ++i) stereo[i] += scratch_[i] * gain_;
        if (sequencer_.TakeFinished()) {
            notify = std::move(on_finished_);
            on_finished_ = nullptr;
        }
    }
    if (notify) notify();
}

} // namespace platform
