// DemoFiles.cpp -- picture lists and mover demos read from keyword files.
#include "game/DemoFiles.h"

#include <algorithm>

#include "game/DataFiles.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/draw/FastPlane.h"
#include "sdk/file/File.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

void CPictureList::Create(int count) {
    planes_.clear();
    next_ = 0;
    for (int i = 0; i < std::clamp(count, 0, kMaxDemoEntries); ++i) {
        KTL::smart_ptr<CFastPlane> plane(new CFastPlane());
        plane->SetSystemMemoryFlag(true);
        planes_.push_back(plane);
    }
}

void CPictureList::LoadNext(const std::string& file, const char* caller) {
    if (next_ >= planes_.size()) {
        CErrorLog::Out("%sで画像%sは数を超えるので読まない", caller, file.c_str());
        return;
    }
    if (planes_[next_]->Load(file) != 0) ReportDataFailure(caller, file, "画像が読めない");
    ++next_;
}

CFastPlane* CPictureList::Get(int index) const {
    return index >= 0 && index < GetCount() ? planes_[index].get() : nullptr;
}

int ReadDemoCount(CStringScanner& scanner, const char* caller) {
    int count = 0;
    scanner.GetNum(count);
    if (count < 0 || count > kMaxDemoEntries) {
        CErrorLog::Out("%sで数%dを0から%dにする", caller, count, kMaxDemoEntries);
        count = std::clamp(count, 0, kMaxDemoEntries);
    }
    return count;
}

namespace {

// The 18 values of an #ObjectData line into a mover; missing values stay 0.
void ReadObjectData(CStringScanner& scanner, CMover& mover, const CPictureList& pictures) {
    int v[8] = {};
    for (int& value : v) scanner.GetNum(value);
    float rate = 0, speed = 0;
    scanner.GetFloat(rate);
    scanner.GetFloat(speed);
    int alpha[2] = {};
    for (int& value : alpha) scanner.GetNum(value);
    int rect[4] = {};
    for (int& value : rect) scanner.GetNum(value);
    int mode = 0, picture = -1;
    scanner.GetNum(mode);
    scanner.GetNum(picture);

    CMover::Start& s = mover.start;
    s.x = v[0] << 10, s.y = v[1] << 10, s.target_x = v[2] << 10, s.target_y = v[3] << 10;
    s.w = v[4] << 10, s.h = v[5] << 10, s.target_w = v[6] << 10, s.target_h = v[7] << 10;
    s.step = static_cast<int32_t>(speed * 1024);
    s.value = std::clamp(alpha[0], 0, 255) << 10;
    s.end_value = std::clamp(alpha[1], 0, 255) << 10;
    mover.rate = static_cast<int32_t>(rate * 1024);
    mover.source_rect = RECT{rect[0], rect[1], rect[2], rect[3]};
    mover.draw_mode = mode;
    mover.plane = pictures.Get(picture);
}

} // namespace

int LoadMoverDemo(const std::string& file, const char* caller, CPictureList& pictures, std::vector<CMover>& movers) {
    pictures.Create(0);
    movers.clear();
    CFile text;
    if (text.ReadWithArchive(file) != 0) {
        ReportDataFailure(caller, file, "読めない");
        return 1;
    }
    std::string line, name;
    CStringScanner scanner;
    size_t next_mover = 0;
    while (text.ReadTextLine(line) == 0) {
        scanner.SetText(line);
        if (scanner.IsMatch("//")) continue;
        if (scanner.IsMatch("#MaxImageFile")) {
            pictures.Create(ReadDemoCount(scanner, caller));
        } else if (scanner.IsMatch("#ImageFileName")) {
            if (scanner.GetStr(name) == 0) pictures.LoadNext(name, caller);
        } else if (scanner.IsMatch("#MaxInstance")) {
            movers.assign(static_cast<size_t>(ReadDemoCount(scanner, caller)), CMover());
            next_mover = 0;
        } else if (scanner.IsMatch("#ObjectData")) {
            if (next_mover >= movers.size()) {
                CErrorLog::Out("%sで#ObjectDataが#MaxInstanceを超える (%s)", caller, file.c_str());
                continue;
            }
            ReadObjectData(scanner, movers[next_mover++], pictures);
        }
    }
    return 0;
}

} // namespace zuderadeDoruVAV3ed
