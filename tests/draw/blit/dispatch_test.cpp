// dispatch_test.cpp -- CSurfaceInfo's lock protocol and GeneralBlt's results, routings and
// refusals, and the argument copies of deferred calls.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "blit_reference.h"
#include "probe_surface.h"
#include "sdk/draw/BltArgs.h"
#include "sdk/draw/BltDispatch.h"
#include "sdk/ktl/exception.h"

using namespace zuderadeDoruVAV3ed;
using namespace blit_test;

namespace {

std::string ExceptionText(const std::function<void()>& call) {
    try {
        call();
    } catch (const KTL::CRuntimeException& e) {
        return e.GetMessage();
    }
    return "(nothing thrown)";
}

} // namespace

TEST(SurfaceLock, DoubleLockAndUnlockThrowTheirTexts) {
    std::string log;
    ProbeSurface s("s", kSurfaceRGB565, log);
    EXPECT_EQ(s.Lock(), 0);
    EXPECT_TRUE(s.IsLocked());
    EXPECT_EQ(ExceptionText([&] { s.Lock(); }), "２重Lock(CSurfaceInfo::Lock)");
    s.Unlock();
    EXPECT_EQ(ExceptionText([&] { s.Unlock(); }), "２重UnlockCSurfaceInfo::Unlock");
    EXPECT_EQ(log, "lock s; unlock s; ");
}

TEST(SurfaceLock, FailedHandlerLeavesItUnlockedAndInvalidAnswersMinusOne) {
    std::string log;
    ProbeSurface s("s", kSurfaceRGB565, log);
    s.lock_result = 3;
    EXPECT_EQ(s.Lock(), 3);
    EXPECT_FALSE(s.IsLocked());
    s.lock_result = 0;
    EXPECT_EQ(s.Lock(), 0);   // no double-lock exception after the failure
    s.Unlock();
    CSurfaceInfo never;
    EXPECT_EQ(never.Lock(), -1);
    s.Invalidate();
    EXPECT_EQ(s.Lock(), -1);
}

TEST(SurfaceInit, ImpossibleDescriptionsStayInvalid) {
    uint8_t pixels[64];
    CSurfaceInfo d;
    d.Init(pixels, 4, 4, 4, kSurfaceRGB565);   // pitch shorter than a row
    EXPECT_FALSE(d.IsValid());
    d.Init(nullptr, 8, 4, 4, kSurfaceRGB565);
    EXPECT_FALSE(d.IsValid());
    d.Init(pixels, 8, -1, 4, kSurfaceRGB565);
    EXPECT_FALSE(d.IsValid());
    d.Init(pixels + 48, -16, 4, 4, kSurfaceXRGB8888);   // bottom-up is fine
    EXPECT_TRUE(d.IsValid());
    EXPECT_EQ(d.PixelAt(1, 1), pixels + 48 - 16 + 4);
}

TEST(GeneralBltLocks, DestinationFirstReleasedInReverse) {
    std::string log;
    ProbeSurface dest("dest", kSurfaceRGB565, log), source("source", kSurfaceXRGB8888, log);
    EXPECT_EQ(dest.GeneralBlt(kBltCopy, &source, nullptr, nullptr), 0);
    EXPECT_EQ(log, "lock dest; lock source; unlock source; unlock dest; ");
    EXPECT_FALSE(dest.IsLocked());
    EXPECT_FALSE(source.IsLocked());
}

TEST(GeneralBltLocks, FailedLocksAnswerOneAndLeaveNothingLocked) {
    std::string log;
    ProbeSurface dest("dest", kSurfaceRGB565, log), source("source", kSurfaceRGB565, log);
    source.lock_result = 1;
    EXPECT_EQ(dest.GeneralBlt(kBltCopy, &source, nullptr, nullptr), 1);
    EXPECT_EQ(log, "lock dest; lock source failed; unlock dest; ");
    log.clear();
    source.lock_result = 0;
    dest.lock_result = 1;
    EXPECT_EQ(dest.GeneralBlt(kBltCopyKeyed, &source, nullptr, nullptr), 1);
    EXPECT_EQ(log, "lock dest failed; ");
    EXPECT_FALSE(dest.IsLocked());
    EXPECT_FALSE(source.IsLocked());
}

TEST(GeneralBltLocks, SourceLockedElsewhereThrowsAndReleasesTheDestination) {
    std::string log;
    ProbeSurface dest("dest", kSurfaceRGB565, log), source("source", kSurfaceRGB565, log);
    source.Lock();
    EXPECT_EQ(ExceptionText([&] { dest.GeneralBlt(kBltCopy, &source, nullptr, nullptr); }), "２重Lock(CSurfaceInfo::Lock)");
    EXPECT_FALSE(dest.IsLocked());
    source.Unlock();
}

