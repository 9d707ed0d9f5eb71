// StringMap.cpp -- the dictionary and its text file form.
#include "sdk/file/StringMap.h"

#include "sdk/base/ErrorLog.h"
#include "sdk/file/File.h"
#include "sdk/file/StringScanner.h"

namespace zuderadeDoruVAV3ed {

void CStringMap::SetStr(const std::string& key, const std::string& value) { map_[key] = value; }

bool CStringMap::GetStr(const std::string& key, std::string& value) const {
    auto it = map_.find(key);
    if (it == map_.end()) return false;
    value = it->second;
    return true;
}

int CStringMap::Load(const std::string& file_name) {
    CFile file;
    if (file.ReadWithArchive(file_name) != 0) {
        CErrorLog::Out("CStringMap::Load %sが読めない", file_name.c_str());
        return 1;
    }
    CStringScanner scanner;
    std::string line, key, value;
    while (file.ReadTextLine(line) == 0) {
        scanner.SetText(line);
        if (scanner.IsMatch("//")) continue;
        if (scanner.GetStr(key) != 0 || scanner.GetStr(value) != 0) continue;
        map_[key] = value;
    }
    return 0;
}

int CStringMap::Save(const std::string& file_name) const {
    std::string text;
    for (const auto& [key, value] : map_) {
        // Neither a quote nor a line break can stand inside a quoted string of the file form.
        if (key.find_first_of("\"\r\n") != std::string::npos || value.find_first_of("\"\r\n") != std::string::npos) {
            CErrorLog::Out("CStringMap::Save %sに書けない文字を含む項目がある", file_name.c_str());
            return 1;
        }
        text += "\"" + key + "\" \"" + value + "\"\r\n";
    }
    int result = CFile::Write(file_name, text.data(), text.size());
    if (result != 0) CErrorLog::Out("CStringMap::Save %sの書き込みに失敗(ret=%d)", file_name.c_str(), result);
    return result == 0 ? 0 : 2;
}

} // namespace zuderadeDoruVAV3ed
