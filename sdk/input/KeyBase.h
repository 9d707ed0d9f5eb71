// KeyBase.h -- CKeyBase: a device's double-buffered state of 256 keys, polled once per frame.
//
// Input flips the two arrays, so the one that was current becomes the previous poll's, and fills
// the new current one; IsKeyPush therefore means "pushed since the last poll". Key numbers
// outside 0..255 read as never held.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

class CKeyBase {
public:
    static constexpr int kKeyCount = 256;

    CKeyBase();
    CKeyBase(const CKeyBase&) = delete;
    CKeyBase& operator=(const CKeyBase&) = delete;

    // Polls the device into the next array; 0 on success.
    virtual int32_t Input() = 0;
    // Held now: the current byte is non-zero.
    virtual bool IsKeyPress(int key) const;
    // Held now and not at the previous poll.
    virtual bool IsKeyPush(int key) const;
    // The current array of kKeyCount bytes.
    virtual uint8_t* GetKeyData();
    virtual ~CKeyBase() = default;
    // Zeroes both arrays; 0.
    virtual int32_t ResetKey();

protected:
    static bool IsKeyNumber(int key) { return key >= 0 && key < kKeyCount; }
    // The current array becomes the previous one; the new current one keeps its old bytes.
    void FlipKeys() { current_ ^= 1; }
    uint8_t* CurrentKeys() { return keys_[current_]; }
    const uint8_t* CurrentKeys() const { return keys_[current_]; }
    const uint8_t* PreviousKeys() const { return keys_[current_ ^ 1]; }
    void ClearCurrentKeys();

private:
    int current_ = 0;                   // which array holds this poll's state
    uint8_t keys_[2][kKeyCount] = {};   // this poll's and the previous poll's
};

} // namespace zuderadeDoruVAV3ed
