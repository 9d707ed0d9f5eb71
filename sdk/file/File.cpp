// File.cpp -- CFile: whole-file images, disk streams, atomic writes, the archive stand-in.
#include "sdk/file/File.h"

#include <cstring>

#include "platform/fs.h"
#include "sdk/base/ErrorLog.h"
#include "sdk/file/PathHelper.h"

namespace zuderadeDoruVAV3ed {

namespace {

// The magics of the archives that stand in for a folder. Their layout and decompressor are
// unknown here, so an archive is recognised and reported, never read.
constexpr const char* kArchiveMagics[] = {"veskpack", "vovoreRa", "duzeziVe"};
constexpr size_t kMagicSize = 8;

// The first folder of path (a prefix ending before a '/') that does not exist; "" when every
// folder exists.
std::string FirstMissingFolder(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        std::string folder = path.substr(0, slash);
        if (!folder.empty() && folder.back() != '/' && !platform::IsDirectory(folder)) return folder;
    }
    return "";
}

// ".ext" for a temporary's name when the extension is plain ASCII, else "".
std::string PlainSuffix(const std::string& name) {
    std::string suffix = PathHelper::GetSuffix(name);
    for (char c : suffix) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!plain) return "";
    }
    return suffix.empty() ? "" : "." + suffix;
}

} // namespace

CFile::~CFile() { Close(); }

int CFile::Read(const std::string& name, const char* mode) {
    Close();
    stream_ = platform::OpenFile(name, mode ? mode : "rb");
    if (!stream_) return 1;
    name_ = name;
    return 0;
}

int CFile::Close() {
    int result = 0;
    if (stream_) {
        // A failing close of a written stream means its data did not all reach the disk.
        if (std::fclose(stream_) != 0) {
            CErrorLog::Out("CFile::Close %sのクローズに失敗", name_.c_str());
            result = 1;
        }
        stream_ = nullptr;
    }
    if (!temporary_.empty()) {
        platform::RemoveFile(temporary_);
        temporary_.clear();
    }
    FreeImage();
    from_archive_ = false;
    name_.clear();
    return result;
}

void CFile::FreeImage() {
    std::vector<uint8_t>().swap(image_);
    has_image_ = false;
    position_ = 0;
}

int CFile::ReadWithArchive(const std::string& name) {
    Close();
    if (platform::ReadWholeFile(name, image_)) {
        has_image_ = true;
        name_ = name;
        return 0;
    }
    return ReadFromArchive(name);
}

int CFile::ReadFromArchive(const std::string& name) {
    std::string folder = FirstMissingFolder(platform::ResolvePath(name));
    if (folder.empty()) return 1;
    std::string archive = folder + ".dat";
    char magic[kMagicSize] = {};
    long got = platform::ReadFileHead(archive, magic, kMagicSize);
    if (got < 0) return 1;   // no archive either
    for (const char* known : kArchiveMagics) {
        if (got == static_cast<long>(kMagicSize) && std::memcmp(magic, known, kMagicSize) == 0) {
            CErrorLog::Out("CFile::ReadWithArchive アーカイブ%s(%s形式)の読み込みには対応していない - %s",
                           archive.c_str(), known, name.c_str());
            return 2;
        }
    }
    CErrorLog::Out("CFile::ReadWithArchive %sはアーカイブではない - %s", archive.c_str(), name.c_str());
    return 2;
}

int CFile::ReadTextLine(std::string& line) {
    if (!has_image_) return 3;
    if (position_ >= image_.size()) return 1;
    const uint8_t* begin = image_.data() + position_;
    size_t left = image_.size() - position_;
    const void* newline = std::memchr(begin, '\n', left);
    size_t length = newline ? static_cast<size_t>(static_cast<const uint8_t*>(newline) - begin) : left;
    position_ += newline ? length + 1 : length;
    if (length > 0 && begin[length - 1] == '\r') --length;
    line.assign(reinterpret_cast<const char*>(begin), length);
    return 0;
}

int CFile::ReadBytes(void* buffer, size_t n) {
    if (!has_image_) return 2;
    if (n == 0) return 0;
    // Never past the image: a short rest is not copied at all.
    if (!buffer || position_ >= image_.size() || image_.size() - position_ < n) return 1;
    std::memcpy(buffer, image_.data() + position_, n);
    position_ += n;
    return 0;
}

int CFile::Write(const std::string& name, const void* data, size_t size) {
    int result = platform::WriteFileAtomic(name, data, size);
    if (result != 0) CErrorLog::Out("CFile::Write %sの書き込みに失敗(ret=%d)", name.c_str(), result);
    return result;
}

int CFile::CreateTemporary(bool force) {
    if (!has_image_) return 1;
    if (!force && !from_archive_) {
        FreeImage();   // the disk file itself serves by its name
        return 0;
    }
    std::string temporary = platform::MakeTemporaryFile("flyingfish-", PlainSuffix(name_));
    if (temporary.empty()) return 2;
    if (platform::WriteFileAtomic(temporary, image_.data(), image_.size()) != 0) {
        platform::RemoveFile(temporary);
        return 2;
    }
    if (!temporary_.empty()) platform::RemoveFile(temporary_);
    temporary_ = temporary;
    name_ = temporary;
    from_archive_ = false;
    FreeImage();
    return 0;
}

std::string CFile::MakeFullName(const std::string& name) {
    return platform::FullName(platform::ResolvePath(name));
}

} // namespace zuderadeDoruVAV3ed
