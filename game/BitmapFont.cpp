// BitmapFont.cpp -- loading and drawing the bitmap fonts, and the number texts.
#include "game/BitmapFont.h"

#include <algorithm>
#include <cctype>

#include "game/DataFiles.h"
#include "game/DrawListPlane.h"
#include "game/GameObject.h"
#include "game/GameObjectRegistry.h"
#include "game/StageData.h"
#include "sdk/app/Rand.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/draw/TrigTable.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

namespace {

constexpr char kFirstGlyph = 0x21;       // '!'
constexpr char kLastPlainGlyph = 0x7D;   // '}'
constexpr char kLastBlurGlyph = 0x2D;    // '-'
constexpr int kLeadingZeros = 3;

// "#Font<index>" exactly: the keyword followed by that number and no further digit.
bool MatchFontLine(CStringScanner& scanner, int index) {
    if (!scanner.IsMatch("#Font")) return false;
    std::string_view rest = scanner.GetRest();
    const std::string digits = std::to_string(index);
    if (rest.substr(0, digits.size()) != digits) return false;
    if (rest.size() > digits.size() && std::isdigit(static_cast<unsigned char>(rest[digits.size()]))) return false;
    scanner.SetText(rest.substr(digits.size()));
    return true;
}

void PutTwoDigits(std::string& target, size_t at, int value) {
    target[at] = static_cast<char>('0' + value / 10 % 10);
    target[at + 1] = static_cast<char>('0' + value % 10);
}

// Up to three leading '0' become '~'; the count replaced.
int BlankLeadingZeros(std::string& target) {
    int replaced = 0;
    while (replaced < kLeadingZeros && replaced < static_cast<int>(target.size()) && target[replaced] == '0')
        target[replaced++] = '~';
    return replaced;
}


} // namespace

CBitmapFontBase::CBitmapFontBase() = default;
CBitmapFontBase::~CBitmapFontBase() = default;

void CBitmapFontBase::Create(int index, const std::string& file) {
    index_ = index;
    loaded_ = false;
    text_.assign(kMaxText, '\0');
    picture_.reset(new CFastPlane());
    picture_->SetSystemMemoryFlag(true);
    Load(file);
}

int CBitmapFontBase::ReadSection(const std::string& file, bool plain, int* radius) {
    std::vector<std::string> lines;
    if (!ReadDataLines(file, "CBitmapFont::Load", lines)) return 1;
    std::string picture;
    CStringScanner scanner;
    for (const std::string& line : lines) {
        scanner.SetText(line);
        if (scanner.IsMatch("//")) continue;
        if (scanner.IsMatch("#FontType")) continue;   // before its prefix "#Font"
        if (MatchFontLine(scanner, index_)) {
            loaded_ = true;
            scanner.GetStr(picture);
        } else if (!loaded_) {
            continue;
        } else if (scanner.IsMatch("#TextSize")) {
            ReadScreenPoint(scanner, cell_width_, cell_height_, "CBitmapFont::Load", "#TextSize");
        } else if (scanner.IsMatch("#TextCount")) {
            scanner.GetNum(columns_);
            scanner.GetNum(rows_);
            if (plain) break;
        } else if (radius && scanner.IsMatch("#BlurringRadius")) {
            ReadNumberIn(scanner, *radius, -kMaxScreenPixels, kMaxScreenPixels, "CBitmapFont::Load", "#BlurringRadius");
        }
    }
    if (!loaded_) {
        ReportDataFailure("CBitmapFont::Load", file, ("#Font" + std::to_string(index_) + "がない").c_str());
        return 1;
    }
    if (cell_width_ <= 0 || cell_height_ <= 0 || columns_ <= 0 || rows_ <= 0)
        ReportDataFailure("CBitmapFont::Load", file, ("#Font" + std::to_string(index_) + "の升目が空").c_str());
    if (picture_->Load(picture) != 0) {
        ReportDataFailure("CBitmapFont::Load", picture, "画像が読めない");
        return 1;
    }
    return 0;
}

void CBitmapFontBase::DrawCell(ISurface* dest, int x, int y, uint32_t alpha) {
    DrawPlaneBlendConstKeyed(dest, picture_.get(), x, y, alpha, nullptr, &glyph_, nullptr);
}

int CBitmapFont::Load(const std::string& file) { return ReadSection(file, true, nullptr); }

void CBitmapFont::Draw(std::string_view text, int layer, int x, int y, ISurface* dest, uint32_t alpha) {
    if (!dest || !HasCells() || columns_ <= 0) return;
    if (auto* deferred = dynamic_cast<CDrawListPlane*>(dest)) deferred->SetLayer(layer);
    text_.assign(text.substr(0, kMaxText));
    for (size_t i = 0; i < text_.size(); ++i) {
        const char c = text_[i];
        if (c < kFirstGlyph || c > kLastPlainGlyph) continue;
        const int g = c - kFirstGlyph;
        glyph_.left = g % columns_ * cell_width_;
        glyph_.top = g / columns_ * cell_height_;
        glyph_.right = glyph_.left + cell_width_;
        glyph_.bottom = glyph_.top + cell_height_;
        DrawCell(dest, x + static_cast<int>(i) * cell_width_, y, alpha);
    }
}

