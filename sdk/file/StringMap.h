// StringMap.h -- CStringMap: a string-to-string dictionary, ordered bytewise, with a text file
// form of one key and value per line.
#pragma once

#include <map>
#include <string>

namespace zuderadeDoruVAV3ed {

class CStringMap {
public:
    using Map = std::map<std::string, std::string>;   // std::less<std::string> compares bytes unsigned

    CStringMap() = default;
    virtual ~CStringMap() = default;

    // Sets (adds or replaces) the value of key.
    void SetStr(const std::string& key, const std::string& value);
    // The value of key into value; false (value unchanged) when there is none.
    bool GetStr(const std::string& key, std::string& value) const;
    bool Has(const std::string& key) const { return map_.count(key) != 0; }
    void Erase(const std::string& key) { map_.erase(key); }
    void Clear() { map_.clear(); }
    size_t GetCount() const { return map_.size(); }

    // Entries in ascending key order.
    Map::const_iterator begin() const { return map_.begin(); }
    Map::const_iterator end() const { return map_.end(); }
    const Map& GetMap() const { return map_; }

    // Text file form: one entry per line, key then value, each a double-quoted or bare string
    // (CStringScanner rules); "//" lines and lines without a value are skipped. Load adds to
    // the entries held (0; non-zero when the file cannot be read). Save writes every entry
    // quoted, atomically (0; non-zero on failure; an entry holding a double quote or a line
    // break cannot be written and makes Save fail without touching the file).
    int Load(const std::string& file_name);
    int Save(const std::string& file_name) const;

private:
    Map map_;
};

} // namespace zuderadeDoruVAV3ed
