// TrigTable.h -- fixed-point trigonometry: one full turn in 512 steps, values in 16.16.
#pragma once

#include <cstdint>

namespace zuderadeDoruVAV3ed {

class CTrigTable {
public:
    CTrigTable();   // fills the table

    // cos and sin of step i (any i; taken modulo 512), times 65536.
    int32_t Cos(int i) const { return cos_[i & 511]; }
    int32_t Sin(int i) const { return cos_[(i - 128) & 511]; }

    // The program's one table, built on first use.
    static const CTrigTable& Get();

    int32_t cos_[512];   // cos(2 pi i / 512) * 65536, truncated toward zero
};

} // namespace zuderadeDoruVAV3ed
