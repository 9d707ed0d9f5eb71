// StreamFactory.h -- picks and opens the stream reader for a sound file, by its extension.
#pragma once

#include <string>

#include "sdk/file/StringMap.h"
#include "sdk/ktl/smart_ptr.h"
#include "sdk/sound/WaveStream.h"

namespace zuderadeDoruVAV3ed {

class CStreamFactory {
public:
    CStreamFactory();
    virtual ~CStreamFactory() = default;
    // An opened reader of the file; a CNullWaveStream when none opens it (never empty).
    virtual KTL::smart_ptr<IWaveStream> CreateStream(const std::string& file_name);

    // Lower-case extensions without the dot -> class names of the object creater.
    KTL::smart_ptr<CStringMap> GetExtensionMap() const { return extension_map_; }

private:
    KTL::smart_ptr<CStringMap> extension_map_;
};

} // namespace zuderadeDoruVAV3ed
