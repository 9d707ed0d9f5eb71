// DirectMusic.cpp -- the music device.
#include "sdk/sound/DirectMusic.h"

#include <mutex>
#include <string>

#include "sdk/base/ErrorLog.h"

namespace zuderadeDoruVAV3ed {

CDirectMusic::CDirectMusic(CDirectSound* sound) : sound_(sound) {
    std::string error;
    performance_ = platform::MusicPerformance::Create(error);
    if (!performance_) {
        CErrorLog::Out("CDirectMusic::CDirectMusic() performanceの作成に失敗 (%s)", error.c_str());
        status_ = kCreateFailed;
    }
}

CDirectMusic::~CDirectMusic() = default;

bool CDirectMusic::CanUse() {
    static std::once_flag once;
    static bool usable = false;
    std::call_once(once, [] { usable = platform::MusicPerformance::CanCreate(); });
    return usable;
}

} // namespace zuderadeDoruVAV3ed
