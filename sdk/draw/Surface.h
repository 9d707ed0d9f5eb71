// Surface.h -- ISurface, the interface of every drawable surface, in its fixed slot order.
//
// Every surface owns one CSurfaceInfo (made by the base constructor) on which its blits and
// effects run. The slots are declared in the order the surfaces share: general blit, effects,
// polygon blit, colour key, size, type, picture load, clear, fill colour, load, save, the
// descriptor, instance creation.
#pragma once

#include <cstdint>
#include <string>

#include "sdk/draw/SurfaceInfo.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

struct CBmpImage;

// Effect kinds of GeneralEffect. Kinds 1, 2, 3 and 5 take one dword as their parameter, kind 4
// none. Kinds 3 to 5 have slots of their own so that every surface records and forwards them
// alike, but no surface here draws them: GeneralEffect refuses them with a log text.
enum EffectKind : int32_t {
    kEffectFade = 1,       // level 0..255: every colour channel scaled by level / 255
    kEffectAddColor = 2,   // 0x00RRGGBB added to every pixel with saturation
    kEffect3 = 3,
    kEffect4 = 4,
    kEffect5 = 5,
};

class ISurface {
public:
    ISurface();
    virtual ~ISurface();
    ISurface(const ISurface&) = delete;
    ISurface& operator=(const ISurface&) = delete;

    // --- drawing: forwarded to the surface's own descriptor
    virtual int GeneralBlt(int kind, CSurfaceInfo* source, const BltInfo* info, const void* param);  // 0 done
    virtual int GeneralEffect(int kind, const RECT* rect, const void* param);   // rect null = whole
    // The effect slots: each calls GeneralEffect with its kind (and its parameter).
    virtual int FadeEffect(int level, const RECT* rect);        // effect 1 with that level
    virtual int AddColorEffect(uint32_t rgb, const RECT* rect); // effect 2 with 0x00RRGGBB
    virtual int Effect3(uint32_t param, const RECT* rect);      // effect 3 with param
    virtual int Effect4(const RECT* rect);                      // effect 4, no parameter
    virtual int Effect5(uint32_t param, const RECT* rect);      // effect 5 with param
    virtual int PolygonBlt(int mode, CSurfaceInfo* source, const PolygonInfo* info, const void* param);

    // --- colour key: a colour 0x00RRGGBB in the descriptor, whichever call set it
    virtual int SetColorKey(uint32_t rgb);           // 0x00RRGGBB (the top byte is dropped)
    virtual uint32_t GetColorKey();
    virtual int SetColorKeyPos(int x, int y);        // key := the colour of that pixel; 1 outside
    virtual int SetColorKeyRGB(int r, int g, int b);

    // --- geometry and type
    virtual int GetSize(int& width, int& height);    // 0, or 1 (and 0 x 0) without pixels
    virtual int GetSurfaceType();

    // --- content
    // Reads a BMP picture (disk or archive) and makes it the surface's content at its size:
    // 0 done, 1 file missing, 2 not a readable picture, 3 the surface cannot take it. On failure
    // the surface is unchanged.
    virtual int LoadImage(const std::string& file_name);
    virtual int Clear(const RECT* rect);             // fill with the fill colour; rect null = whole
    virtual int SetFillColor(uint32_t argb);
    virtual uint32_t GetFillColor();
    virtual int Load(const std::string& file_name);  // as LoadImage here
    virtual int Save(const std::string& file_name);  // 24-bit BMP; 0 done
    virtual int Save2(const std::string& file_name); // 32-bit BMP with the alpha channel; 0 done

    virtual CSurfaceInfo* GetSurfaceInfo();
    // The descriptor as the shared pointer that holds it: a later call that keeps it can still
    // ask it safely after the surface is gone (a released surface's descriptor is invalid).
    const KTL::smart_ptr<CSurfaceInfo>& GetSurfaceInfoHolder() const { return info_; }
    // A new, empty surface of the same kind (and owner).
    virtual KTL::smart_ptr<ISurface> CreateInstance() = 0;

protected:
    // Makes a decoded picture the surface's content (LoadImage's last step); 0 done. The base
    // surface holds no pixels of its own and answers 1.
    virtual int AdoptPicture(const CBmpImage& picture);

private:
    int SaveBmp(const std::string& file_name, bool with_alpha, const char* caller);

    KTL::smart_ptr<CSurfaceInfo> info_;   // the descriptor every blit and effect runs on
};

// Colour conversions of single pixels through the pixel-row converter.
// The colour of the pixel at p of the given type as 0xAARRGGBB.
uint32_t PixelToARGB(const uint8_t* p, int type);
// Writes the colour 0xAARRGGBB as one pixel of the given type at p.
void ARGBToPixel(uint32_t argb, uint8_t* p, int type);
// The part of rect (null = the whole surface) that lies on the surface; false when none does.
bool ClipToSurface(const CSurfaceInfo& surface, const RECT* rect, RECT& area);

} // namespace zuderadeDoruVAV3ed
