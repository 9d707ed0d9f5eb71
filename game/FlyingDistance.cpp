// FlyingDistance.cpp -- leap tracking, the best-leap list and their texts.
#include "game/FlyingDistance.h"

#include <algorithm>
#include <cstdlib>

#include "game/BitmapFont.h"
#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/GameObjectRegistry.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {

constexpr int kTextLayer = 1000;
constexpr int kEntryFont = 0;
constexpr int kLeapFont = 1;
constexpr int kMaxMeterShift = 20;
constexpr char kBlank = 0x7F;   // blank in every font

// "0000.00m" with its first three characters blank.
std::string BlankEntryText() { return std::string(3, kBlank) + "0.00m"; }

void PutGlyphDigits(std::string& text, size_t at, int value) {
    text[at] = static_cast<char>('!' + value / 10 % 10);
    text[at + 1] = static_cast<char>('!' + value % 10);
}

} // namespace

void CFlyingDistance::FormatLeap(int32_t length, int meter_shift, std::string& text) {
    const int64_t d = std::max<int64_t>(0, length);
    int64_t metres = (d >> 10) >> meter_shift;
    int hundredths = static_cast<int>((((d >> meter_shift) & 0x3FF) * 100) >> 10);
    if (metres > 9999) {
        metres = 9999;
        hundredths = 99;
    }
    const int h = static_cast<int>(metres / 100), rest = static_cast<int>(metres - 100 * h);
    text = "!!!!+!!,";
    PutGlyphDigits(text, 0, h);
    PutGlyphDigits(text, 2, rest);
    PutGlyphDigits(text, 5, hundredths);
}

void CFlyingDistance::Load(const std::string& file) {
    text_ = "0000.00m";
    text_x_ = text_y_ = hi_x_ = hi_y_ = hi_dx_ = hi_dy_ = 0;
    meter_shift_ = draw_count_ = 0;
    entries_.clear();
    std::vector<std::string> lines;
    if (ReadDataLines(file, "CFlyingDistance::Load", lines)) {
        CStringScanner scanner;
        for (const std::string& line : lines) {
            scanner.SetText(line);
            if (scanner.IsMatch("#FlyingDistancePos")) {
                ReadScreenPoint(scanner, text_x_, text_y_, "CFlyingDistance::Load", "#FlyingDistancePos");
            } else if (scanner.IsMatch("#FlyingDistanceMeterPixel")) {
                scanner.GetNum(meter_shift_);
                meter_shift_ = std::clamp(meter_shift_, 0, kMaxMeterShift);
            } else if (scanner.IsMatch("#FlyingDistanceDrawCount")) {
                scanner.GetNum(draw_count_);
            } else if (scanner.IsMatch("#FlyingDistanceHiDrawCount")) {
                int count = 0;
                scanner.GetNum(count);
                entries_.assign(static_cast<size_t>(std::clamp(count, 0, kMaxEntries)), Entry());
            } else if (scanner.IsMatch("#FlyingDistanceHiPos")) {
                ReadScreenPoint(scanner, hi_x_, hi_y_, "CFlyingDistance::Load", "#FlyingDistanceHiPos");
            } else if (scanner.IsMatch("#FlyingDistanceNextHiPos")) {
                ReadScreenPoint(scanner, hi_dx_, hi_dy_, "CFlyingDistance::Load", "#FlyingDistanceNextHiPos");
                for (size_t i = 0; i < entries_.size(); ++i) {
                    entries_[i].x = hi_x_ + static_cast<int32_t>(i) * hi_dx_;
                    entries_[i].y = hi_y_ + static_cast<int32_t>(i) * hi_dy_;
                }
                break;
            }
        }
    }
    Reset();
}

void CFlyingDistance::Reset() {
    x_ = y_ = take_off_x_ = take_off_y_ = air_x_ = air_y_ = 0;
    side_ = 0;
    take_off_valid_ = false;
    phase_ = kUnderWater;
    for (Entry& entry : entries_) {
        entry.text = BlankEntryText();
        entry.value = 0;
    }
}

void CFlyingDistance::Track(int32_t x, int32_t y) {
    if (y > 0 && side_ > 0) {
        air_x_ = x;
        air_y_ = y;
        phase_ = kInAir;
    } else if (y < 0 && side_ < 0) {
        phase_ = kUnderWater;
    } else if (y > 0 && side_ < 0) {
        // Leaving the water: the take-off is also the first point in the air, so a leap of one
        // frame measures 0 rather than the last leap's end.
        take_off_x_ = air_x_ = x;
        take_off_y_ = air_y_ = y;
        take_off_valid_ = true;
        phase_ = kTakeOff;
    } else if (y < 0 && side_ > 0) {
        phase_ = kSplashDown;
        InsertJump();
    }
    x_ = x;
    y_ = y;
    if (y != 0) side_ = y > 0 ? 1 : -1;
}

int32_t CFlyingDistance::GetLeap() const {
    return static_cast<int32_t>(std::min<int64_t>(std::llabs(static_cast<int64_t>(air_x_) - take_off_x_), INT32_MAX));
}

void CFlyingDistance::InsertJump() {
    if (!take_off_valid_) return;
    take_off_valid_ = false;
    const int32_t d = GetLeap();
    const auto k = std::find_if(entries_.begin(), entries_.end(), [d](const Entry& e) { return e.value < d; });
    if (k == entries_.end()) return;
    // Entries from k move down one place; the last falls out. Positions stay with their places.
    for (auto it = entries_.end() - 1; it != k; --it) {
        it->value = (it - 1)->value;
        it->text = (it - 1)->text;
    }
    std::string glyphs;
    FormatLeap(d, meter_shift_, glyphs);
    k->value = d;
    k->text = "00000000";
    MapTextToDigitGlyphs(glyphs, k->text);
}

void CFlyingDistance::Draw() {
    CGameObjectRegistry* registry = CGameObjectRegistry::GetInstance();
    CBitmapFontSet* fonts = registry->GetFontSet();
    CDrawListPlane* deferred = registry->GetDrawListPlane();
    if (!fonts || !deferred) return;
    for (const Entry& entry : entries_) fonts->Draw(kEntryFont, entry.text, kTextLayer, entry.x, entry.y, deferred);
    if (phase_ != kInAir) return;
    FormatLeap(GetLeap(), meter_shift_, text_);
    if (fonts->GetCount() >= 2) fonts->Draw(kLeapFont, text_, kTextLayer, text_x_, text_y_, deferred);
}

} // namespace zuderadeDoruVAV3ed
