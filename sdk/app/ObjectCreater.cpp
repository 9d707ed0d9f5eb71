// ObjectCreater.cpp -- the class registry and plug-in loading.
#include "sdk/app/ObjectCreater.h"

#include <atomic>

#include "platform/dynlib.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/thread/Singleton.h"

namespace zuderadeDoruVAV3ed {

CObjectCreater::CObjectCreater() = default;

CObjectCreater::~CObjectCreater() {
    while (!plug_ins_.empty()) ReleasePlugIn(plug_ins_.begin()->first);
}

void* CObjectCreater::Create(const char* class_name, const char* interface_name) {
    if (!class_name || !interface_name) {
        CErrorLog::Out("CObjectCreater::Createに失敗 (クラス名かインタフェース名がNULL)");
        return nullptr;
    }
    // Under the lock, so the plug-in that holds the factory cannot be released meanwhile.
    CCriticalLock lock(&lock_);
    auto it = classes_.find(class_name);
    if (it == classes_.end()) return nullptr;
    if (it->second.interface_name != interface_name) {
        CErrorLog::Out("CObjectCreater::Createに失敗 (%sは%sとして登録されていて%sとしては作れない)", class_name,
                       it->second.interface_name.c_str(), interface_name);
        return nullptr;
    }
    return it->second.factory();
}

void CObjectCreater::RegisterClass(const char* class_name, const char* interface_name, ObjectFactory factory) {
    if (!class_name || (factory && !interface_name)) {
        CErrorLog::Out("CObjectCreater::RegisterClassに失敗 (クラス名かインタフェース名がNULL)");
        return;
    }
    CCriticalLock lock(&lock_);
    if (!factory)
        classes_.erase(class_name);
    else
        classes_[class_name] = ClassEntry{factory, interface_name, loading_};
}

int CObjectCreater::LoadPlugIn(const std::string& dll_name) {
    CCriticalLock lock(&lock_);
    if (plug_ins_.count(dll_name)) return 0;
    platform::LibraryHandle library = platform::LoadLibrary(dll_name);
    if (!library) {
        CErrorLog::Out("CObjectCreater::LoadPlugInで%sの読み込みに失敗(%s)", dll_name.c_str(),
                       platform::GetLastLibraryError().c_str());
        return 1;
    }
    auto entry = reinterpret_cast<PlugInEntry>(platform::GetSymbol(library, kPlugInEntryName));
    if (!entry) {
        CErrorLog::Out("CObjectCreater::LoadPlugInで%sに%sがない", dll_name.c_str(), kPlugInEntryName);
        platform::FreeLibrary(library);
        return 2;
    }
    plug_ins_[dll_name] = library;
    // The entry calls back into RegisterClass on this thread; the lock is recursive.
    loading_ = dll_name;
    entry(this);
    loading_.clear();
    return 0;
}

int CObjectCreater::ReleasePlugIn(const std::string& dll_name) {
    CCriticalLock lock(&lock_);
    auto it = plug_ins_.find(dll_name);
    if (it == plug_ins_.end()) return 1;
    // Its classes go first: their factories live in the code about to be unloaded.
    for (auto c = classes_.begin(); c != classes_.end();) {
        if (c->second.plug_in == dll_name)
            c = classes_.erase(c);
        else
            ++c;
    }
    platform::FreeLibrary(it->second);
    plug_ins_.erase(it);
    return 0;
}

bool CObjectCreater::IsLoaded(const std::string& dll_name) {
    CCriticalLock lock(&lock_);
    return plug_ins_.count(dll_name) != 0;
}

CObjectCreater* GetObjectCreater() {
    static std::atomic<CObjectCreater*> creater{nullptr};
    static CCriticalSection lock;
    if (CObjectCreater* existing = creater.load(std::memory_order_acquire)) return existing;
    // Second test inside the lock, taken only while threads may exist.
    auto create = [] {
        CObjectCreater* existing = creater.load(std::memory_order_acquire);
        if (!existing) {
            existing = new CObjectCreater;
            creater.store(existing, std::memory_order_release);
        }
        return existing;
    };
    if (!ThreadsMayExist()) return create();
    CCriticalLock guard(&lock);
    return create();
}

} // namespace zuderadeDoruVAV3ed
