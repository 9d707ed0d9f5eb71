// KeyInput.h -- the keyboard: CDirectInput opens the key-input service, CKeyInput reads it.
//
// Both keep a status that says how far set-up came: 0, 1, 2 usable; 3 and more not. An
// unusable keyboard reports no keys and Input returns 1; set-up failures are logged once.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/keys.h"
#include "sdk/app/WinHook.h"
#include "sdk/input/KeyBase.h"

namespace zuderadeDoruVAV3ed {

// Creator and owner of the key-input service, taken the in-process way or, failing that,
// through the loadable input module.
class CDirectInput {
public:
    // Status values.
    enum : int32_t {
        kReady = 0,              // initialised for version 0x0500
        kInProcessOld = 1,       // in-process service, version 0x0300 only
        kModuleOld = 2,          // module's service, version 0x0300 only
        kModuleFailed = 3,       // the module is missing, lacks its entry, or its create failed
        kNoInterface = 4,        // no service was handed out
        kInitializeFailed = 5,   // neither version initialised
    };

    CDirectInput();
    virtual ~CDirectInput();
    CDirectInput(const CDirectInput&) = delete;
    CDirectInput& operator=(const CDirectInput&) = delete;

    // The service in use; null when the status is 3 or more.
    platform::KeyInputService* GetInterface() const { return status_ < kModuleFailed ? interface_ : nullptr; }
    int32_t GetStatus() const { return status_; }

private:
    std::unique_ptr<platform::KeyInputService> in_process_;      // owned; ends this thread's COM use
    std::unique_ptr<platform::KeyInputLibrary> module_;          // the loaded input module
    std::unique_ptr<platform::KeyInputService> module_service_;  // the module's service
    platform::KeyInputService* interface_ = nullptr;             // one of the two above
    int32_t status_ = kReady;
};

// The keyboard. Key numbers are scan codes; a key is held when bit 7 of its byte is set.
class CKeyInput : public CKeyBase, public IWinHook {
public:
    // Status values past those of CDirectInput.
    enum : int32_t {
        kCreateDeviceFailed = 6,
        kSetDataFormatFailed = 7,
        kSetCooperativeLevelFailed = 8,
    };

    // background false: keys are read only while the application's window has the focus.
    explicit CKeyInput(bool background);
    ~CKeyInput() override;

    // 0; 1 when unusable or a read failed; -1 when the input was lost and cannot be taken back.
    // Every failure leaves all keys up and the next poll tries again.
    int32_t Input() override;
    bool IsKeyPress(int key) const override;
    bool IsKeyPush(int key) const override;
    // Registered on the application's window only to be told of it; answers 0 to everything.
    intptr_t WndProc(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) override;

    int32_t GetStatus() const { return status_; }
    bool IsAcquired() const { return acquired_; }

private:
    CDirectInput direct_input_;
    std::unique_ptr<platform::KeyboardDevice> device_;   // null when creation failed
    int32_t status_;
    bool acquired_ = false;
};

} // namespace zuderadeDoruVAV3ed
