// fs.cpp -- POSIX files with case-insensitive lookup and atomic replace.
#include "platform/fs.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/log.h"
#include "platform/text.h"

namespace platform {

namespace {

// '\' read as '/'. In CP932 text '\' can be the second byte of a character (0x95 0x5C), which
// is stepped over; text that is valid UTF-8 (the program's own literals) has no such bytes.
std::string ForwardSlashes(std::string path) {
    if (IsValidUtf8(path)) {
        std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    }
    for (size_t i = 0; i < path.size(); i += Cp932CharLength(path, i))
        if (path[i] == '\\') path[i] = '/';
    return path;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& base, const std::string& name) {
    if (base.empty()) return name;
    return base.back() == '/' ? base + name : base + "/" + name;
}

std::string FoldCp932(std::string s) {
    Cp932ToLowerAscii(s.data(), s.size());
    return s;
}

std::string FoldAscii(std::string s) {
    for (char& c : s) c = ToLowerAscii(c);
    return s;
}

// True when the disk entry is the wanted component spelled in another case (or, for a CP932
// name, in UTF-8).
bool SameName(const std::string& entry, const std::string& wanted) {
    if (FoldCp932(entry) == FoldCp932(wanted) || FoldAscii(entry) == FoldAscii(wanted)) return true;
    bool has_high = std::any_of(wanted.begin(), wanted.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return has_high && FoldAscii(entry) == FoldAscii(Cp932ToUtf8(wanted));
}

// The entry of folder that matches name (the smallest when several do); "" when none.
std::string FindInFolder(const std::string& folder, const std::string& name) {
    std::error_code error;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error);
    std::string best;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (SameName(entry, name) && (best.empty() || entry < best)) best = entry;
    }
    return best;
}

// Writes all of size bytes, riding over short writes and signals.
bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The temporary of an atomic write: "<folder>/.<name>.<pid>.<counter>.<stamp>".
std::string SiblingName(const std::string& folder, const std::string& name, uint32_t counter, uint64_t stamp) {
    return Join(folder, "." + name + "." + std::to_string(getpid()) + "." + std::to_string(counter) + "." +
                            std::to_string(stamp % 100000));
}

// The process id in the name of a temporary of one of the named files
// (".<name>.<pid>.<counter>.<stamp>", the name in any ASCII case); 0 for any other entry.
pid_t SiblingWriter(const std::string& entry, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        const size_t start = name.size() + 2;
        if (entry.size() <= start || entry[0] != '.' || entry[start - 1] != '.' ||
            FoldAscii(entry.substr(1, name.size())) != FoldAscii(name))
            continue;
        // The process id, the counter and the stamp: three fields of digits.
        std::vector<std::string> fields;
        for (size_t at = start, dot; at <= entry.size(); at = dot + 1) {
            dot = std::min(entry.find('.', at), entry.size());
            fields.push_back(entry.substr(at, dot - at));
        }
        const auto digits = [](const std::string& field) {
            return !field.empty() && field.size() <= 10 && field.find_first_not_of("0123456789") == std::string::npos;
        };
        if (fields.size() != 3 || !std::all_of(fields.begin(), fields.end(), digits)) continue;
        const long long pid = std::stoll(fields[0]);
        return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
    }
    return 0;
}

