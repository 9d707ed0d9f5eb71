// riff.cpp -- the RIFF chunk walker.
#include "platform/riff.h"

#include <algorithm>
#include <cstring>

#include "platform/fs.h"

namespace platform {

bool RiffWalker::OpenFile(const std::string& path) {
    Close();
    file_ = platform::OpenFile(path, "rb");
    if (!file_) return false;
    if (std::fseek(file_, 0, SEEK_END) != 0) {
        Close();
        return false;
    }
    long size = std::ftell(file_);
    if (size < 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
        Close();
        return false;
    }
    size_ = static_cast<uint64_t>(size);
    return true;
}

bool RiffWalker::OpenMemory(const uint8_t* data, size_t size) {
    Close();
    if (!data) return false;
    data_ = data;
    size_ = size;
    return true;
}

void RiffWalker::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    data_ = nullptr;
    size_ = 0;
    position_ = 0;
}

size_t RiffWalker::Read(void* buffer, size_t bytes) {
    if (!IsOpen() || position_ >= size_) return 0;
    size_t n = static_cast<size_t>(std::min<uint64_t>(bytes, size_ - position_));
    if (data_) {
        std::memcpy(buffer, data_ + position_, n);
    } else {
        if (std::fseek(file_, static_cast<long>(position_), SEEK_SET) != 0) return 0;
        n = std::fread(buffer, 1, n, file_);
    }
    position_ += n;
    return n;
}

bool RiffWalker::Seek(uint64_t offset) {
    if (!IsOpen() || offset > size_) return false;
    position_ = offset;
    return true;
}

bool RiffWalker::ReadHeader(uint32_t* id, uint32_t* size) {
    uint8_t header[8];
    if (Read(header, 8) != 8) return false;
    std::memcpy(id, header, 4);
    std::memcpy(size, header + 4, 4);
    return true;
}

bool RiffWalker::DescendRiff(uint32_t form, RiffChunk* chunk) {
    RiffChunk file_level;
    file_level.data_offset = 0;
    file_level.size = static_cast<uint32_t>(std::min<uint64_t>(size_, 0xFFFFFFFFu));
    while (true) {
        RiffChunk found;
        if (!DescendChunk(FourCC("RIFF"), &file_level, &found)) return false;
        uint32_t type = 0;
        if (found.size >= 4 && Read(&type, 4) == 4 && type == form) {
            found.form = type;
            *chunk = found;
            return true;
        }
        if (!Ascend(found)) return false;
    }
}

bool RiffWalker::DescendChunk(uint32_t id, const RiffChunk* parent, RiffChunk* chunk) {
    if (!IsOpen()) return false;
    uint64_t end = size_;
    if (parent) end = std::min<uint64_t>(end, parent->data_offset + parent->size);
    while (position_ + 8 <= end) {
        uint32_t found_id = 0, found_size = 0;
        if (!ReadHeader(&found_id, &found_size)) return false;
        RiffChunk found;
        found.id = found_id;
        found.data_offset = position_;
        found.size = static_cast<uint32_t>(std::min<uint64_t>(found_size, end - position_));
        if (found_id == id) {
            *chunk = found;
            return true;
        }
        // Past this chunk and its pad byte.
        position_ = std::min<uint64_t>(end, found.data_offset + found_size + (found_size & 1));
    }
    return false;
}

bool RiffWalker::Ascend(const RiffChunk& chunk) {
    if (!IsOpen()) return false;
    position_ = std::min<uint64_t>(size_, chunk.data_offset + chunk.size + (chunk.size & 1));
    return true;
}

} // namespace platform