TEST(GeneralBltRefusals, BadArgumentsAnswerOneWithoutLocking) {
    std::string log;
    ProbeSurface dest("dest", kSurfaceRGB565, log), source("source", kSurfaceRGB565, log);
    EXPECT_EQ(dest.GeneralBlt(kBltCopy, &dest, nullptr, nullptr), 1);   // itself as source
    EXPECT_EQ(dest.GeneralBlt(kBltCopy, nullptr, nullptr, nullptr), 1);
    for (int kind : {-1, 11, 12, 13, 18, 1000}) EXPECT_EQ(dest.GeneralBlt(kind, &source, nullptr, nullptr), 1) << kind;
    // Kinds that read a parameter refuse a null one instead of reading through it.
    for (int kind : {6, 7, 8, 9, 14, 15, 16, 17}) EXPECT_EQ(dest.GeneralBlt(kind, &source, nullptr, nullptr), 1) << kind;
    EXPECT_EQ(log, "");
    EXPECT_EQ(dest.PolygonBlt(0, &dest, nullptr, nullptr), 1);   // itself as source
    EXPECT_EQ(dest.PolygonBlt(0, nullptr, nullptr, nullptr), 1);
    EXPECT_FALSE(dest.IsLocked());
}

// Results per kind and pair: served pairs 0 and drawn; pairs without a routine 2 and nothing
// drawn; equal types that have no routines at all 0 and nothing drawn.
TEST(GeneralBltResults, ServedUnservedAndTypesWithoutRoutines) {
    const int kinds[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 14, 15, 16, 17};
    const uint32_t rates[2] = {128, 64};
    std::string log;
    for (int kind : kinds) {
        for (int dt : kTypes) {
            for (int st : kTypes) {
                ProbeSurface dest("d", dt, log), source("s", st, log);
                std::vector<uint8_t> before = dest.Pixels();
                int result = dest.GeneralBlt(kind, &source, nullptr, rates);
                bool has_routine = FindBltRoutine(kind, dt, st) != nullptr;
                ASSERT_EQ(result, has_routine ? 0 : 2) << kind << " " << TypeName(dt) << " " << TypeName(st);
                if (!has_routine) {
                    ASSERT_EQ(dest.Pixels(), before);
                }
            }
        }
        for (int type : {int(kSurfacePAL8), 9, 0, 14, 99}) {
            ProbeSurface dest("d", type, log), source("s", type, log);
            EXPECT_EQ(dest.GeneralBlt(kind, &source, nullptr, rates), 0) << kind << " type " << type;
            ProbeSurface other("o", kSurfaceRGB565, log);
            EXPECT_EQ(dest.GeneralBlt(kind, &other, nullptr, rates), 2) << kind << " type " << type;
        }
    }
    // The copy kinds serve every pair now; kinds 8 and 9 serve RGB888 onto itself.
    for (int dt : kTypes)
        for (int st : kTypes) EXPECT_NE(FindBltRoutine(kBltCopyKeyed, dt, st), nullptr);
    EXPECT_NE(FindBltRoutine(kBltAddAlphaKeyed, kSurfaceRGB888, kSurfaceRGB888), nullptr);
    EXPECT_NE(FindBltRoutine(kBltSubAlphaKeyed, kSurfaceRGB888, kSurfaceRGB888), nullptr);
}

TEST(GeneralBltResults, SubtractRoutesThreePairsToAnotherPairsRoutine) {
    EXPECT_EQ(FindBltRoutine(kBltSub, kSurfaceARGB8888, kSurfaceXRGB8888),
              FindBltRoutine(kBltSub, kSurfaceARGB8888, kSurfaceARGB8888));
    EXPECT_EQ(FindBltRoutine(kBltSub, kSurfaceABGR8888, kSurfaceXBGR8888),
              FindBltRoutine(kBltSub, kSurfaceABGR8888, kSurfaceABGR8888));
    EXPECT_EQ(FindBltRoutine(kBltSub, kSurfaceXBGR8888, kSurfaceXBGR8888),
              FindBltRoutine(kBltSub, kSurfaceXRGB8888, kSurfaceXRGB8888));
    EXPECT_EQ(FindBltRoutine(kBltCopy, kSurfaceRGB565, 9), nullptr);
    EXPECT_EQ(FindBltRoutine(99, kSurfaceRGB565, kSurfaceRGB565), nullptr);
}

// A keyed copy through GeneralBlt takes the key from the source's descriptor.
TEST(GeneralBltKeys, KeyedCopySkipsTheSourceKey) {
    std::mt19937 rng(11);
    TestSurface source(kSurfaceARGB8888, 2, 1, false, 0, rng), dest(kSurfaceRGB565, 2, 1, false, 0, rng);
    RefStore(Format(kSurfaceARGB8888), source.Pixel(0, 0), 0x00FF00FF);   // the key, any alpha
    RefStore(Format(kSurfaceARGB8888), source.Pixel(1, 0), 0xFFFFFFFF);
    RefStore(Format(kSurfaceRGB565), dest.Pixel(0, 0), 0x1234);
    source.desc.SetColorKey(0xFFFF00FF);
    EXPECT_EQ(dest.desc.GeneralBlt(kBltCopyKeyed, &source.desc, nullptr, nullptr), 0);
    EXPECT_EQ(RefLoad(Format(kSurfaceRGB565), dest.Pixel(0, 0)), 0x1234u);
    EXPECT_EQ(RefLoad(Format(kSurfaceRGB565), dest.Pixel(1, 0)), 0xFFFFu);
}

