#include "bitmap.h"

#include <stdexcept>
#include <string>

namespace kob::test {
namespace {

constexpr std::size_t fileHeaderSize = 14;
constexpr std::size_t infoHeaderSize = 40;

std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) |
           static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t le16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

}  // namespace

Bitmap decodeBitmap(std::span<const std::uint8_t> file) {
    if (file.size() < fileHeaderSize + infoHeaderSize || file[0] != 'B' || file[1] != 'M')
        throw std::runtime_error("not a BMP file");
    Bitmap bitmap;
    bitmap.fileSize = le32(file, 2);
    const std::uint32_t pixelOffset = le32(file, 10);
    const auto info = file.subspan(fileHeaderSize);
    if (le32(info, 0) != infoHeaderSize) throw std::runtime_error("not a BITMAPINFOHEADER");
    bitmap.width = static_cast<std::int32_t>(le32(info, 4));
    bitmap.height = static_cast<std::int32_t>(le32(info, 8));
    if (le16(info, 12) != 1) throw std::runtime_error("more than one plane");
    bitmap.bitsPerPixel = le16(info, 14);
    if (le32(info, 16) != 0) throw std::runtime_error("compressed pixels");
    if (bitmap.bitsPerPixel != 4 && bitmap.bitsPerPixel != 8)
        throw std::runtime_error(std::to_string(bitmap.bitsPerPixel) + " bits per pixel");
    if (bitmap.width <= 0 || bitmap.height == 0) throw std::runtime_error("empty picture");

    std::size_t colours = le32(info, 32);
    if (colours == 0) colours = std::size_t{1} << bitmap.bitsPerPixel;
    const std::size_t paletteStart = fileHeaderSize + infoHeaderSize;
    if (paletteStart + 4 * colours > pixelOffset) throw std::runtime_error("palette overlaps the pixels");
    for (std::size_t i = 0; i < colours; ++i) {
        const std::size_t at = paletteStart + 4 * i;  // blue, green, red, reserved
        bitmap.palette.push_back({file[at + 2], file[at + 1], file[at]});
    }

    const std::size_t rows = static_cast<std::size_t>(bitmap.height < 0 ? -bitmap.height : bitmap.height);
    const std::size_t width = static_cast<std::size_t>(bitmap.width);
    const std::size_t stride = (width * bitmap.bitsPerPixel + 31) / 32 * 4;
    if (pixelOffset + stride * rows > file.size()) throw std::runtime_error("pixels cut short");
    for (std::size_t row = 0; row < rows; ++row) {
        const auto line = file.subspan(pixelOffset + row * stride, stride);
        for (std::size_t x = 0; x < width; ++x) {
            if (bitmap.bitsPerPixel == 8)
                bitmap.pixels.push_back(line[x]);
            else
                bitmap.pixels.push_back(static_cast<std::uint8_t>(x % 2 == 0 ? line[x / 2] >> 4 : line[x / 2] & 0x0F));
        }
    }
    return bitmap;
}

}  // namespace kob::test
