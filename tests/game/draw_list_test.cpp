// draw_list_test.cpp -- the deferred-draw plane: layer order, call order within a layer, private
// copies of the arguments, sources that go before the flush, and the reset after it.
#include <gtest/gtest.h>

#include "game/DrawListPlane.h"
#include "game_test_util.h"

namespace {

using namespace zuderadeDoruVAV3ed;
using gametest::PixelAt;
using gametest::SolidPlane;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kBlack = 0;

class DrawListTest : public ::testing::Test {
protected:
    KTL::smart_ptr<CFastPlane> back_ = SolidPlane(16, 16, kBlack);
    KTL::smart_ptr<CFastPlane> red_ = SolidPlane(4, 4, kRed);
    KTL::smart_ptr<CFastPlane> green_ = SolidPlane(4, 4, kGreen);
    CDrawListPlane list_;
};

TEST_F(DrawListTest, LargerLayersLieBehindWhateverTheCallOrder) {
    struct Case {
        int first_layer, second_layer;
        uint32_t on_top;   // the colour where both overlap
    };
    // red drawn first, green second, overlapping at (3, 3)
    const Case cases[] = {{10000, 1000, kGreen}, {1000, 10000, kRed}, {500, 500, kGreen}, {0, -1, kGreen}};
    for (const Case& c : cases) {
        back_->Clear(nullptr);
        list_.SetLayer(c.first_layer);
        DrawPlaneCopy(&list_, red_.get(), 0, 0, nullptr, nullptr, nullptr);
        list_.SetLayer(c.second_layer);
        DrawPlaneCopy(&list_, green_.get(), 3, 3, nullptr, nullptr, nullptr);
        EXPECT_EQ(PixelAt(*back_, 3, 3), kBlack) << "recording must not draw";
        FlushDrawRecords(list_, back_.get());
        EXPECT_EQ(PixelAt(*back_, 3, 3), c.on_top) << c.first_layer << " vs " << c.second_layer;
        EXPECT_EQ(PixelAt(*back_, 0, 0), kRed);
        EXPECT_EQ(PixelAt(*back_, 6, 6), kGreen);
    }
}

TEST_F(DrawListTest, EqualLayersKeepTheirCallOrderAmongMany) {
    // Thirty overlapping blits at one layer among others: the last one called stays on top.
    std::vector<KTL::smart_ptr<CFastPlane>> planes;
    for (int i = 0; i < 30; ++i) {
        planes.push_back(SolidPlane(2, 2, static_cast<uint32_t>(0x010101 * (i + 1))));
        list_.SetLayer(i % 3 == 0 ? 2000 : 1000);
        DrawPlaneCopy(&list_, planes.back().get(), 5, 5, nullptr, nullptr, nullptr);
    }
    FlushDrawRecords(list_, back_.get());
    EXPECT_EQ(PixelAt(*back_, 5, 5), 0x010101u * 30);   // i = 29: layer 1000, called last
}

TEST_F(DrawListTest, ArgumentsChangedAfterRecordingDoNotChangeThePicture) {
    POINT pos{1, 1};
    SIZE size{2, 2};
    RECT source{0, 0, 2, 2};
    RECT clip{0, 0, 16, 16};
    BltInfo info;
    info.pos = &pos;
    info.size = &size;
    info.src = &source;
    info.clip = &clip;
    list_.GeneralBlt(kBltCopy, red_->GetSurfaceInfo(), &info, nullptr);
    RECT cleared{10, 10, 12, 12};
    list_.SetFillColor(0xFF0000FF);
    list_.Clear(&cleared);
    // Everything the calls pointed at changes before the flush.
    pos = POINT{8, 8};
    size = SIZE{8, 8};
    source = RECT{0, 0, 4, 4};
    clip = RECT{0, 0, 0, 0};
    cleared = RECT{0, 0, 16, 16};
    FlushDrawRecords(list_, back_.get());
    EXPECT_EQ(PixelAt(*back_, 1, 1), kRed);
    EXPECT_EQ(PixelAt(*back_, 2, 2), kRed);
    EXPECT_EQ(PixelAt(*back_, 3, 3), kBlack);
    EXPECT_EQ(PixelAt(*back_, 8, 8), kBlack);
    EXPECT_EQ(PixelAt(*back_, 10, 10), kBlue);
    EXPECT_EQ(PixelAt(*back_, 12, 12), kBlack);
}

TEST_F(DrawListTest, AFlushResetsTheLayerAndEmptiesTheRecords) {
    list_.SetLayer(7000);
    DrawPlaneCopyKeyed(&list_, red_.get(), 0, 0, nullptr, nullptr, nullptr);
    list_.SetColorKey(0x123456);
    EXPECT_EQ(list_.GetRecords().size(), 2u);
    EXPECT_EQ(list_.GetLayer(), 7000);
    FlushDrawRecords(list_, back_.get());
    EXPECT_EQ(list_.GetLayer(), 0);
    EXPECT_TRUE(list_.GetRecords().empty());
    // Reading back from the deferred plane answers 0, whatever was recorded.
    EXPECT_EQ(list_.GetColorKey(), 0u);
    EXPECT_EQ(list_.GetFillColor(), 0u);
    // A flush without a target only drops the records.
    list_.SetLayer(3);
    DrawPlaneCopy(&list_, green_.get(), 0, 0, nullptr, nullptr, nullptr);
    FlushDrawRecords(list_, nullptr);
    EXPECT_TRUE(list_.GetRecords().empty());
    EXPECT_EQ(list_.GetLayer(), 0);
    EXPECT_EQ(PixelAt(*back_, 0, 0), kRed);
}

TEST_F(DrawListTest, ASourceGoneBeforeTheFlushDrawsNothingInsteadOfReadingFreedMemory) {
    {
        KTL::smart_ptr<CFastPlane> temporary = SolidPlane(4, 4, kGreen);
        DrawPlaneCopy(&list_, temporary.get(), 2, 2, nullptr, nullptr, nullptr);
    }
    DrawPlaneCopy(&list_, red_.get(), 8, 8, nullptr, nullptr, nullptr);
    FlushDrawRecords(list_, back_.get());
    EXPECT_EQ(PixelAt(*back_, 2, 2), kBlack);
    EXPECT_EQ(PixelAt(*back_, 8, 8), kRed);
}

TEST_F(DrawListTest, RecordsKeepTheKindAndCopiedParameter) {
    uint32_t alpha = 128;
    RECT source{0, 0, 2, 2};
    list_.SetLayer(1000);
    DrawPlaneBlendConstKeyed(&list_, red_.get(), 4, 5, alpha, nullptr, &source, nullptr);
    alpha = 7;
    const DrawRecord& record = list_.GetRecords().at(0);
    EXPECT_EQ(record.layer, 1000);
    EXPECT_EQ(record.kind, kBltBlendConstKeyed);
    EXPECT_EQ(record.args->param[0], 128u);
    EXPECT_EQ(record.args->pos.x, 4);
    EXPECT_EQ(record.args->pos.y, 5);
}

TEST(DrawListSubPlaneTest, DrawsNothingAndMakesMoreOfItsKind) {
    CDrawListPlane list;
    KTL::smart_ptr<ISurface> sub = list.CreateInstance();
    ASSERT_TRUE(sub);
    KTL::smart_ptr<CFastPlane> red = SolidPlane(2, 2, kRed);
    EXPECT_EQ(DrawPlaneCopy(sub.get(), red.get(), 0, 0, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(sub->Clear(nullptr), 0);
    EXPECT_EQ(sub->Load("no/such/file.bmp"), 0);
    EXPECT_TRUE(dynamic_cast<CDrawListSubPlane*>(sub->CreateInstance().get()));
    EXPECT_TRUE(list.GetRecords().empty());
    EXPECT_EQ(DrawPlaneCopy(nullptr, red.get(), 0, 0, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(DrawPlaneCopy(&list, nullptr, 0, 0, nullptr, nullptr, nullptr), 1);
}

} // namespace
