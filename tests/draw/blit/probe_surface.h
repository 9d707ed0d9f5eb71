// probe_surface.h -- a descriptor over its own pixels whose lock handler can fail and which
// logs every lock and unlock, for the dispatch tests.
#pragma once

#include <string>
#include <vector>

#include "sdk/draw/SurfaceInfo.h"

namespace blit_test {

class ProbeSurface : public zuderadeDoruVAV3ed::CSurfaceInfo {
public:
    ProbeSurface(const char* name, int type, std::string& log, int w = 4, int h = 4)
        : name_(name), log_(log), pixels_(static_cast<size_t>(w) * h * 4, 0x5A) {
        Init(pixels_.data(), w * 4, w, h, type);
    }
    int lock_result = 0;
    std::vector<uint8_t>& Pixels() { return pixels_; }

protected:
    int OnLock() override {
        log_ += std::string("lock ") + name_ + (lock_result ? " failed; " : "; ");
        return lock_result;
    }
    void OnUnlock() override { log_ += std::string("unlock ") + name_ + "; "; }

private:
    const char* name_;
    std::string& log_;
    std::vector<uint8_t> pixels_;
};

} // namespace blit_test