// Creates a new file "<folder>/.<name>.<unique>" with mode 0666 less the umask.
int CreateSibling(const std::string& target, std::string& temporary) {
    static std::atomic<uint32_t> counter{0};
    std::filesystem::path path(target);
    std::string folder = path.parent_path().string();
    std::string name = path.filename().string();
    for (int attempt = 0; attempt < 100; ++attempt) {
        uint64_t stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        temporary = SiblingName(folder, name, counter.fetch_add(1), stamp);
        int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

void LogRefused(const std::string& path, const std::string& why) { LogWrite("file: " + path + " " + why + "; not read"); }

std::string ReadLimitText() { return "the read limit of " + std::to_string(kMaxReadSize >> 20) + " MiB"; }

// Opens a regular file with access (O_RDONLY or O_RDWR): the descriptor and its size, or -1
// when it cannot be opened or is a folder. A FIFO, a device or a socket may never end or may
// block: refused with a log text. The open itself does not wait for a FIFO's writer; the
// descriptor handed back blocks as usual.
int OpenRegularFile(const std::string& path, int access, off_t& size) {
    int fd = ::open(ResolvePath(path).c_str(), access | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st;
    const bool known = ::fstat(fd, &st) == 0;
    if (!known || !S_ISREG(st.st_mode)) {
        if (known && !S_ISDIR(st.st_mode)) LogRefused(path, "is not a regular file");
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
        ::close(fd);
        return -1;
    }
    size = st.st_size;
    return fd;
}

} // namespace

std::string FullName(const std::string& path) {
    std::filesystem::path p(ForwardSlashes(path));
    std::error_code error;
    if (p.is_relative()) {
        std::filesystem::path cwd = std::filesystem::current_path(error);
        if (!error) p = cwd / p;
    }
    std::string full = p.lexically_normal().string();
    if (full.size() > 1 && full.back() == '/') full.pop_back();
    return full;
}

std::string ResolvePath(const std::string& path) {
    std::string wanted = ForwardSlashes(path);
    // The system takes no longer path, and the walk below would cost the square of its length.
    if (wanted.size() >= PATH_MAX) {
        LogWrite("file: a path of " + std::to_string(wanted.size()) + " bytes is longer than the system's limit of " +
                 std::to_string(PATH_MAX - 1) + "; not looked up: " + wanted.substr(0, 64) + "...");
        return wanted;
    }
    if (wanted.empty() || Exists(wanted)) return wanted;

    std::string resolved = wanted[0] == '/' ? "/" : "";
    bool missing = false;   // once a component is missing, the rest is kept as given
    size_t start = 0;
    while (start < wanted.size()) {
        size_t end = wanted.find('/', start);
        if (end == std::string::npos) end = wanted.size();
        std::string component = wanted.substr(start, end - start);
        start = end + 1;
        if (component.empty()) continue;
        std::string candidate = Join(resolved, component);
        if (missing || component == "." || component == ".." || Exists(candidate)) {
            missing = missing || !Exists(candidate);
            resolved = candidate;
            continue;
        }
        std::string found = FindInFolder(resolved, component);
        if (found.empty()) {
            missing = true;
            resolved = candidate;
        } else {
            resolved = Join(resolved, found);
        }
    }
    if (wanted.back() == '/' && !resolved.empty() && resolved.back() != '/') resolved += '/';
    return resolved;
}

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(ResolvePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool IsDirectory(const std::string& path) {
    struct stat st;
    return ::stat(ResolvePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDirectories(const std::string& path) {
    std::string resolved = ResolvePath(path);
    std::error_code error;
    std::filesystem::create_directories(resolved, error);
    return std::filesystem::is_directory(resolved, error);
}

bool RemoveFile(const std::string& path) { return ::unlink(ResolvePath(path).c_str()) == 0; }

FILE* OpenFile(const std::string& path, const char* mode) {
    if (!mode) return nullptr;
    if (mode[0] != 'r') return std::fopen(ResolvePath(path).c_str(), mode);
    off_t size = 0;
    const int fd = OpenRegularFile(path, std::strchr(mode, '+') ? O_RDWR : O_RDONLY, size);
    if (fd < 0) return nullptr;
    FILE* file = ::fdopen(fd, mode);
    if (!file) ::close(fd);
    return file;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& data) {
    data.clear();
    off_t size = 0;
    int fd = OpenRegularFile(path, O_RDONLY, size);
    if (fd < 0) return false;
    if (static_cast<uint64_t>(size) > kMaxReadSize) {
        LogRefused(path, "is larger than " + ReadLimitText());
        ::close(fd);
        return false;
    }
    // Read to the end rather than trust the size: the file may change while we read.
    data.reserve(static_cast<size_t>(size));
    uint8_t chunk[65536];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) break;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || data.size() + static_cast<size_t>(n) > kMaxReadSize) {
            if (n > 0) LogRefused(path, "grew past " + ReadLimitText());
            ::close(fd);
            data.clear();
            return false;
        }
        data.insert(data.end(), chunk, chunk + n);
    }
    ::close(fd);
    return true;
}

long ReadFileHead(const std::string& path, void* buffer, size_t size) {
    off_t file_size = 0;
    int fd = OpenRegularFile(path, O_RDONLY, file_size);
    if (fd < 0) return -1;
    size_t got = 0;
    while (got < size) {
        ssize_t n = ::read(fd, static_cast<uint8_t*>(buffer) + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    return static_cast<long>(got);
}

int WriteFileAtomic(const std::string& path, const void* data, size_t size) {
    if (path.empty() || (!data && size > 0)) return 1;
    std::string target = ResolvePath(path);
    if (target.back() == '/') return 1;

    std::string temporary;
    int fd = CreateSibling(target, temporary);
    if (fd < 0) return 1;
    // A replaced file keeps its permissions.
    struct stat old;
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);

    int result = 0;
    if (!WriteAll(fd, static_cast<const uint8_t*>(data), size)) {
        result = 2;
    } else if (::fsync(fd) != 0) {
        result = 3;
    }
    if (::close(fd) != 0 && result == 0) result = 3;
    if (result == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) result = 4;
    if (result != 0) {
        ::unlink(temporary.c_str());
        return result;
    }
    // Make the rename itself durable (best effort: some file systems refuse).
    std::string folder = std::filesystem::path(target).parent_path().string();
    int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

bool IsMissing(const std::string& path) {
    struct stat st;
    return ::stat(ResolvePath(path).c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

int RemoveStaleTemporaries(const std::string& folder, const std::vector<std::string>& names) {
    std::error_code error;
    std::filesystem::directory_iterator it(ResolvePath(folder), error);
    int removed = 0;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const pid_t writer = SiblingWriter(it->path().filename().string(), names);
        // Left by this process, or by one that is gone: a live writer's file is its own.
        const bool stale = writer == getpid() || (writer > 0 && ::kill(writer, 0) != 0 && errno == ESRCH);
        std::error_code kind_error;
        if (stale && it->is_regular_file(kind_error) && ::unlink(it->path().c_str()) == 0) ++removed;
    }
    return removed;
}

std::string MakeTemporaryFile(const std::string& prefix, const std::string& suffix) {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) folder = "/tmp";
    std::string safe_prefix = prefix, safe_suffix = suffix;
    std::replace(safe_prefix.begin(), safe_prefix.end(), '/', '_');
    std::replace(safe_suffix.begin(), safe_suffix.end(), '/', '_');
    std::string pattern = (folder / (safe_prefix + "XXXXXX" + safe_suffix)).string();
    int fd = ::mkstemps(pattern.data(), static_cast<int>(safe_suffix.size()));
    if (fd < 0) return "";
    ::close(fd);
    return pattern;
}

std::string ProgramDirectory() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return FullName(".");
    return exe.parent_path().string();
}

} // namespace platform
