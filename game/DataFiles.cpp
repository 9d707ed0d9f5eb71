// DataFiles.cpp -- the loaders' failure count and the folder-creating atomic write.
#include "game/DataFiles.h"

#include <atomic>

#include "platform/fs.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/file/File.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {
std::atomic<int> g_data_failures{0};
} // namespace

void ReportDataFailure(const char* caller, const std::string& file, const char* why, bool tell_user) {
    (tell_user ? CErrorLog::Notice : CErrorLog::Out)("%sで%sが使えない (%s)", caller, file.c_str(), why);
    g_data_failures.fetch_add(1, std::memory_order_relaxed);
}

int GetDataFailureCount() { return g_data_failures.load(std::memory_order_relaxed); }

void ResetDataFailureCount() { g_data_failures.store(0, std::memory_order_relaxed); }

int32_t HoldInRange(int64_t value, int32_t lo, int32_t hi, const char* caller, const char* what) {
    if (value >= lo && value <= hi) return static_cast<int32_t>(value);
    const int32_t held = value < lo ? lo : hi;
    CErrorLog::Out("%sで%sの%lldを%dにする (%dから%dまで)", caller, what, static_cast<long long>(value), held, lo, hi);
    return held;
}

namespace {
constexpr int32_t kWholeRate = 1024;
} // namespace

int32_t SettlingRate(int64_t rate, const char* caller, const char* what) {
    if (rate >= kNeverSettlingRate) {
        CErrorLog::Out("%sで%sの%lldは収まらない: %dにする", caller, what, static_cast<long long>(rate), kWholeRate);
        return kWholeRate;
    }
    return HoldInRange(rate, 0, kNeverSettlingRate - 1, caller, what);
}

int32_t ArrivingRate(int64_t rate, const char* caller, const char* what) {
    if (rate <= 0) {
        CErrorLog::Out("%sで%sの%lldでは届かない: %dにする", caller, what, static_cast<long long>(rate), kWholeRate);
        return kWholeRate;
    }
    return SettlingRate(rate, caller, what);
}

int ReadNumberIn(CStringScanner& scanner, int& value, int lo, int hi, const char* caller, const char* what) {
    int read = 0;
    const int result = scanner.GetNum(read);
    if (result == 0) value = HoldInRange(read, lo, hi, caller, what);
    return result;
}

void ReadScreenPoint(CStringScanner& scanner, int& x, int& y, const char* caller, const char* what) {
    ReadNumberIn(scanner, x, -kMaxScreenPixels, kMaxScreenPixels, caller, what);
    ReadNumberIn(scanner, y, -kMaxScreenPixels, kMaxScreenPixels, caller, what);
}

int WriteFileInFolder(const std::string& name, const void* data, size_t size, const char* caller) {
    size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos && slash > 0 && !platform::CreateDirectories(name.substr(0, slash))) {
        CErrorLog::Out("%sでフォルダが作れない(%s)", caller, name.c_str());
        return 1;
    }
    if (CFile::Write(name, data, size) != 0) {
        CErrorLog::Out("%sで書き込みに失敗(%s)", caller, name.c_str());
        return 2;
    }
    return 0;
}

} // namespace zuderadeDoruVAV3ed
