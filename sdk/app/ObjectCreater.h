// ObjectCreater.h -- objects made by class name, from classes the program or plug-in DLLs register.
//
// A class is registered under its name and the name of the interface it is made as; every
// creatable interface names itself:
//
//   class IWaveStream { public: static constexpr const char kInterfaceName[] = "IWaveStream"; ... };
//
// A plug-in exports "ZiruRuzIzudozarora" (PlugInEntry), which registers its classes through the
// creater's virtual RegisterClass, so a plug-in needs no symbol of the host at load time:
//
//   extern "C" void ZiruRuzIzudozarora(zuderadeDoruVAV3ed::IObjectRegistry* creater) {
//       zuderadeDoruVAV3ed::RegisterClassAs<IWaveStream, CMyStream>(creater, "CMyStream");
//   }
//
// Creation names the interface too (creater->Create<IWaveStream>("CMyStream")) and gives null,
// with a log text, for a class registered as another interface. The caller owns the object.
// Classes of a plug-in go when the plug-in is released.
#pragma once

#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "sdk/thread/CriticalSection.h"

namespace zuderadeDoruVAV3ed {

// Makes a new object and returns it as a pointer to the interface it is registered as.
using ObjectFactory = void* (*)();

// The creater as a plug-in sees it. Every member is inline or pure, so not even its type
// information (which checked builds look up on each virtual call) is a symbol of the host.
class IObjectRegistry {
public:
    virtual ~IObjectRegistry() {}
    // Registers (or replaces) a class made as interface_name; a null factory removes it. A
    // null class or interface name is logged and ignored.
    virtual void RegisterClass(const char* class_name, const char* interface_name, ObjectFactory factory) = 0;
};

// Registers class C, made as interface I, under class_name: the factory's cast is checked here.
template <class I, class C>
void RegisterClassAs(IObjectRegistry* registry, const char* class_name) {
    static_assert(std::is_base_of_v<I, C>, "the class must implement the interface it is made as");
    registry->RegisterClass(class_name, I::kInterfaceName, [] { return static_cast<void*>(static_cast<I*>(new C)); });
}

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

    // A new object of the class registered as class_name, as a pointer to interface I; null
    // when no class has that name or it is made as another interface (logged).
    template <class I>
    I* Create(const char* class_name) {
        return static_cast<I*>(Create(class_name, I::kInterfaceName));
    }
    // The same with the interface by name: the object as a pointer to that interface, or null.
    virtual void* Create(const char* class_name, const char* interface_name);
    void RegisterClass(const char* class_name, const char* interface_name, ObjectFactory factory) override;

    // Loads the DLL and lets its entry register its classes. 0 on success (also when it was
    // loaded already), 1 when it does not load, 2 when it lacks the entry; failures are logged.
    int LoadPlugIn(const std::string& dll_name);
    // Removes the DLL's classes and unloads it; 0 on success, 1 when it was not loaded.
    int ReleasePlugIn(const std::string& dll_name);
    bool IsLoaded(const std::string& dll_name);

private:
    struct ClassEntry {
        ObjectFactory factory;
        std::string interface_name;   // what the factory's pointer points to
        std::string plug_in;          // the DLL that registered it; "" for the program
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
