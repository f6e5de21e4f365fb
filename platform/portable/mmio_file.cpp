#include "mmio_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

std::unique_ptr<MmioFile> MmioFile::open(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return nullptr;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return nullptr;
    // The read buffer is ours; a second one in the C library would only copy twice.
    std::setvbuf(file, nullptr, _IONBF, 0);
    const std::uintmax_t fileBytes = std::filesystem::file_size(path, error);
    const std::size_t capacity =
        error ? bufferSize : std::clamp<std::size_t>(static_cast<std::size_t>(std::min<std::uintmax_t>(fileBytes, bufferSize)),
                                                     minBufferSize, bufferSize);
    return std::unique_ptr<MmioFile>(new MmioFile(file, capacity));
}

void MmioFile::seek(std::int64_t target) {
    if (target >= bufferOffset_ && target <= bufferOffset_ + static_cast<std::int64_t>(valid_)) {
        next_ = static_cast<std::size_t>(target - bufferOffset_);
        return;
    }
    bufferOffset_ = target;
    next_ = 0;
    valid_ = 0;
}

std::optional<std::size_t> MmioFile::read(std::span<char> destination) {
    std::size_t copied = 0;
    while (copied < destination.size()) {
        if (next_ == valid_) {
            if (!refill()) return std::nullopt;
            if (valid_ == 0) break;  // end of file
        }
        const std::size_t run = std::min(destination.size() - copied, valid_ - next_);
        std::memcpy(destination.data() + copied, buffer_.data() + next_, run);
        next_ += run;
        copied += run;
    }
    return copied;
}

bool MmioFile::refill() {
    bufferOffset_ += static_cast<std::int64_t>(next_);
    next_ = 0;
    valid_ = 0;
    if (filePosition_ != bufferOffset_) {
        filePosition_.reset();
        if (std::fseek(file_.get(), static_cast<long>(bufferOffset_), SEEK_SET) != 0) return false;
    }
    valid_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
    if (std::ferror(file_.get())) {
        std::clearerr(file_.get());
        filePosition_.reset();
        valid_ = 0;
        return false;
    }
    filePosition_ = bufferOffset_ + static_cast<std::int64_t>(valid_);
    return true;
}

std::optional<std::int64_t> MmioFile::size() const {
    filePosition_.reset();
    if (std::fseek(file_.get(), 0, SEEK_END) != 0) return std::nullopt;
    const long end = std::ftell(file_.get());
    if (end < 0) return std::nullopt;
    return static_cast<std::int64_t>(end);
}
