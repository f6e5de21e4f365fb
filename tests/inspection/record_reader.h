// Reading one of the module's records out of a built file, field by field, at
// the byte positions of its build: the host's 32-bit positions in a 32-bit
// file, the positions of our own record definitions in a 64-bit one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "module_image.h"

namespace kob::test {

struct Field {
    std::size_t offset32;
    std::size_t offset64;
};

struct RecordSize {
    std::size_t size32;
    std::size_t size64;
};

// KOB_FIELD(GaugeHeader, sizeValue, 44): the field at byte 44 of a 32-bit
// record, wherever the record definition puts it in a 64-bit one.
#define KOB_FIELD(Type, member, offset32) (::kob::test::Field{(offset32), offsetof(::kob::Type, member)})
#define KOB_RECORD(Type, size32) (::kob::test::RecordSize{(size32), sizeof(::kob::Type)})

class RecordReader {
public:
    RecordReader(const ModuleImage& image, std::uint64_t address, RecordSize size);

    std::uint64_t address() const { return address_; }
    std::uint64_t addressOf(Field field) const;
    std::uint32_t u32(Field field);
    std::int32_t i32(Field field) { return static_cast<std::int32_t>(u32(field)); }
    std::uint64_t pointer(Field field);
    std::string bytes(Field field, std::size_t count);

    // Offsets of the bytes that no read covered and that are not zero: the
    // fields a record leaves to the host must be zero in the module.
    std::vector<std::size_t> strayBytes() const;

private:
    std::size_t offset(Field field) const;
    void cover(std::size_t offset, std::size_t count);

    const ModuleImage& image_;
    std::uint64_t address_;
    std::size_t size_;
    std::vector<bool> covered_;
};

}  // namespace kob::test
