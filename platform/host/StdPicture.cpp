#include "platform/host/StdPicture.h"

#include <png.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace sorrel::host {

// [SECTION] Picture objects

int32_t pixels_to_himetric(int pixels)
{
    return int32_t(std::lround(pixels * 2540.0 / 96.0));
}

double himetric_to_pixels(double himetric)
{
    return himetric * 96.0 / 2540.0;
}

StdPicture::StdPicture(gdi::Surface pixels, PictureType type)
    : m_pixels(std::move(pixels))
    , m_type(type)
{
    if (m_pixels.is_empty()) {
        m_type = PictureType::None;
        return;
    }
    if (m_type == PictureType::Icon)
        m_icon = gdi::CreateIconFromSurface(m_pixels);
    else
        m_bitmap = gdi::CreateBitmapFromSurface(m_pixels);
}

StdPicture::~StdPicture()
{
    if (m_icon)
        gdi::DestroyIcon(m_icon);
    if (m_bitmap)
        gdi::DeleteObject(m_bitmap);
}

std::shared_ptr<StdPicture> StdPicture::from_surface(gdi::Surface pixels, PictureType type)
{
    return std::make_shared<StdPicture>(std::move(pixels), type);
}

int32_t StdPicture::Width() const
{
    return pixels_to_himetric(m_pixels.width());
}

int32_t StdPicture::Height() const
{
    return pixels_to_himetric(m_pixels.height());
}

uintptr_t StdPicture::Handle() const
{
    if (m_icon)
        return reinterpret_cast<uintptr_t>(m_icon);
    return reinterpret_cast<uintptr_t>(m_bitmap);
}

bool StdPicture::has_transparency() const
{
    const uint32_t* p = m_pixels.data();
    size_t n = size_t(m_pixels.width()) * size_t(m_pixels.height());
    for (size_t i = 0; i < n; ++i) {
        if ((p[i] >> 24) != 0xFF)
            return true;
    }
    return false;
}

// [SECTION] Byte reading

namespace {

// Pictures here are icons, tiles and banners: a header that claims more is refused before
// anything is allocated for it.
constexpr int max_side = 16384;
constexpr int64_t max_pixels = 4096 * 4096;

bool sane_size(int64_t width, int64_t height)
{
    return width > 0 && height > 0 && width <= max_side && height <= max_side && width * height <= max_pixels;
}

// The largest file a picture of that size comes in: 32-bit pixels and some headers.
constexpr size_t max_file_bytes = size_t(max_pixels) * 4 + (1 << 20);

struct Bytes {
    std::span<const uint8_t> data;
    bool has(size_t offset, size_t count) const
    {
        return offset <= data.size() && count <= data.size() - offset;
    }
    uint16_t u16(size_t o) const { return uint16_t(data[o] | (data[o + 1] << 8)); }
    uint32_t u32(size_t o) const
    {
        return uint32_t(data[o]) | (uint32_t(data[o + 1]) << 8) | (uint32_t(data[o + 2]) << 16)
            | (uint32_t(data[o + 3]) << 24);
    }
    int32_t i32(size_t o) const { return int32_t(u32(o)); }
};

Error fail(const std::string& name, const std::string& what)
{
    return Error {name + ": " + what};
}

bool is_png(std::span<const uint8_t> bytes)
{
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return bytes.size() >= 8 && std::memcmp(bytes.data(), signature, 8) == 0;
}

// [SECTION] PNG

ErrorOr<gdi::Surface> decode_png(std::span<const uint8_t> bytes, const std::string& name)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return fail(name, std::string("damaged PNG data (") + image.message + ")");
    if (!sane_size(image.width, image.height)) {
        png_image_free(&image);
        return fail(name, "PNG size out of range");
    }
    // Each row holds a filter byte and at least a bit a pixel, and deflate packs at most 1032
    // bytes into one: data shorter than that cannot hold the picture its header claims.
    uint64_t least_raw = uint64_t(image.height) * (1 + (uint64_t(image.width) + 7) / 8);
    if (bytes.size() < least_raw / 1032) {
        png_image_free(&image);
        return fail(name, "PNG data cut short");
    }
    image.format = PNG_FORMAT_RGBA; // bytes R, G, B, A: our 0xAABBGGRR pixels on little-endian
    gdi::Surface surface(int(image.width), int(image.height), 0);
    if (!png_image_finish_read(&image, nullptr, surface.data(), int(image.width) * 4, nullptr)) {
        std::string message = image.message;
        png_image_free(&image);
        return fail(name, "damaged PNG data (" + message + ")");
    }
    return surface;
}

// [SECTION] Device-independent bitmaps (.bmp files and icon images)

// What a DIB's info header says: its size, pixel format and palette.
struct DibHeader {
    uint32_t size {0};
    int32_t width {0};
    int32_t height {0}; // negative for rows stored top down
    uint16_t bit_count {0};
    uint32_t compression {0};
    uint32_t colors_used {0};
    size_t palette_entry {4};
};

