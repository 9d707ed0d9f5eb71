// The resource cache: list lines and comments, one object per entry, fallbacks that are never
// kept, and the over-limit rule (the oldest loaded entry other than the one asked for goes).
#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "sdk/app/ResourceCache.h"
#include "tests/scratch_dir.h"

using namespace zuderadeDoruVAV3ed;

namespace {

struct Thing {
    std::string name;   // "" for a fallback
};

// Makes a Thing per file name except "broken.wav"; counts the loads by name.
class ThingCache : public CResourceCacheT<Thing> {
public:
    ~ThingCache() override { ReleaseAll(); }
    std::map<std::string, int> loads;
    int fallbacks = 0;

protected:
    Pointer LoadResource(const std::string& name) override {
        ++loads[name];
        return name == "broken.wav" ? Pointer() : Pointer(new Thing{name});
    }
    Pointer CreateFallback() override {
        ++fallbacks;
        return Pointer(new Thing{""});
    }
};

// The sound-effect set's policy: a count and a limit.
class CountPolicy : public IResourceCountPolicy {
public:
    explicit CountPolicy(int limit) : limit(limit) {}
    void CountUp() override { ++count; }
    void CountDown() override { --count; }
    bool IsOverLimit() override { return count > limit; }
    int count = 0;
    int limit;
};

class ResourceCacheTest : public ::testing::Test {
protected:
    std::string WriteList(const std::string& text) {
        std::string path = (scratch.path() / "SE.vll").string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    testutil::ScratchDir scratch{"resource_cache"};
};

TEST_F(ResourceCacheTest, ListLinesGiveEntriesAndEachEntryOneObject) {
    ThingCache cache;
    ASSERT_EQ(cache.Load(WriteList("// sound effects\r\na.wav\r\n\r\n  b.wav \t\r\n   // c.wav\r\nbroken.wav\r\nd.mid"), 0), 0);
    ASSERT_EQ(cache.GetCount(), 4u);
    EXPECT_EQ(cache.GetName(1), "b.wav");
    EXPECT_EQ(cache.GetName(3), "d.mid");

    ThingCache::Pointer first, second;
    cache.Get(first, 1);
    cache.Get(second, 1);
    EXPECT_EQ(first->name, "b.wav");
    EXPECT_EQ(first.get(), second.get());   // one object, shared
    EXPECT_EQ(cache.loads["b.wav"], 1);

    // Numbers outside the list and objects that cannot be made give fallbacks, never kept.
    struct Case {
        int n;
        int fallbacks;
    } cases[] = {{-1, 1}, {4, 2}, {1 << 30, 3}, {2, 4}, {2, 5}};
    for (const Case& c : cases) {
        ThingCache::Pointer got;
        cache.Get(got, c.n);
        ASSERT_TRUE(got) << c.n;
        EXPECT_EQ(got->name, "") << c.n;
        EXPECT_EQ(cache.fallbacks, c.fallbacks) << c.n;
    }
    EXPECT_EQ(cache.loads["broken.wav"], 2);   // tried again each time
    EXPECT_FALSE(cache.IsLoaded(2));
}

TEST_F(ResourceCacheTest, OverTheLimitTheOldestLoadedOtherThanTheOneAskedForGoes) {
    ThingCache cache;
    auto* policy = new CountPolicy(2);
    cache.SetCountPolicy(KTL::smart_ptr<IResourceCountPolicy>(policy));
    ASSERT_EQ(cache.Load(WriteList("a\nb\nc\nd\n"), 0), 0);
    ThingCache::Pointer held, got;
    cache.Get(held, 0);
    cache.Get(got, 1);
    cache.Get(got, 0);   // used again, but still the oldest loaded
    cache.Get(got, 2);
    EXPECT_EQ(policy->count, 2);
    EXPECT_FALSE(cache.IsLoaded(0));
    EXPECT_TRUE(cache.IsLoaded(1));
    EXPECT_TRUE(cache.IsLoaded(2));
    EXPECT_EQ(held->name, "a");   // a caller's reference outlives the release
    cache.Get(got, 0);            // loaded anew: b, now the oldest, goes
    EXPECT_EQ(cache.loads["a"], 2);
    EXPECT_FALSE(cache.IsLoaded(1));
    EXPECT_NE(got.get(), held.get());

    // With a limit of 0 the entry asked for still stays, alone.
    policy->limit = 0;
    cache.Get(got, 3);
    EXPECT_EQ(got->name, "d");
    EXPECT_TRUE(cache.IsLoaded(3));
    EXPECT_EQ(policy->count, 1);
    for (size_t n = 0; n < 3; ++n) EXPECT_FALSE(cache.IsLoaded(n)) << n;

    // Loading a list again lets go of everything.
    ASSERT_EQ(cache.Load(WriteList("x\n"), 0), 0);
    EXPECT_EQ(policy->count, 0);
    EXPECT_EQ(cache.GetCount(), 1u);
}

TEST_F(ResourceCacheTest, AMissingListLeavesTheCacheEmpty) {
    ThingCache cache;
    ASSERT_EQ(cache.Load(WriteList("a\n"), 0), 0);
    EXPECT_EQ(cache.Load((scratch.path() / "none.vll").string(), 0), 1);
    EXPECT_EQ(cache.GetCount(), 0u);
    ThingCache::Pointer got;
    cache.Get(got, 0);
    EXPECT_EQ(got->name, "");
}

} // namespace
