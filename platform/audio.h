// audio.h -- sound buffers played by one software mixer: devices, secondary and primary buffers
// with play and write cursors, and the output (SDL2, its dummy driver, a manual device, or under
// FLYINGFISH_CLOCK=virtual a device that mixes in step with the virtual clock).
//
// Every device shares the process's one mixer (44100 Hz stereo). A secondary buffer holds PCM
// bytes (8-bit unsigned or 16-bit signed, mono or stereo, any rate) that duplicates share. Lock
// hands out a staging copy and Unlock commits it, so the mixer never races the caller. After each
// mixed chunk a playing buffer's play cursor is the start of that chunk and its write cursor the
// next byte to be mixed; both wrap at the buffer's end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class Window;

#pragma pack(push, 1)
// The wave format record (18 bytes, little-endian as stored in files).
struct WaveFormatEx {
    uint16_t format_tag;        // 1 PCM
    uint16_t channels;
    uint32_t samples_per_sec;
    uint32_t avg_bytes_per_sec;
    uint16_t block_align;
    uint16_t bits_per_sample;
    uint16_t cb_size;           // bytes of extra format data that follow
};
#pragma pack(pop)
static_assert(sizeof(WaveFormatEx) == 18);

inline constexpr uint16_t kWaveFormatPcm = 1;

// Buffer capability flags.
enum : uint32_t {
    kBufferPrimary = 0x1,
    kBufferLocSoftware = 0x8,
    kBufferCtrlFrequency = 0x20,
    kBufferCtrlPan = 0x40,
    kBufferCtrlVolume = 0x80,
    kBufferGlobalFocus = 0x8000,
};

// Status bits of a buffer.
enum : uint32_t {
    kStatusPlaying = 0x1,
    kStatusBufferLost = 0x2,
    kStatusLooping = 0x4,
};

inline constexpr uint32_t kPlayLooping = 1;
inline constexpr int kCooperativeNormal = 1;
inline constexpr int kCooperativePriority = 2;
inline constexpr int kVolumeMin = -10000;   // hundredths of a decibel
inline constexpr int kPanLeft = -10000;
inline constexpr int kPanRight = 10000;

enum class AudioResult {
    kOk,
    kBufferLost,
    kInvalidParam,
    kInvalidCall,
    kControlUnavailable,
    kBadFormat,
    kPriorityNeeded,
    kNoDriver,
    kNotInitialized,
};

// The buffer description (size 20, flags, bytes, reserved 0, format).
struct BufferDesc {
    uint32_t size = 20;
    uint32_t flags = 0;
    uint32_t buffer_bytes = 0;
    uint32_t reserved = 0;
    const WaveFormatEx* format = nullptr;
};

class SoundBuffer {
public:
    virtual ~SoundBuffer() = default;
    virtual AudioResult GetStatus(uint32_t* status) = 0;
    virtual AudioResult SetFormat(const WaveFormatEx* format) = 0;   // primary buffer only
    // Copies at most size bytes of the format (18, or more with its extra data); written is the
    // count copied.
    virtual AudioResult GetFormat(WaveFormatEx* format, uint32_t size, uint32_t* written) = 0;
    virtual AudioResult SetCurrentPosition(uint32_t offset) = 0;
    virtual AudioResult GetCurrentPosition(uint32_t* play, uint32_t* write) = 0;
    virtual AudioResult SetVolume(int volume) = 0;
    virtual AudioResult GetVolume(int* volume) = 0;
    virtual AudioResult SetPan(int pan) = 0;
    virtual AudioResult GetPan(int* pan) = 0;
    // 0 restores the format's own rate; otherwise 100..200000.
    virtual AudioResult SetFrequency(uint32_t frequency) = 0;
    virtual AudioResult GetFrequency(uint32_t* frequency) = 0;
    // One lock at a time per buffer; the region wraps at the end into a second part.
    virtual AudioResult Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* size1, void** part2,
                             uint32_t* size2, uint32_t flags) = 0;
    virtual AudioResult Unlock(void* part1, uint32_t size1, void* part2, uint32_t size2) = 0;
    virtual AudioResult Play(uint32_t flags) = 0;
    virtual AudioResult Stop() = 0;
    virtual AudioResult Restore() = 0;
};

// The device: creates buffers on the shared mixer. Initialize opens the output once per process
// (SDL2; its dummy driver, logged once, when no device opens; the manual device for tests; or,
// when the process's clock is virtual, the clock-driven device: each advance of the clock mixes
// the time gone by on the advancing thread, so the sound keeps pace with the frames exactly).
class AudioDevice {
public:
    // A new, uninitialised device (null when a test made creation fail).
    static std::unique_ptr<AudioDevice> Create();
    virtual ~AudioDevice() = default;
    virtual AudioResult Initialize() = 0;
    virtual AudioResult SetCooperativeLevel(Window* window, int level) = 0;
    virtual AudioResult CreateSoundBuffer(const BufferDesc& desc, std::unique_ptr<SoundBuffer>* buffer) = 0;
    virtual AudioResult DuplicateSoundBuffer(SoundBuffer* original, std::unique_ptr<SoundBuffer>* duplicate) = 0;
};

// Whether the application window has the focus: buffers without kBufferGlobalFocus mix silently
// while it has not. The window layer reports it; true at start.
void SetAudioFocus(bool focused);
bool GetAudioFocus();

// Every buffer becomes lost (stopped, contents gone) until Restore, as when another program takes
// the sound device.
void LoseAllSoundBuffers();

// For tests and benchmarks: a device that renders only on demand.
// Must be chosen before the first Initialize (or while no device is initialised).
void UseManualAudioOutput(bool manual);
// Mixes frames of 44100 Hz stereo in chunks as the real output would; with capture on, appends
// the 16-bit result to the capture.
void RenderManualAudio(int frames);
void SetAudioCapture(bool on);
std::vector<int16_t> TakeCapturedAudio();

// Unlocks committed so far, by every buffer (tests wait on a refill with it).
uint64_t GetSoundBufferCommitCount();

enum class AudioFault { kNone, kCreate, kInitialize, kCooperativeLevel };
// Makes the next device creations fail at one step, for tests.
void SetAudioFaultForTest(AudioFault fault);

// Which output is open now: "sdl", "dummy", "manual", "virtual" (clock-driven) or "" (none).
const char* GetAudioOutputName();

} // namespace platform
