// DemoFiles.cpp -- mover demos read from keyword files.
#include "game/DemoFiles.h"

#include <utility>

#include "game/DataFiles.h"
#include "game/GameObject.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

int LoadMoverDemo(const std::string& file, const char* caller, CDemoPictures& pictures, std::vector<CMover>& movers,
                  std::vector<uint8_t>* complete) {
    pictures.Clear();
    movers.clear();
    std::vector<uint8_t> whole;
    size_t next_mover = 0;
    const bool read = ReadKeywordFile(file, caller, [&](CStringScanner& scanner) {
        if (pictures.ReadLine(scanner, file, caller)) return;
        if (scanner.IsMatch("#MaxInstance")) {
            movers.assign(static_cast<size_t>(ReadDemoCount(scanner, caller)), CMover());
            whole.assign(movers.size(), 0);
            next_mover = 0;
        } else if (scanner.IsMatch("#ObjectData")) {
            if (next_mover >= movers.size()) {
                ReportDataFailure(caller, file, "#MaxInstanceを超える#ObjectData");
                return;
            }
            whole[next_mover] = ReadMoverData(scanner, pictures, movers[next_mover]) ? 1 : 0;
            if (!whole[next_mover]) ReportDataFailure(caller, file, "#ObjectDataの値が足りない");
            ++next_mover;
        }
    });
    if (complete) *complete = std::move(whole);
    return read ? 0 : 1;
}

} // namespace zuderadeDoruVAV3ed