int CBlurBitmapFont::Load(const std::string& file) { return ReadSection(file, false, &radius_); }

void CBlurBitmapFont::Draw(std::string_view text, int layer, int x, int y, ISurface* dest, uint32_t alpha) {
    if (!dest || !HasCells()) return;
    if (auto* deferred = dynamic_cast<CDrawListPlane*>(dest)) deferred->SetLayer(layer);
    CGameObjectRegistry* registry = CGameObjectRegistry::GetInstance();
    CRand* random = registry->GetRandom();
    const CTrigTable& trig = registry->GetTrigTable() ? *registry->GetTrigTable() : CTrigTable::Get();
    text_.assign(text.substr(0, kMaxText));
    bool all_zero = true;   // every character so far is the digit 0
    for (size_t i = 0; i < text_.size(); ++i) {
        const char c = text_[i];
        const bool zero = c == kFirstGlyph;
        const bool leading = zero && all_zero && i < static_cast<size_t>(kLeadingZeros);
        all_zero = all_zero && zero;
        if (c < kFirstGlyph || c > kLastBlurGlyph || leading) continue;
        const int g = c - kFirstGlyph;
        glyph_ = RECT{0, g * cell_height_, cell_width_, g * cell_height_ + cell_height_};
        int dx = 0, dy = 0;
        if (random) {
            const int k = static_cast<int>(random->Get() % 511u);
            dx = static_cast<int>((static_cast<int64_t>(trig.Cos(k)) * radius_) >> 16);
            dy = static_cast<int>((static_cast<int64_t>(trig.Cos((k - 128) & 511)) * radius_) >> 16);
        }
        DrawCell(dest, x + static_cast<int>(i) * cell_width_ + dx, y + dy, alpha);
    }
}

void CBitmapFontSet::Load(const std::string& file) {
    fonts_.clear();
    std::vector<std::string> lines;
    if (!ReadDataLines(file, "CBitmapFontSet::Load", lines)) return;
    int count = 0;
    std::vector<int> types;
    CStringScanner scanner;
    for (const std::string& line : lines) {
        scanner.SetText(line);
        if (scanner.IsMatch("//")) continue;
        if (scanner.IsMatch("#LoadBitmapCount")) {
            scanner.GetNum(count);
            count = std::clamp(count, 0, 64);
        } else if (scanner.IsMatch("#FontType")) {
            for (int i = 0, type = 0; i < count && scanner.GetNum(type) == 0; ++i) types.push_back(type);
            break;
        }
    }
    fonts_.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int type = i < static_cast<int>(types.size()) ? types[static_cast<size_t>(i)] : -1;
        if (type == 0) {
            fonts_[i].reset(new CBitmapFont());
        } else if (type == 1) {
            fonts_[i].reset(new CBlurBitmapFont());
        } else {
            ReportDataFailure("CBitmapFontSet::Load", file, ("フォント" + std::to_string(i) + "の種類が不明").c_str());
            continue;
        }
        fonts_[i]->Create(i, file);
    }
}

CBitmapFontBase* CBitmapFontSet::GetFont(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return fonts_[static_cast<size_t>(index)].get();
}

void CBitmapFontSet::Draw(int index, std::string_view text, int layer, int x, int y, ISurface* dest, uint32_t alpha) {
    if (CBitmapFontBase* font = GetFont(index)) font->Draw(text, layer, x, y, dest, alpha);
}

int MapTextToDigitGlyphs(std::string_view source, std::string& target) {
    const size_t n = std::min(source.size(), target.size());
    for (size_t i = 0; i < n; ++i) {
        const char c = source[i];
        if (c >= '!' && c <= '*') target[i] = static_cast<char>('0' + (c - '!'));
        else if (c == '+') target[i] = '.';
        else if (c == ',') target[i] = 'm';
    }
    return BlankLeadingZeros(target);
}

void FormatDistance(int32_t value, std::string& target) {
    value = std::clamp(value, 0, kMaxShownDistance);
    const int m = static_cast<int16_t>(value >> 16);
    const int hundreds = m / 100, rest = m - 100 * hundreds;
    const int f = ((value >> 6) & 0x3FF) * 100 >> 10;
    target = "0000.00m";
    PutTwoDigits(target, 0, hundreds);
    PutTwoDigits(target, 2, rest);
    PutTwoDigits(target, 5, f);
    BlankLeadingZeros(target);
}

void FormatTime(std::string& target, int32_t time) {
    time = std::clamp(time, 0, kMaxShownTime);
    const int minutes = time / 6000;
    const int seconds = (time - 6000 * minutes) / 100;
    const int hundredths = time % 100;
    target = "TIME   :  :  ";
    PutTwoDigits(target, 5, minutes);
    PutTwoDigits(target, 8, seconds);
    PutTwoDigits(target, 11, hundredths);
}

} // namespace zuderadeDoruVAV3ed
