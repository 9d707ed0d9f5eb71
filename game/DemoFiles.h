// DemoFiles.h -- what the animated screens read from their keyword files: a numbered list of
// pictures filled in file order, and movers given by #ObjectData lines.
#pragma once

#include <string>
#include <vector>

#include "game/ScreenEffect.h"
#include "sdk/ktl/smart_ptr.h"

namespace zuderadeDoruVAV3ed {

class CFastPlane;
class CStringScanner;

// Counts read from a file are cut to this (a broken file must not ask for unbounded memory).
constexpr int kMaxDemoEntries = 256;

class CPictureList {
public:
    // A fresh list of count empty planes (count cut to 0 .. kMaxDemoEntries).
    void Create(int count);
    // Loads the next picture; one past the list's size is logged and skipped.
    void LoadNext(const std::string& file, const char* caller);
    // The picture of a number; null outside the list.
    CFastPlane* Get(int index) const;
    int GetCount() const { return static_cast<int>(planes_.size()); }

private:
    std::vector<KTL::smart_ptr<CFastPlane>> planes_;
    size_t next_ = 0;
};

// Reads a count after a keyword and cuts it to 0 .. kMaxDemoEntries (logged when cut).
int ReadDemoCount(CStringScanner& scanner, const char* caller);

// A mover demo's file: #MaxImageFile, #ImageFileName, #MaxInstance, #ObjectData (18 values:
// start x, y, target x, y, start w, h, target w, h, rate, alpha speed, start alpha, target alpha,
// source left, top, right, bottom, draw mode, picture number). Each mover gets its start record,
// its picture (none when the number is outside the list) and stays inactive. #ObjectData lines
// beyond #MaxInstance are logged and skipped. 0; 1 when the file cannot be read (logged).
int LoadMoverDemo(const std::string& file, const char* caller, CPictureList& pictures, std::vector<CMover>& movers);

} // namespace zuderadeDoruVAV3ed