TEST(BltParamPacking, KeyFollowedByAlphaOrRates) {
    BltParam p = MakeKeyRatesParam(0x00ABCDEF, 3, 0x11, 0x22);
    const uint8_t want3[8] = {0xEF, 0xCD, 0xAB, 0x11, 0x22, 0, 0, 0};
    EXPECT_EQ(std::memcmp(p.bytes, want3, 8), 0);
    p = MakeKeyAlphaParam(0x0009F81F, 4, 0x80);
    const uint8_t want4[8] = {0x1F, 0xF8, 0x09, 0x00, 0x80, 0, 0, 0};
    EXPECT_EQ(std::memcmp(p.bytes, want4, 8), 0);
    p = MakeKeyAlphaParam(0xFFFFF81F, 2, 0x80);
    const uint8_t want2[8] = {0x1F, 0xF8, 0x80, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(p.bytes, want2, 8), 0);
}

TEST(DeferredArgs, BlitCopiesOutliveAndIgnoreTheCallersLaterChanges) {
    POINT pos{1, 2};
    SIZE size{3, 4};
    RECT src{0, 0, 5, 5};
    BltInfo info;
    info.pos = &pos;
    info.size = &size;
    info.src = &src;
    info.anchor = 4;
    uint32_t rates[2] = {7, 9};
    const BltInfo* record = &info;
    const void* param = rates;
    KTL::smart_ptr<BltArgBlock> block;
    CopyBltArgs(block, kBltBlendRates, record, param);
    pos.x = 100;
    size.cx = 100;
    src.left = 100;
    rates[1] = 100;
    ASSERT_NE(record, &info);
    EXPECT_EQ(record->pos->x, 1);
    EXPECT_EQ(record->size->cx, 3);
    EXPECT_EQ(record->src->left, 0);
    EXPECT_EQ(record->clip, nullptr);
    EXPECT_EQ(record->anchor, 4);
    EXPECT_EQ(static_cast<const uint32_t*>(param)[1], 9u);

    // One dword for the constant-alpha kinds, none (null) for kinds without a parameter.
    uint32_t alpha = 77;
    param = &alpha;
    CopyBltArgs(block, kBltBlendConstKeyed, record, param);
    alpha = 1;
    EXPECT_EQ(*static_cast<const uint32_t*>(param), 77u);
    param = &alpha;
    CopyBltArgs(block, kBltCopy, record, param);
    EXPECT_EQ(param, nullptr);
    const BltInfo* none = nullptr;
    CopyBltArgs(block, kBltCopy, none, param);
    EXPECT_EQ(none, nullptr);
}

TEST(DeferredArgs, EffectAndPolygonCopies) {
    RECT rect{1, 2, 3, 4};
    const RECT* r = &rect;
    uint32_t level = 128;
    const void* param = &level;
    KTL::smart_ptr<BltArgBlock> block;
    CopyEffectArgs(block, 1, r, param);
    rect.left = 50;
    level = 0;
    EXPECT_EQ(r->left, 1);
    EXPECT_EQ(*static_cast<const uint32_t*>(param), 128u);
    param = &level;
    CopyEffectArgs(block, 4, r, param);
    EXPECT_EQ(param, nullptr);

    POINT sp[3] = {{0, 0}, {4, 0}, {0, 4}}, dp[3] = {{10, 10}, {20, 10}, {10, 20}};
    RECT clip{0, 0, 30, 30};
    PolygonInfo poly{sp, dp, &clip, 1, 3};
    const PolygonInfo* pi = &poly;
    param = nullptr;
    KTL::smart_ptr<BltArgBlock> pblock;
    CopyPolygonBltArgs(pblock, 0, pi, param);
    sp[2].y = 99;
    dp[1].x = 99;
    clip.right = 99;
    EXPECT_EQ(pi->count, 3);
    EXPECT_EQ(pi->srcEndExclusive, 1);
    EXPECT_EQ(pi->srcPoints[2].y, 4);
    EXPECT_EQ(pi->dstPoints[1].x, 20);
    EXPECT_EQ(pi->clip->right, 30);
    PolygonInfo bad{nullptr, dp, nullptr, 0, -5};   // a negative count copies no points
    pi = &bad;
    CopyPolygonBltArgs(pblock, 0, pi, param);
    EXPECT_EQ(pi->srcPoints, nullptr);
    EXPECT_EQ(pi->dstPoints, nullptr);
}
