// TrigTable.cpp -- fills the fixed-point cosine table.
#include "sdk/draw/TrigTable.h"

#include <cmath>
#include <numbers>

namespace zuderadeDoruVAV3ed {

CTrigTable::CTrigTable() {
    for (int i = 0; i < 512; ++i)
        cos_[i] = static_cast<int32_t>(std::cos(2.0 * std::numbers::pi * i / 512.0) * 65536.0);
}

const CTrigTable& CTrigTable::Get() {
    static const CTrigTable table;
    return table;
}

} // namespace zuderadeDoruVAV3ed
