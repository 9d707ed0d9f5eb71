// gamedata_glyphs_test.cpp -- the content generator's built-in glyph set.
#include <gtest/gtest.h>

#include <string>

#include "canvas.h"

namespace {

// Lower-case letters without an ascender start at the x-height (row 2), so that a g does not
// stand as tall as a 9 and read as one.
TEST(GamedataGlyphsTest, LowerCaseLettersWithoutAscendersStartAtTheXHeight) {
    for (char c : std::string("acegmnopqrsuvwxyz"))
        EXPECT_EQ(gamedata::GlyphRow(c, 0) | gamedata::GlyphRow(c, 1), 0) << c;
}

} // namespace
