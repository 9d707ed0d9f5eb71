// File.h -- CFile: a file read whole into memory (from disk, or from the archive that stands in
// for its missing folder), or opened as a disk stream; whole-file writes are atomic.
//
// Names may use '\' or '/' and any letter case; they are resolved against the disk first
// (platform::ResolvePath). Text in the image is CP932 bytes, handed out unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace zuderadeDoruVAV3ed {

class CFile {
public:
    CFile() = default;
    virtual ~CFile();   // closes
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens name (made full first) as a disk stream with an fopen mode ("rb", "wb", ...).
    // 0 on success, 1 when it cannot be opened. "wb" creates or truncates the file.
    int Read(const std::string& name, const char* mode);
    // Closes the stream, frees the image and deletes a temporary made by CreateTemporary. 0;
    // 1 (logged) when closing the stream failed, so data written to it may be lost.
    int Close();
    // The disk stream opened by Read (null when none); callers seek and read it directly.
    FILE* GetStream() const { return stream_; }

    // Reads the whole file into the image: from the disk, else from the archive standing in for
    // the first missing folder of its path. 0 on success, 1 when neither has it, 2 when an
    // archive stands in for the folder but its contents cannot be read.
    int ReadWithArchive(const std::string& name);
    // The name under which the file was opened (a temporary's name after CreateTemporary).
    const std::string& GetName() const { return name_; }
    // The image: first byte (null when there is none) and byte count.
    uint8_t* GetData() { return has_image_ ? image_.data() : nullptr; }
    const uint8_t* GetData() const { return has_image_ ? image_.data() : nullptr; }
    size_t GetSize() const { return has_image_ ? image_.size() : 0; }
    bool HasImage() const { return has_image_; }

    // The next line of the image without its line end (LF, CR LF or a lone CR at the end).
    // 0 when a line was stored, 1 at the end of the image, 3 when no image is loaded.
    int ReadTextLine(std::string& line);
    // Copies n bytes from the current position and advances. 0 on success; 1 when fewer than n
    // bytes are left (nothing is copied), 2 when no image is loaded.
    int ReadBytes(void* buffer, size_t n);

    // Creates or replaces the file with size bytes of data, atomically: the old file stays whole
    // unless the new one was written completely. 0 on success, non-zero on any failure.
    static int Write(const std::string& name, const void* data, size_t size);

    // Gives the image a disk file that other code can open by name. force false: a file read
    // from its own disk file keeps that name and the image is freed; a file read from an archive
    // (or with force true, any file) has its image written to a new temporary file that becomes
    // its name and is deleted by the next Close. 0 on success, 1 when there is no image, 2 when
    // the temporary cannot be written.
    int CreateTemporary(bool force);

    // The absolute name: '\' read as '/', existing components matched ignoring case.
    static std::string MakeFullName(const std::string& name);

private:
    int ReadFromArchive(const std::string& name);
    void FreeImage();

    std::string name_;             // as opened (or the temporary's)
    FILE* stream_ = nullptr;       // disk stream of Read
    std::vector<uint8_t> image_;   // whole-file image of ReadWithArchive
    bool has_image_ = false;       // an empty file still has an (empty) image
    bool from_archive_ = false;    // image came out of an archive, not its own disk file
    size_t position_ = 0;          // read position of ReadTextLine and ReadBytes
    std::string temporary_;        // file to delete at Close ("" when none)
};

} // namespace zuderadeDoruVAV3ed
