#include "record_reader.h"

#include <stdexcept>

namespace kob::test {

RecordReader::RecordReader(const ModuleImage& image, std::uint64_t address, RecordSize size)
    : image_(image),
      address_(address),
      size_(image.pointerSize() == 4 ? size.size32 : size.size64),
      covered_(size_, false) {}

std::size_t RecordReader::offset(Field field) const {
    return image_.pointerSize() == 4 ? field.offset32 : field.offset64;
}

std::uint64_t RecordReader::addressOf(Field field) const { return address_ + offset(field); }

void RecordReader::cover(std::size_t at, std::size_t count) {
    if (at + count > size_) throw std::logic_error("field beyond the record");
    for (std::size_t i = at; i < at + count; ++i) covered_[i] = true;
}

std::uint32_t RecordReader::u32(Field field) {
    cover(offset(field), 4);
    return image_.u32(addressOf(field));
}

std::uint64_t RecordReader::pointer(Field field) {
    cover(offset(field), image_.pointerSize());
    return image_.pointer(addressOf(field));
}

std::string RecordReader::bytes(Field field, std::size_t count) {
    cover(offset(field), count);
    const auto raw = image_.bytes(addressOf(field), count);
    return {raw.begin(), raw.end()};
}

std::vector<std::size_t> RecordReader::strayBytes() const {
    const auto raw = image_.bytes(address_, size_);
    std::vector<std::size_t> stray;
    for (std::size_t i = 0; i < size_; ++i)
        if (!covered_[i] && raw[i] != 0) stray.push_back(i);
    return stray;
}

}  // namespace kob::test