// Reads the info header at `offset`: the old 12-byte core header or a 40-byte (or larger) one.
ErrorOr<DibHeader> read_dib_header(Bytes b, size_t offset, const std::string& name)
{
    if (!b.has(offset, 12))
        return fail(name, "bitmap header cut short");
    DibHeader h;
    h.size = b.u32(offset);
    if (h.size == 12) {
        h.width = b.u16(offset + 4);
        h.height = int16_t(b.u16(offset + 6));
        h.bit_count = b.u16(offset + 10);
        h.palette_entry = 3;
    } else if (h.size >= 40 && b.has(offset, h.size)) {
        h.width = b.i32(offset + 4);
        h.height = b.i32(offset + 8);
        h.bit_count = b.u16(offset + 14);
        h.compression = b.u32(offset + 16);
        h.colors_used = b.u32(offset + 32);
    } else {
        return fail(name, "unknown bitmap header");
    }
    return h;
}

// Pixel `x` of a row of `bit_count`-bit pixels, as 0xAARRGGBB (opaque but for 32-bit pixels).
uint32_t dib_pixel(const uint8_t* src, int x, uint16_t bit_count, const std::vector<uint32_t>& palette)
{
    switch (bit_count) {
    case 32:
        return gdi::rgb(src[x * 4 + 2], src[x * 4 + 1], src[x * 4]) | (uint32_t(src[x * 4 + 3]) << 24);
    case 24:
        return gdi::rgb(src[x * 3 + 2], src[x * 3 + 1], src[x * 3]) | 0xFF000000u;
    default: {
        int per_byte = 8 / bit_count;
        int byte = src[x / per_byte];
        int shift = 8 - bit_count * (x % per_byte + 1);
        size_t index = size_t((byte >> shift) & ((1 << bit_count) - 1));
        return (index < palette.size() ? palette[index] : 0) | 0xFF000000u;
    }
    }
}

// Decodes a DIB that starts with its info header at `offset`. Icons store the height doubled
// (colour image, then a 1-bit AND mask); `pixel_offset` is where the pixels begin for files.
ErrorOr<gdi::Surface> decode_dib(
    Bytes b, size_t offset, bool icon, size_t pixel_offset, const std::string& name)
{
    auto read = read_dib_header(b, offset, name);
    if (read.is_error())
        return read.error();
    const DibHeader& h = read.value();
    const int32_t width = h.width;
    const uint16_t bit_count = h.bit_count;
    const size_t palette_entry = h.palette_entry;
    bool top_down = h.height < 0;
    if (h.height == INT32_MIN)
        return fail(name, "bitmap size out of range");
    int rows = std::abs(h.height);
    if (icon)
        rows /= 2;
    if (!sane_size(width, rows))
        return fail(name, "bitmap size out of range");
    // 0 BI_RGB; 3 BI_BITFIELDS is accepted for 32-bit pixels in the usual BGRA layout.
    if (h.compression != 0 && !(h.compression == 3 && bit_count == 32))
        return fail(name, "compressed bitmaps are not supported");
    if (bit_count != 1 && bit_count != 4 && bit_count != 8 && bit_count != 24 && bit_count != 32)
        return fail(name, "unsupported bit depth " + std::to_string(bit_count));

    size_t palette_offset = offset + h.size + (h.compression == 3 && h.size == 40 ? 12 : 0);
    size_t palette_count = 0;
    if (bit_count <= 8) {
        palette_count = h.colors_used ? h.colors_used : (size_t(1) << bit_count);
        if (palette_count > 256)
            return fail(name, "palette too large");
    }
    std::vector<uint32_t> palette(palette_count);
    if (!b.has(palette_offset, palette_count * palette_entry))
        return fail(name, "palette cut short");
    for (size_t i = 0; i < palette_count; ++i) {
        size_t p = palette_offset + i * palette_entry;
        palette[i] = gdi::rgb(b.data[p + 2], b.data[p + 1], b.data[p]);
    }
    size_t pixels_at = pixel_offset ? pixel_offset : palette_offset + palette_count * palette_entry;
    size_t stride = ((size_t(width) * bit_count + 31) / 32) * 4;
    if (!b.has(pixels_at, stride * size_t(rows)))
        return fail(name, "pixel data cut short");
    size_t mask_stride = ((size_t(width) + 31) / 32) * 4;
    size_t mask_at = pixels_at + stride * size_t(rows);
    bool has_mask = icon && b.has(mask_at, mask_stride * size_t(rows));

    gdi::Surface surface(width, rows, 0);
    bool any_alpha = false;
    for (int row = 0; row < rows; ++row) {
        int y = top_down ? row : rows - 1 - row;
        const uint8_t* src = b.data.data() + pixels_at + stride * size_t(row);
        uint32_t* dst = surface.scanline(y);
        for (int x = 0; x < width; ++x) {
            dst[x] = dib_pixel(src, x, bit_count, palette);
            any_alpha |= dst[x] >> 24 != 0 && bit_count == 32;
        }
    }
    if (bit_count == 32 && !any_alpha) {
        // A 32-bit image without alpha is opaque (its mask, if any, says otherwise below).
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < width; ++x)
                surface.scanline(y)[x] |= 0xFF000000u;
    }
    if (has_mask && !(bit_count == 32 && any_alpha)) {
        for (int row = 0; row < rows; ++row) {
            int y = top_down ? row : rows - 1 - row;
            const uint8_t* m = b.data.data() + mask_at + mask_stride * size_t(row);
            for (int x = 0; x < width; ++x) {
                if (m[x / 8] & (0x80 >> (x % 8)))
                    surface.scanline(y)[x] &= 0x00FFFFFF; // AND mask set: transparent
            }
        }
    }
    return surface;
}

