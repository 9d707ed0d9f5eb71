// riff.h -- a walker over the chunks of a RIFF file, on disk or in a memory image.
//
// Chunk sizes are clamped to the bytes present, so a truncated file gives a shorter chunk, never
// a read past its end. The walker only reads: it never writes into a memory image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace platform {

constexpr uint32_t FourCC(const char (&code)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(code[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24;
}

struct RiffChunk {
    uint32_t id = 0;
    uint32_t size = 0;       // data bytes (for "RIFF", the form type included), clamped to the file
    uint32_t form = 0;       // form type of a "RIFF" chunk
    uint64_t data_offset = 0;   // first data byte (for "RIFF", the form type)
};

class RiffWalker {
public:
    RiffWalker() = default;
    ~RiffWalker() { Close(); }
    RiffWalker(const RiffWalker&) = delete;
    RiffWalker& operator=(const RiffWalker&) = delete;

    bool OpenFile(const std::string& path);
    bool OpenMemory(const uint8_t* data, size_t size);
    void Close();
    bool IsOpen() const { return file_ || data_; }

    // From the current position to the end of the file: the next "RIFF" chunk of this form type;
    // the position then lies after its form type.
    bool DescendRiff(uint32_t form, RiffChunk* chunk);
    // From the current position to the end of parent (or of the file): the next chunk of this id;
    // the position then lies at its first data byte.
    bool DescendChunk(uint32_t id, const RiffChunk* parent, RiffChunk* chunk);
    // Moves past the chunk's data and its pad byte.
    bool Ascend(const RiffChunk& chunk);

    // Reads at most bytes from the position on; returns the count read.
    size_t Read(void* buffer, size_t bytes);
    bool Seek(uint64_t offset);
    uint64_t Tell() const { return position_; }
    uint64_t Size() const { return size_; }

private:
    bool ReadHeader(uint32_t* id, uint32_t* size);

    FILE* file_ = nullptr;
    const uint8_t* data_ = nullptr;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
};

} // namespace platform
