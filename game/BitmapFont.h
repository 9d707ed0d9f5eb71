// BitmapFont.h -- bitmap fonts: glyph cells of a picture copied onto the deferred-draw plane,
// the font set built from "GameData/Shared/LoadList/BitmapText.ltd", and the number texts.
//
// A plain font's picture is a grid of the ASCII glyphs '!' to '}' row by row; a blurred font's
// picture is one column of cells ('!' to '*' the digits, '+' the point, ',' the unit mark) drawn
// each frame at a small random offset, so that the text shimmers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sdk/draw/SurfaceInfo.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CFastPlane;
class ISurface;

constexpr const char kBitmapTextFile[] = "GameData/Shared/LoadList/BitmapText.ltd";

class CBitmapFontBase {
public:
    static constexpr int kMaxText = 128;   // characters drawn at most

    CBitmapFontBase();
    virtual ~CBitmapFontBase();
    CBitmapFontBase(const CBitmapFontBase&) = delete;
    CBitmapFontBase& operator=(const CBitmapFontBase&) = delete;

    // Stores the index, makes a new picture plane and loads the font's section of file.
    void Create(int index, const std::string& file = kBitmapTextFile);
    // Reads this font's section and its picture; 0, or 1 when the section or picture is missing.
    virtual int Load(const std::string& file) = 0;
    // Draws text (at most kMaxText characters) with its first cell at (x, y) as keyed
    // constant-alpha blends; on the deferred-draw plane at the given layer.
    virtual void Draw(std::string_view text, int layer, int x, int y, ISurface* dest, uint32_t alpha) = 0;

    int GetIndex() const { return index_; }
    bool IsLoaded() const { return loaded_; }
    int GetCellWidth() const { return cell_width_; }
    int GetCellHeight() const { return cell_height_; }
    int GetColumns() const { return columns_; }
    int GetRows() const { return rows_; }
    CFastPlane* GetPicture() const { return picture_.get(); }

protected:
    // Reads the section of this font: its "#Font<index>" line, then #TextSize, #TextCount and
    // (read_radius) #BlurringRadius; a plain font stops at its first #TextCount.
    int ReadSection(const std::string& file, bool plain, int* radius);
    bool HasCells() const { return cell_width_ > 0 && cell_height_ > 0 && picture_; }
    void DrawCell(ISurface* dest, int x, int y, uint32_t alpha);

    KTL::smart_ptr<CFastPlane> picture_;
    std::string text_;                     // the glyph codes of the text being drawn
    RECT glyph_{};                         // the current glyph rectangle
    int index_ = -1;
    int columns_ = 0, rows_ = 0;
    int cell_width_ = 0, cell_height_ = 0;
    bool loaded_ = false;
};

// The plain font: a grid of ASCII glyphs.
class CBitmapFont : public CBitmapFontBase {
public:
    int Load(const std::string& file) override;
    void Draw(std::string_view text, int layer, int x, int y, ISurface* dest, uint32_t alpha) override;
};

// The blurred font: one column of cells drawn with a random jitter of up to the radius.
class CBlurBitmapFont : public CBitmapFontBase {
public:
    int Load(const std::string& file) override;
    void Draw(std::string_view text, int layer, int x, int y, ISurface* dest, uint32_t alpha) override;
    int GetRadius() const { return radius_; }

private:
    int radius_ = 0;
};

class CBitmapFontSet {
public:
    // Reads #LoadBitmapCount and #FontType, makes the fonts and creates each in index order.
    // A missing file leaves the set empty; an unknown type leaves its index without a font.
    void Load(const std::string& file = kBitmapTextFile);
    int GetCount() const { return static_cast<int>(fonts_.size()); }
    // The font of an index; null outside the set or where none could be made.
    CBitmapFontBase* GetFont(int index) const;
    // Draws with font index; nothing when there is no such font.
    void Draw(int index, std::string_view text, int layer, int x, int y, ISurface* dest, uint32_t alpha = 255);

private:
    std::vector<KTL::smart_ptr<CBitmapFontBase>> fonts_;
};

// '!'..'*' -> '0'..'9', '+' -> '.', ',' -> 'm' at each position of source that target has
// (other characters leave target's), then up to three leading '0' become '~'. The count of
// leading zeros replaced.
int MapTextToDigitGlyphs(std::string_view source, std::string& target);
// The largest distance (16.16 metres) and time (hundredths of a second) the texts can show.
constexpr int32_t kMaxShownDistance = (9999 << 16) | 0xFFFF;
constexpr int32_t kMaxShownTime = 599999;   // 99:59:99

// "0000.00m" of a 16.16 distance in metres, leading zeros as '~'; clamped to 0 .. 9999.99.
void FormatDistance(int32_t value, std::string& target);
// "TIME mm:ss:hh" of hundredths of a second; clamped to 0 .. 99:59:99.
void FormatTime(std::string& target, int32_t time);

} // namespace zuderadeDoruVAV3ed
