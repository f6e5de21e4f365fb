// Decoding the bitmap files the module carries as resources: uncompressed,
// palette-indexed BMP with a BITMAPINFOHEADER, as the resource tools give them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kob::test {

struct PaletteEntry {
    std::uint8_t red, green, blue;
    bool operator==(const PaletteEntry&) const = default;
};

struct Bitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitsPerPixel = 0;
    std::vector<PaletteEntry> palette;
    std::vector<std::uint8_t> pixels;  // one palette index per pixel, row by row
    std::size_t fileSize = 0;          // as the file header states it
};

// Throws std::runtime_error saying what does not fit: not a BMP, compressed,
// not 4 or 8 bits per pixel, or shorter than its headers say.
Bitmap decodeBitmap(std::span<const std::uint8_t> file);

}  // namespace kob::test
