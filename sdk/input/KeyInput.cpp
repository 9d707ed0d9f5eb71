// KeyInput.cpp -- the keyboard's set-up steps with their statuses and logs, and its poll.
#include "sdk/input/KeyInput.h"

#include "sdk/app/AppManager.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/thread/ComInit.h"

namespace zuderadeDoruVAV3ed {

namespace {
constexpr uint32_t kVersion0500 = 0x0500;
constexpr uint32_t kVersion0300 = 0x0300;
} // namespace

CDirectInput::CDirectInput() {
    // The in-process way first; without it this thread's COM use ends again at once.
    COMInitializeThisThread();
    in_process_ = platform::CreateKeyInputService();
    if (in_process_) {
        interface_ = in_process_.get();
    } else {
        COMUninitializeThisThread();
        module_ = platform::KeyInputLibrary::Load();
        if (!module_) {
            CErrorLog::Out("CDirectInput::CDirectInputでLoadLibraryに失敗");
            status_ = kModuleFailed;
            return;
        }
        if (!module_->HasCreateEntry()) {
            CErrorLog::Out("CDirectInput::CDirectInputでGetProcに失敗");
            status_ = kModuleFailed;
            return;
        }
        if (module_->Create(kVersion0300, module_service_) != platform::kKeyOk) {
            CErrorLog::Out("CDirectInput::CDirectInputでDirectInputCreateに失敗");
            status_ = kModuleFailed;
            return;
        }
        interface_ = module_service_.get();
        status_ = kModuleOld;
    }
    if (!interface_) {
        CErrorLog::Out("CDirectInput::CDirectInputでDirectInputInterfaceが得られない");
        status_ = kNoInterface;
        return;
    }
    // The newer version when the service has it, else the old one.
    if (interface_->Initialize(kVersion0500) == platform::kKeyOk) {
        status_ = kReady;
    } else if (interface_->Initialize(kVersion0300) != platform::kKeyOk) {
        CErrorLog::Out("CDirectInput::CKeyInputでDirectInputの初期化に失敗");
        status_ = kInitializeFailed;
    } else if (status_ == kReady) {
        status_ = kInProcessOld;
    }
}

CDirectInput::~CDirectInput() {
    // The module goes first (with its service), then the in-process service.
    module_service_.reset();
    module_.reset();
    if (in_process_) {
        in_process_.reset();
        COMUninitializeThisThread();
    }
}

CKeyInput::CKeyInput(bool background) : status_(direct_input_.GetStatus()) {
    if (status_ >= CDirectInput::kModuleFailed) return;
    int32_t result = platform::kKeyOk;
    device_ = direct_input_.GetInterface()->CreateKeyboard(result);
    if (!device_ || result != platform::kKeyOk) {
        device_.reset();
        CErrorLog::Out("CKeyInput::CKeyInputでDirectInputの初期化CreateDeviceに失敗");
        status_ = kCreateDeviceFailed;
        return;
    }
    if (device_->SetDataFormat(platform::kKeyStateSize) != platform::kKeyOk) {
        CErrorLog::Out("CKeyInput::CKeyInputでDirectInputの初期化SetDataFormatに失敗");
        status_ = kSetDataFormatFailed;
        return;
    }
    uint32_t flags = platform::kKeyCoopNonExclusive |
                     (background ? platform::kKeyCoopBackground : platform::kKeyCoopForeground);
    if (device_->SetCooperativeLevel(CAppManager::StaticGetHWnd(), flags) != platform::kKeyOk) {
        CErrorLog::Out("CKeyInput::CKeyInputでDirectInputの初期化SetCooperativeLevelに失敗");
        status_ = kSetCooperativeLevelFailed;
        return;
    }
    // The first Input acquires.
    acquired_ = false;
    CAppManager::StaticAddWinHook(this);
}

CKeyInput::~CKeyInput() {
    if (status_ < CDirectInput::kModuleFailed) CAppManager::GetInstance()->DelWinHook(this);
    if (device_) {
        if (acquired_) device_->Unacquire();
        device_.reset();
    }
}

int32_t CKeyInput::Input() {
    if (status_ >= CDirectInput::kModuleFailed) return 1;
    FlipKeys();
    uint8_t* keys = CurrentKeys();
    if (!acquired_) {
        if (device_->Acquire() != platform::kKeyOk) {
            acquired_ = false;
            ClearCurrentKeys();
            return 1;
        }
        acquired_ = true;
    }
    int32_t result = device_->GetDeviceState(kKeyCount, keys);
    // A lost input is taken back once at once; failing that, all keys are up this frame.
    if (result == platform::kKeyErrInputLost) {
        if (device_->Acquire() != platform::kKeyOk) {
            acquired_ = false;
            ClearCurrentKeys();
            return -1;
        }
        result = device_->GetDeviceState(kKeyCount, keys);
    }
    if (result != platform::kKeyOk) {
        ClearCurrentKeys();
        acquired_ = false;
        return 1;
    }
    return 0;
}

bool CKeyInput::IsKeyPress(int key) const {
    return IsKeyNumber(key) && (CurrentKeys()[key] & platform::kKeyDown) != 0;
}

bool CKeyInput::IsKeyPush(int key) const {
    return IsKeyPress(key) && (PreviousKeys()[key] & platform::kKeyDown) == 0;
}

intptr_t CKeyInput::WndProc(WindowHandle, uint32_t, uintptr_t, intptr_t) { return 0; }

} // namespace zuderadeDoruVAV3ed
