// ResourceCache.h -- objects made from the file names of a list file, one per entry, loaded on first use.
//
// The list holds one file name per line; "//" lines and blank lines are skipped, and the entries
// are numbered from 0. A count policy counts the loaded entries; whenever loading one puts the
// count over its limit, the entries loaded longest ago (never the one just asked for) are let go
// until it is not. A concrete cache says how an object is made from a file name and what stands
// in for an entry that cannot be had:
//
//   class CSoundCache : public CResourceCacheT<ISound> {
//       KTL::smart_ptr<ISound> LoadResource(const std::string& name) override;   // through a factory
//       KTL::smart_ptr<ISound> CreateFallback() override;                         // a null object
//   };
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

// Counts the loaded entries of a cache.
class IResourceCountPolicy {
public:
    virtual ~IResourceCountPolicy() = default;
    virtual void CountUp() = 0;
    virtual void CountDown() = 0;
    virtual bool IsOverLimit() = 0;
};

// The file names of a list file; 0, or 1 (logged) when the file cannot be read (names empty).
int ReadResourceList(const std::string& list_file, std::vector<std::string>& names);
// Logs an entry number outside the list.
void LogResourceOutOfRange(int n, size_t count);

template <class Resource>
class CResourceCacheT {
public:
    using Pointer = KTL::smart_ptr<Resource>;

    CResourceCacheT() = default;
    virtual ~CResourceCacheT() = default;
    CResourceCacheT(const CResourceCacheT&) = delete;
    CResourceCacheT& operator=(const CResourceCacheT&) = delete;

    // Reads the list, letting go of the objects of the one before (callers pass 0 for the
    // second argument, which means nothing here). 0, or 1 when the list cannot be read (the
    // cache is then empty).
    int Load(const std::string& list_file, int /*flags*/) {
        ReleaseAll();
        std::vector<std::string> names;
        int result = ReadResourceList(list_file, names);
        entries_.clear();
        for (std::string& name : names) entries_.push_back(Entry{std::move(name), Pointer()});
        return result;
    }

    // The policy that counts the loaded entries (the cache owns it); empty: no limit.
    void SetCountPolicy(const KTL::smart_ptr<IResourceCountPolicy>& policy) { policy_ = policy; }

    // The object of entry n, loaded when it is not; a new fallback object (not kept) for a number
    // outside the list or an entry whose object cannot be made.
    Pointer& Get(Pointer& out, int n) {
        if (n < 0 || static_cast<size_t>(n) >= entries_.size()) {
            LogResourceOutOfRange(n, entries_.size());
            return out = CreateFallback();
        }
        Entry& entry = entries_[n];
        if (entry.object) return out = entry.object;
        Pointer object = LoadResource(entry.name);
        if (!object) return out = CreateFallback();
        entry.object = object;
        loaded_.push_back(static_cast<size_t>(n));
        if (policy_) {
            policy_->CountUp();
            // The oldest loaded entries go first; the one asked for stays whatever the limit.
            while (policy_->IsOverLimit() && loaded_.front() != static_cast<size_t>(n)) Release(loaded_.front());
        }
        return out = object;
    }

    size_t GetCount() const { return entries_.size(); }
    const std::string& GetName(size_t n) const { return entries_.at(n).name; }
    bool IsLoaded(size_t n) const { return n < entries_.size() && entries_[n].object; }

protected:
    // The object of a file name; empty when it cannot be made.
    virtual Pointer LoadResource(const std::string& name) = 0;
    virtual Pointer CreateFallback() = 0;

    // Lets go of every loaded object (a concrete cache calls this from its destructor while its
    // LoadResource's helpers still exist, if the objects need them).
    void ReleaseAll() {
        while (!loaded_.empty()) Release(loaded_.front());
    }

private:
    struct Entry {
        std::string name;
        Pointer object;   // empty until loaded
    };

    // Entry n goes from the loaded ones.
    void Release(size_t n) {
        for (auto it = loaded_.begin(); it != loaded_.end(); ++it)
            if (*it == n) {
                loaded_.erase(it);
                break;
            }
        entries_[n].object = Pointer();
        if (policy_) policy_->CountDown();
    }

    std::vector<Entry> entries_;
    std::deque<size_t> loaded_;   // loaded entries, oldest first
    KTL::smart_ptr<IResourceCountPolicy> policy_;
};

} // namespace zuderadeDoruVAV3ed
