// FastPlane.h -- CFastPlane, a memory surface in the display's pixel type, and CTextFastPlane.
//
// A plane has no pixels until CreateSurface or a successful Load gives it some; a picture with
// an alpha channel is held in the alpha twin of the display's type (32 and 24 bits: ARGB8888,
// 16 bits: ARGB4565). Both take the colour key from the pixel at (0, 0).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sdk/draw/Surface.h"

namespace zuderadeDoruVAV3ed {

class CFastDraw;

class CFastPlane : public ISurface {
public:
    // owner: the display whose pixel type the plane takes; null = the calling thread's (or
    // XRGB8888 when the thread has none). The owner must outlive the plane.
    explicit CFastPlane(CFastDraw* owner = nullptr);
    ~CFastPlane() override;

    // Kept for the callers that ask for it; every plane lives in system memory here.
    void SetSystemMemoryFlag(bool system_memory) { system_memory_ = system_memory; }
    bool GetSystemMemoryFlag() const { return system_memory_; }

    // LoadImage, then the colour key from the pixel at (0, 0). A failed load changes nothing.
    int Load(const std::string& file_name) override;
    KTL::smart_ptr<ISurface> CreateInstance() override;

    // A surface of width x height in the display's type (alpha: its alpha twin), cleared to 0,
    // colour key from (0, 0). 0 done; 1 bad size or the plane is locked (it stays as it was).
    virtual int CreateSurface(int width, int height, bool alpha = false);
    // Frees the pixels; the plane then has none.
    void Release();

    CFastDraw* GetOwner() const { return owner_; }
    // The type a new surface of this plane gets (alpha: the alpha twin).
    int GetDisplayType(bool alpha) const;

protected:
    int AdoptPicture(const CBmpImage& picture) override;

private:
    // Installs new pixels (rows of `pitch` bytes) as the plane's content.
    void Install(std::vector<uint8_t>&& pixels, int32_t pitch, int width, int height, int type);

    CFastDraw* owner_;              // not owned; null = the calling thread's display
    bool system_memory_ = false;
    std::vector<uint8_t> pixels_;   // top row first
};

// The display type's counterpart with an alpha channel.
int AlphaTwinType(int type);

// A plane for system-font text; nothing is added to the plane.
class CTextFastPlane : public CFastPlane {
public:
    explicit CTextFastPlane(CFastDraw* owner = nullptr) : CFastPlane(owner) {}
    KTL::smart_ptr<ISurface> CreateInstance() override;
};

} // namespace zuderadeDoruVAV3ed
