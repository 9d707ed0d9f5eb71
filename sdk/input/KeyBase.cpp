// KeyBase.cpp -- the double-buffered key state shared by every input device.
#include "sdk/input/KeyBase.h"

#include <cstring>

namespace zuderadeDoruVAV3ed {

CKeyBase::CKeyBase() = default;

bool CKeyBase::IsKeyPress(int key) const { return IsKeyNumber(key) && CurrentKeys()[key] != 0; }

bool CKeyBase::IsKeyPush(int key) const {
    return IsKeyNumber(key) && CurrentKeys()[key] != 0 && PreviousKeys()[key] == 0;
}

uint8_t* CKeyBase::GetKeyData() { return CurrentKeys(); }

int32_t CKeyBase::ResetKey() {
    std::memset(keys_, 0, sizeof keys_);
    return 0;
}

void CKeyBase::ClearCurrentKeys() { std::memset(CurrentKeys(), 0, kKeyCount); }

} // namespace zuderadeDoruVAV3ed
