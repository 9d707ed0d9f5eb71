// ResourceCache.h -- the sound objects of a list file, one per entry, made by a sound factory.
#pragma once

#include <string>

#include "sdk/app/ResourceCache.h"
#include "sdk/sound/Sound.h"
#include "sdk/sound/SoundFactory.h"

namespace zuderadeDoruVAV3ed {

class CResourceCache : public CResourceCacheT<ISound> {
public:
    CResourceCache() = default;
    ~CResourceCache() override { ReleaseAll(); }

    // The factory that makes the sounds; it must outlive them (the cache lets go of them first).
    KTL::smart_ptr<CSoundFactory> factory;

protected:
    Pointer LoadResource(const std::string& name) override {
        Pointer out;
        if (factory) factory->LoadSound(out, name);
        return out;
    }
    Pointer CreateFallback() override { return Pointer(new CNullSound); }
};

} // namespace zuderadeDoruVAV3ed