ErrorOr<gdi::Surface> decode_bmp(Bytes b, const std::string& name)
{
    if (!b.has(0, 14) || b.data[0] != 'B' || b.data[1] != 'M')
        return fail(name, "not a BMP file");
    uint32_t pixel_offset = b.u32(10);
    if (pixel_offset >= b.data.size())
        return fail(name, "pixel data cut short");
    return decode_dib(b, 14, false, pixel_offset, name);
}

// [SECTION] Icons

ErrorOr<gdi::Surface> decode_ico(Bytes b, const std::string& name)
{
    if (!b.has(0, 6) || b.u16(0) != 0 || b.u16(2) != 1)
        return fail(name, "not an icon file");
    size_t count = b.u16(4);
    if (count == 0)
        return fail(name, "the icon file holds no image");
    if (!b.has(6, count * 16))
        return fail(name, "icon directory cut short");
    // The best image: the largest, then the deepest colour.
    size_t best = count;
    long best_area = -1;
    int best_bits = -1;
    for (size_t i = 0; i < count; ++i) {
        size_t e = 6 + i * 16;
        int w = b.data[e] ? b.data[e] : 256;
        int h = b.data[e + 1] ? b.data[e + 1] : 256;
        int bits = b.u16(e + 6);
        if (bits == 0) {
            int colors = b.data[e + 2];
            bits = colors == 0 ? 8 : colors <= 2 ? 1 : colors <= 16 ? 4 : 8;
        }
        long area = long(w) * h;
        if (area > best_area || (area == best_area && bits > best_bits)) {
            best = i;
            best_area = area;
            best_bits = bits;
        }
    }
    size_t e = 6 + best * 16;
    uint32_t size = b.u32(e + 8);
    uint32_t offset = b.u32(e + 12);
    if (!b.has(offset, size) || size < 12)
        return fail(name, "icon image cut short");
    Bytes image {b.data.subspan(offset, size)};
    if (is_png(image.data))
        return decode_png(image.data, name);
    return decode_dib(image, 0, true, 0, name);
}

std::string lower_extension(const std::string& name)
{
    auto dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

} // namespace

// [SECTION] Loading and saving

ErrorOr<PictureRef> LoadPictureFromMemory(std::span<const uint8_t> bytes, const std::string& name)
{
    if (bytes.empty())
        return fail(name, "the file is empty");
    Bytes b {bytes};
    std::string ext = lower_extension(name);
    ErrorOr<gdi::Surface> decoded = Error {};
    PictureType type = PictureType::Bitmap;
    if (is_png(bytes)) {
        decoded = decode_png(bytes, name);
    } else if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        decoded = decode_bmp(b, name);
    } else if (bytes.size() >= 4 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 1 && bytes[3] == 0) {
        decoded = decode_ico(b, name);
        type = PictureType::Icon;
    } else {
        return fail(name,
            ext.empty() ? "not a picture (.ico, .bmp or .png)"
                        : "not a ." + ext + " picture this program reads");
    }
    if (decoded.is_error())
        return decoded.error();
    auto picture = StdPicture::from_surface(decoded.release_value(), type);
    return picture;
}

ErrorOr<PictureRef> LoadPicture(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return Error {path + (std::filesystem::exists(path, ec) ? ": not a file" : ": cannot open the file")};
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Error {path + ": cannot open the file"};
    // Read no more than the largest picture can take, whatever the file grows to meanwhile.
    std::vector<uint8_t> bytes;
    char chunk[65536];
    while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + file.gcount());
        if (bytes.size() > max_file_bytes)
            return Error {path + ": too large for a picture"};
    }
    if (file.bad())
        return Error {path + ": cannot read the file"};
    auto result = LoadPictureFromMemory(bytes, path);
    if (result.is_error())
        return result;
    result.value()->set_source_path(path);
    return result;
}

ErrorOr<void> save_png(const gdi::Surface& pixels, const std::string& path, bool keep_alpha)
{
    if (pixels.is_empty())
        return Error {path + ": nothing to save (empty picture)"};
    std::vector<uint32_t> copy(
        pixels.data(), pixels.data() + size_t(pixels.width()) * size_t(pixels.height()));
    if (!keep_alpha) {
        for (auto& p : copy)
            p |= 0xFF000000u;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(pixels.width());
    image.height = png_uint_32(pixels.height());
    // Without keep_alpha the copy above is already opaque, so one format serves both.
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, copy.data(), pixels.width() * 4, nullptr))
        return Error {path + ": cannot write the PNG file (" + image.message + ")"};
    return {};
}

} // namespace sorrel::host
