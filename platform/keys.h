// keys.h -- the keyboard stand-in: 256 scan-code bytes (bit 7 = held) behind acquire and focus.
//
// One keyboard state per process, fed by the window's pump (SDL scancodes mapped to the scan
// codes below) or by an input script (input_script.h). Devices opened on it read that state the
// way the SDK's keyboard expects: set a data format and a cooperation level, acquire, read 256
// bytes, unacquire. A foreground device acquires only while the window has the focus and loses
// its acquisition when the focus goes (its next read answers kKeyErrInputLost). Every failed read
// leaves the device unacquired, so the caller's next Acquire really acquires again: a device that
// failed can never be stuck answering "already acquired".
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace platform {

// Scan codes of the keys the game binds (the numbering of the SDK's key tables).
namespace scan {
inline constexpr uint8_t kEscape = 0x01;
inline constexpr uint8_t kReturn = 0x1C;
inline constexpr uint8_t kA = 0x1E;
inline constexpr uint8_t kS = 0x1F;
inline constexpr uint8_t kD = 0x20;
inline constexpr uint8_t kZ = 0x2C;
inline constexpr uint8_t kX = 0x2D;
inline constexpr uint8_t kC = 0x2E;
inline constexpr uint8_t kSpace = 0x39;
inline constexpr uint8_t kNumPad8 = 0x48;
inline constexpr uint8_t kNumPad4 = 0x4B;
inline constexpr uint8_t kNumPad6 = 0x4D;
inline constexpr uint8_t kNumPad2 = 0x50;
inline constexpr uint8_t kNumPadEnter = 0x9C;
inline constexpr uint8_t kUp = 0xC8;
inline constexpr uint8_t kLeft = 0xCB;
inline constexpr uint8_t kRight = 0xCD;
inline constexpr uint8_t kDown = 0xD0;
} // namespace scan

// Results of the device calls; the SDK tells success (0) from everything else and the lost
// input from other failures.
inline constexpr int32_t kKeyOk = 0;
inline constexpr int32_t kKeyNoEffect = 1;   // success that changed nothing (already acquired)
inline constexpr int32_t kKeyErrInputLost = static_cast<int32_t>(0x8007001E);
inline constexpr int32_t kKeyErrNotAcquired = static_cast<int32_t>(0x8007000C);
inline constexpr int32_t kKeyErrOtherAppHasPriority = static_cast<int32_t>(0x80070005);
inline constexpr int32_t kKeyErrInvalidParam = static_cast<int32_t>(0x80070057);
inline constexpr int32_t kKeyErrGeneric = static_cast<int32_t>(0x80004005);

// Cooperation flags (one of each pair).
inline constexpr uint32_t kKeyCoopExclusive = 1;
inline constexpr uint32_t kKeyCoopNonExclusive = 2;
inline constexpr uint32_t kKeyCoopForeground = 4;
inline constexpr uint32_t kKeyCoopBackground = 8;

inline constexpr uint32_t kKeyStateSize = 256;   // bytes of one keyboard state
inline constexpr uint8_t kKeyDown = 0x80;        // bit of a held key

// The system keyboard as one opened device. Not copyable; many may be open at once.
class KeyboardDevice {
public:
    KeyboardDevice();
    ~KeyboardDevice();
    KeyboardDevice(const KeyboardDevice&) = delete;
    KeyboardDevice& operator=(const KeyboardDevice&) = delete;

    // Only the standard format of kKeyStateSize one-byte keys is known.
    int32_t SetDataFormat(uint32_t state_size);
    // window only names the owner: the focus is the process window's focus.
    int32_t SetCooperativeLevel(const void* window, uint32_t flags);
    // kKeyOk, kKeyNoEffect when already acquired, kKeyErrOtherAppHasPriority for a foreground
    // device without the focus, kKeyErrInvalidParam before SetDataFormat.
    int32_t Acquire();
    // kKeyOk, or kKeyNoEffect when not acquired.
    int32_t Unacquire();
    // Copies the keyboard state; on any failure the device is left unacquired.
    int32_t GetDeviceState(uint32_t size, void* data);
    bool IsAcquired() const;

private:
    friend void FeedFocus(bool focused);
    bool format_set_ = false;
    uint32_t cooperation_ = 0;
    bool acquired_ = false;
    bool lost_ = false;   // acquisition taken away by a focus loss, not yet reported
};

// The key-input service that keyboards are opened through.
class KeyInputService {
public:
    virtual ~KeyInputService() = default;
    // Prepares the service for an interface version (0x0300 or 0x0500); kKeyOk on success.
    virtual int32_t Initialize(uint32_t version) = 0;
    // Opens the system keyboard; null (result set) when refused.
    virtual std::unique_ptr<KeyboardDevice> CreateKeyboard(int32_t& result) = 0;
};

// The in-process way to the service; null when refused.
std::unique_ptr<KeyInputService> CreateKeyInputService();

// The fallback way: a loadable input module, taken step by step.
class KeyInputLibrary {
public:
    // Null when the module is missing.
    static std::unique_ptr<KeyInputLibrary> Load();
    bool HasCreateEntry() const;
    // kKeyOk and the service in out (which may still be null), or an error.
    int32_t Create(uint32_t version, std::unique_ptr<KeyInputService>& out);
};

// Feeding the state (the window's pump, the input script, tests).
void FeedKey(uint8_t scan_code, bool down);
// Replaces the whole state (bit 7 of each byte = held).
void FeedKeyboardState(const uint8_t (&state)[kKeyStateSize]);
// Losing the focus releases every key and takes the acquisition from foreground devices.
void FeedFocus(bool focused);
bool KeyboardHasFocus();

// The scan code of an SDL scancode; 0 when the key has none.
uint8_t ScanCodeFromSdl(int sdl_scancode);
// Key names of scripts ("Space", "Up", "KP8", ...), ASCII case ignored; 0 when unknown.
uint8_t ScanCodeFromName(std::string_view name);

// Faults that tests switch on; all off in a real run.
struct KeyboardFaults {
    bool service_create = false;     // the in-process way is refused
    bool library_load = false;       // the fallback module is missing
    bool library_entry = false;      // ... lacks its create entry
    bool library_create = false;     // ... whose create call fails
    bool library_no_service = false; // ... succeeds without handing out a service
    bool initialize_0500 = false;    // Initialize(0x0500) fails
    bool initialize_0300 = false;    // Initialize(0x0300) fails
    bool create_device = false;
    bool set_data_format = false;
    bool set_cooperative_level = false;
    bool acquire = false;            // every Acquire fails while set
    int reads_lost = 0;              // the next n reads answer kKeyErrInputLost
    int reads_failed = 0;            // the next n reads fail otherwise
};
void SetKeyboardFaultsForTest(const KeyboardFaults& faults);
// All keys up, focus on, no faults.
void ResetKeyboardForTest();

} // namespace platform
