// DemoFiles.cpp -- mover demos read from keyword files.
#include "game/DemoFiles.h"

#include "game/DataFiles.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/file/File.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

int LoadMoverDemo(const std::string& file, const char* caller, CDemoPictures& pictures, std::vector<CMover>& movers) {
    pictures.Clear();
    movers.clear();
    CFile text;
    if (text.ReadWithArchive(file) != 0) {
        ReportDataFailure(caller, file, "読めない");
        return 1;
    }
    std::string line;
    CStringScanner scanner;
    size_t next_mover = 0;
    while (text.ReadTextLine(line) == 0) {
        scanner.SetText(line);
        if (scanner.IsMatch("//")) continue;
        if (pictures.ReadLine(scanner, file, caller)) continue;
        if (scanner.IsMatch("#MaxInstance")) {
            movers.assign(static_cast<size_t>(ReadDemoCount(scanner, caller)), CMover());
            next_mover = 0;
        } else if (scanner.IsMatch("#ObjectData")) {
            if (next_mover >= movers.size()) {
                CErrorLog::Out("%sで#ObjectDataが#MaxInstanceを超える (%s)", caller, file.c_str());
                continue;
            }
            if (!ReadMoverData(scanner, pictures, movers[next_mover++]))
                ReportDataFailure(caller, file, "#ObjectDataの値が足りない");
        }
    }
    return 0;
}

} // namespace zuderadeDoruVAV3ed
