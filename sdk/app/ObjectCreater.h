// ObjectCreater.h -- objects made by class name, from classes the program or plug-in DLLs register.
//
// A plug-in exports "ZiruRuzIzudozarora" (PlugInEntry), which registers its classes through the
// creater's virtual RegisterClass, so a plug-in needs no symbol of the host at load time:
//
//   extern "C" void ZiruRuzIzudozarora(zuderadeDoruVAV3ed::IObjectRegistry* creater) {
//       creater->RegisterClass("CMyStream", [] { return static_cast<void*>(static_cast<IWaveStream*>(new CMyStream)); });
//   }
//
// A factory returns the new object as the interface its users take it as (a stream as
// IWaveStream*); the caller owns it. Classes of a plug-in go when the plug-in is released.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "sdk/thread/CriticalSection.h"

namespace zuderadeDoruVAV3ed {

using ObjectFactory = void* (*)();

// The creater as a plug-in sees it. Every member is inline or pure, so not even its type
// information (which checked builds look up on each virtual call) is a symbol of the host.
class IObjectRegistry {
public:
    virtual ~IObjectRegistry() {}
    // Registers (or replaces) a class; a null factory removes it.
    virtual void RegisterClass(const char* class_name, ObjectFactory factory) = 0;
};

// The plug-in's one export; it is called with the creater that loads it.
using PlugInEntry = void (*)(IObjectRegistry* creater);
inline constexpr const char kPlugInEntryName[] = "ZiruRuzIzudozarora";

class CObjectCreater : public IObjectRegistry {
public:
    CObjectCreater();
    // Releases the plug-ins still loaded.
    ~CObjectCreater() override;
    CObjectCreater(const CObjectCreater&) = delete;
    CObjectCreater& operator=(const CObjectCreater&) = delete;

    // A new object of the class registered as class_name; null when none is.
    virtual void* Create(const char* class_name);
    void RegisterClass(const char* class_name, ObjectFactory factory) override;

    // Loads the DLL and lets its entry register its classes. 0 on success (also when it was
    // loaded already), 1 when it does not load, 2 when it lacks the entry; failures are logged.
    int LoadPlugIn(const std::string& dll_name);
    // Removes the DLL's classes and unloads it; 0 on success, 1 when it was not loaded.
    int ReleasePlugIn(const std::string& dll_name);
    bool IsLoaded(const std::string& dll_name);

private:
    struct ClassEntry {
        ObjectFactory factory;
        std::string plug_in;   // the DLL that registered it; "" for the program
    };

    CCriticalSection lock_;
    std::map<std::string, ClassEntry> classes_;
    std::map<std::string, void*> plug_ins_;   // DLL name -> library handle
    std::string loading_;                     // DLL whose entry runs now
};

// The process's creater, made on first use and kept to the end of the process (the entry
// releases its plug-in after the singletons are gone).
CObjectCreater* GetObjectCreater();

} // namespace zuderadeDoruVAV3ed
