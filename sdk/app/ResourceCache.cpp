// ResourceCache.cpp -- reading the list file of a resource cache.
#include "sdk/app/ResourceCache.h"

#include "sdk/base/ErrorLog.h"
#include "sdk/file/File.h"

namespace zuderadeDoruVAV3ed {

int ReadResourceList(const std::string& list_file, std::vector<std::string>& names) {
    names.clear();
    CFile file;
    if (file.ReadWithArchive(list_file) != 0) {
        CErrorLog::Out("CResourceCache::Loadに失敗 (%s が読めない)", list_file.c_str());
        return 1;
    }
    std::string line;
    while (file.ReadTextLine(line) == 0) {
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos) continue;
        size_t last = line.find_last_not_of(" \t");
        std::string name = line.substr(first, last - first + 1);
        if (name.compare(0, 2, "//") == 0) continue;
        names.push_back(std::move(name));
    }
    return 0;
}

void LogResourceOutOfRange(int n, size_t count) {
    CErrorLog::Out("CResourceCache::Getに失敗 (%d 番は無い。項目は %zu 個)", n, count);
}

} // namespace zuderadeDoruVAV3ed
