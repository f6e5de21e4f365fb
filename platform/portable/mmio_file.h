// The file behind an mmio handle: a file opened for reading with a read buffer
// of its own. The buffer holds a window of the file; the byte at `next` of it
// is the next one to deliver, whether a caller reads through mmioRead or takes
// the buffer itself with mmioGetInfo.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct MmioFile {
public:
    // The read buffer holds up to 1 MiB: a whole sound is read with one system
    // call per megabyte. A smaller file gets a buffer of its own size (at
    // least minBufferSize), so that many open short sounds stay cheap.
    static constexpr std::size_t bufferSize = std::size_t{1} << 20;
    static constexpr std::size_t minBufferSize = 4096;

    // The file opened for reading, or nothing when it cannot be (missing,
    // a folder, no permission).
    static std::unique_ptr<MmioFile> open(const std::string& path);

    // File position of the next byte to deliver.
    std::int64_t position() const { return bufferOffset_ + static_cast<std::int64_t>(next_); }
    // Moves to an absolute position, which may lie past the end of the file.
    // The buffer is kept when the position falls inside its valid bytes.
    void seek(std::int64_t position);
    // Copies up to destination.size() bytes from the position on, refilling
    // the buffer as it runs dry. The count delivered (short at the end of the
    // file), or nothing on a read error.
    std::optional<std::size_t> read(std::span<char> destination);
    // Reloads the buffer with the file's bytes from the position on. At the
    // end of the file the buffer is left without valid bytes. false on a read
    // error, with the buffer then empty.
    bool refill();
    // The file's size in bytes, or nothing when it cannot be told.
    std::optional<std::int64_t> size() const;

    // The buffer as the mmio calls hand it out.
    char* buffer() { return buffer_.data(); }
    std::size_t capacity() const { return buffer_.size(); }
    std::size_t next() const { return next_; }
    std::size_t validBytes() const { return valid_; }
    // File position of the buffer's first byte.
    std::int64_t bufferOffset() const { return bufferOffset_; }
    // Marks the buffer's bytes before `index` as delivered; index <= validBytes().
    void setNext(std::size_t index) { next_ = index; }

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    MmioFile(std::FILE* file, std::size_t capacity) : file_(file), buffer_(capacity) {}

    std::unique_ptr<std::FILE, Closer> file_;
    std::vector<char> buffer_;
    std::int64_t bufferOffset_ = 0;
    std::size_t next_ = 0;
    std::size_t valid_ = 0;
    // Where the open file stands, when known: a refill that starts there
    // needs no seek (sequential reads make one system call per refill).
    mutable std::optional<std::int64_t> filePosition_ = 0;
};
