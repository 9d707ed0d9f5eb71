// Serializable.h -- the root class of the scenes, the scene control and the random generator.
#pragma once

namespace zuderadeDoruVAV3ed {

class ISerializable {
public:
    // Writes or restores the object's state; the program keeps none this way, so the root does nothing.
    virtual void Serialize() {}
    virtual ~ISerializable() = default;
};

} // namespace zuderadeDoruVAV3ed
