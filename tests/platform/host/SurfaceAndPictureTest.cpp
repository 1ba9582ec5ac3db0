#include "HostTestSupport.h"

#include "platform/host/Image.h"
#include "platform/host/PictureBox.h"
#include "platform/host/StdPicture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>

#include <zlib.h>

// GCC takes the free() below for a mismatch once it inlines these into their callers.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// The largest single request to operator new, so that a test can tell that a refused picture
// never asked for its pixels.
static std::atomic<size_t> largest_allocation {0};

void* operator new(size_t size)
{
    size_t seen = largest_allocation.load(std::memory_order_relaxed);
    while (size > seen && !largest_allocation.compare_exchange_weak(seen, size, std::memory_order_relaxed))
        ;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
// The library's temporary buffers come from the nothrow form and go back through the plain
// delete above, so both forms must come from the same heap.
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}

using namespace sorrel;
using namespace sorrel::host;
using namespace sorrel::host::testing;

namespace {

struct Bytes {
    std::vector<uint8_t> data;
    void u8(int v) { data.push_back(uint8_t(v)); }
    void u16(int v)
    {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(uint32_t v)
    {
        u16(int(v & 0xFFFF));
        u16(int(v >> 16));
    }
};

// A BITMAPINFOHEADER.
void info_header(Bytes& b, int w, int h, int bits, int colors = 0)
{
    b.u32(40);
    b.u32(uint32_t(w));
    b.u32(uint32_t(h));
    b.u16(1);
    b.u16(bits);
    b.u32(0);
    b.u32(0);
    b.u32(0);
    b.u32(0);
    b.u32(uint32_t(colors));
    b.u32(0);
}

// A 3 x 2 24-bit bitmap, bottom-up: top row red green blue, bottom row white black grey.
std::vector<uint8_t> small_bmp()
{
    Bytes b;
    b.u8('B');
    b.u8('M');
    b.u32(14 + 40 + 2 * 12);
    b.u32(0);
    b.u32(14 + 40);
    info_header(b, 3, 2, 24);
    auto px = [&](int r, int g, int bl) {
        b.u8(bl);
        b.u8(g);
        b.u8(r);
    };
    px(255, 255, 255), px(0, 0, 0), px(128, 128, 128), b.u8(0), b.u8(0), b.u8(0); // bottom row + padding
    px(255, 0, 0), px(0, 255, 0), px(0, 0, 255), b.u8(0), b.u8(0), b.u8(0);
    return b.data;
}

// An icon file with a 2 x 2 4-bit image and a 4 x 4 32-bit image with alpha.
std::vector<uint8_t> two_image_icon()
{
    Bytes small, large;
    info_header(small, 2, 4, 4, 16);
    for (int i = 0; i < 16; ++i)
        small.u32(i == 1 ? 0x000000FF : 0); // palette: entry 1 is blue (B, G, R, 0)
    small.u32(0x00000011); // rows of 4-bit pixels, 4 bytes each
    small.u32(0x00000011);
    small.u32(0); // AND mask rows
    small.u32(0);
    info_header(large, 4, 8, 32);
    for (int i = 0; i < 16; ++i)
        large.u32(i == 0 ? 0x00FF0000 : 0xFF00FF00); // BGRA: pixel 0 (bottom-left) transparent red
    for (int i = 0; i < 4; ++i)
        large.u32(0);
    Bytes file;
    file.u16(0);
    file.u16(1);
    file.u16(2);
    auto entry = [&](int w, int h, int colors, int bits, size_t size, size_t offset) {
        file.u8(w), file.u8(h), file.u8(colors), file.u8(0), file.u16(1), file.u16(bits);
        file.u32(uint32_t(size));
        file.u32(uint32_t(offset));
    };
    size_t first = 6 + 2 * 16;
    entry(2, 2, 16, 4, small.data.size(), first);
    entry(4, 4, 0, 32, large.data.size(), first + small.data.size());
    file.data.insert(file.data.end(), small.data.begin(), small.data.end());
    file.data.insert(file.data.end(), large.data.begin(), large.data.end());
    return file.data;
}

// A PNG file whose header claims `width` x `height` RGBA pixels, with one row's worth of data.
std::vector<uint8_t> png_claiming(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&](const char* type, std::vector<uint8_t> data) {
        std::vector<uint8_t> body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        auto be32 = [&](uint32_t v) {
            for (int shift = 24; shift >= 0; shift -= 8)
                file.push_back(uint8_t(v >> shift));
        };
        be32(uint32_t(data.size()));
        file.insert(file.end(), body.begin(), body.end());
        be32(uint32_t(crc32(0, body.data(), uInt(body.size()))));
    };
    std::vector<uint8_t> header;
    for (uint32_t v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8)
            header.push_back(uint8_t(v >> shift));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter, no interlace
    chunk("IHDR", header);
    uint8_t row[5] = {0, 1, 2, 3, 4};
    uint8_t packed[64];
    uLongf packed_size = sizeof packed;
    compress(packed, &packed_size, row, sizeof row);
    chunk("IDAT", std::vector<uint8_t>(packed, packed + packed_size));
    chunk("IEND", {});
    return file;
}

std::string temp_path(const char* name)
{
    return (std::filesystem::temp_directory_path() / (std::string("sorrel-host-") + name)).string();
}

struct Surfaces : HostFixture, ::testing::Test { };

} // namespace

TEST(Pictures, BitmapsLoadWithTheirPixelsAndHimetricSize)
{
    auto picture = LoadPictureFromMemory(small_bmp(), "small.bmp");
    ASSERT_FALSE(picture.is_error()) << picture.error().message;
    auto& p = *picture.value();
    EXPECT_EQ(p.Type(), 1);
    EXPECT_EQ(p.pixel_width(), 3);
    EXPECT_EQ(p.pixels().pixel(0, 0), 0xFF0000FFu); // red, opaque
    EXPECT_EQ(p.pixels().pixel(2, 0), 0xFFFF0000u); // blue
    EXPECT_EQ(p.pixels().pixel(1, 1), 0xFF000000u); // black
    EXPECT_EQ(p.Width(), 79); // 3 pixels at 96 to the inch
    EXPECT_NE(p.Handle(), 0u);
}

TEST(Pictures, IconsTakeTheBestImageWithItsTransparency)
{
    auto picture = LoadPictureFromMemory(two_image_icon(), "two.ico");
    ASSERT_FALSE(picture.is_error()) << picture.error().message;
    auto& p = *picture.value();
    EXPECT_EQ(p.Type(), 3);
    EXPECT_EQ(p.pixel_width(), 4);
    EXPECT_EQ(p.pixels().pixel(0, 3) >> 24, 0u); // bottom-left transparent
    EXPECT_EQ(p.pixels().pixel(1, 1), 0xFF00FF00u);
    EXPECT_TRUE(p.has_transparency());
    EXPECT_EQ(p.icon(), reinterpret_cast<gdi::HICON>(p.Handle()));
}

TEST(Pictures, PngFilesRoundTrip)
{
    gdi::Surface s(5, 4, 0xFF123456);
    s.set_pixel(1, 1, 0x00000000);
    std::string path = temp_path("round.png");
    ASSERT_FALSE(save_png(s, path, true).is_error());
    auto picture = LoadPicture(path);
    ASSERT_FALSE(picture.is_error()) << picture.error().message;
    EXPECT_EQ(picture.value()->pixels().pixel(0, 0), 0xFF123456u);
    EXPECT_EQ(picture.value()->pixels().pixel(1, 1) >> 24, 0u);
    EXPECT_EQ(picture.value()->source_path(), path);
    std::remove(path.c_str());
}

TEST(Pictures, MissingOrDamagedFilesGiveClearErrors)
{
    auto missing = LoadPicture("/nonexistent/banner.png");
    ASSERT_TRUE(missing.is_error());
    EXPECT_NE(missing.error().message.find("banner.png: cannot open"), std::string::npos);
    auto bmp = small_bmp();
    size_t live = gdi::live_object_count();
    // Every truncation of a good file fails cleanly or loads; none crashes.
    for (size_t n = 0; n < bmp.size(); ++n)
        EXPECT_TRUE(LoadPictureFromMemory(std::span(bmp.data(), n), "cut.bmp").is_error()) << n;
    auto ico = two_image_icon();
    for (size_t n = 0; n + 1 < ico.size(); n += 7)
        (void)LoadPictureFromMemory(std::span(ico.data(), n), "cut.ico");
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    auto damaged = LoadPictureFromMemory(png, "damaged.png");
    ASSERT_TRUE(damaged.is_error());
    EXPECT_NE(damaged.error().message.find("damaged.png"), std::string::npos);
    auto text = LoadPictureFromMemory(std::vector<uint8_t> {'h', 'e', 'l', 'l', 'o'}, "notes.txt");
    EXPECT_TRUE(text.is_error());
    // A huge claimed size is refused before any allocation.
    auto huge = small_bmp();
    huge[18] = 0xFF, huge[19] = 0xFF, huge[20] = 0xFF, huge[21] = 0x7F;
    EXPECT_TRUE(LoadPictureFromMemory(huge, "huge.bmp").is_error());
    EXPECT_EQ(gdi::live_object_count(), live);
}

TEST(Pictures, HeadersClaimingHugeSizesAreRefusedBeforeTheirPixelsAreMade)
{
    size_t live = gdi::live_object_count();
    auto refused = [](const std::vector<uint8_t>& bytes, const char* name) {
        largest_allocation = 0;
        auto picture = LoadPictureFromMemory(bytes, name);
        EXPECT_TRUE(picture.is_error()) << name;
        EXPECT_LT(largest_allocation.load(), size_t(1) << 20) << name;
        return picture.is_error() ? picture.error().message : std::string();
    };
    auto gigabyte = png_claiming(16384, 16384);
    EXPECT_LT(gigabyte.size(), 80u);
    EXPECT_NE(
        refused(gigabyte, "gigabyte.png").find("gigabyte.png: PNG size out of range"), std::string::npos);
    // Within the size limit, but far more pixels than so few bytes can hold.
    EXPECT_NE(refused(png_claiming(4000, 4000), "short.png").find("PNG data cut short"), std::string::npos);
    EXPECT_EQ(
        LoadPictureFromMemory(png_claiming(1, 1), "one.png").value()->pixels().pixel(0, 0), 0x04030201u);

    // A bitmap of 8192 x 8192 is over the limit; one of 4096 x 4096 without its pixels is cut short.
    auto bmp = small_bmp();
    bmp[18] = 0x00, bmp[19] = 0x20, bmp[22] = 0x00, bmp[23] = 0x20;
    EXPECT_NE(refused(bmp, "big.bmp").find("size out of range"), std::string::npos);
    bmp[19] = 0x10, bmp[23] = 0x10;
    EXPECT_NE(refused(bmp, "short.bmp").find("cut short"), std::string::npos);

    // An icon whose image is the gigabyte PNG.
    std::vector<uint8_t> ico = {0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0};
    for (uint32_t v : {uint32_t(gigabyte.size()), 22u})
        for (int shift = 0; shift < 32; shift += 8)
            ico.push_back(uint8_t(v >> shift));
    ico.insert(ico.end(), gigabyte.begin(), gigabyte.end());
    EXPECT_NE(refused(ico, "big.ico").find("size out of range"), std::string::npos);
    EXPECT_EQ(gdi::live_object_count(), live);

    // Only files are read: not a folder, not a device that never ends.
#ifdef _WIN32
    // Windows' file queries find no device: refused as a file that cannot be opened.
    EXPECT_TRUE(LoadPicture("NUL").is_error());
#else
    EXPECT_NE(LoadPicture("/dev/zero").error().message.find("/dev/zero: not a file"), std::string::npos);
#endif
    EXPECT_TRUE(LoadPicture(std::filesystem::temp_directory_path().string()).is_error());
}

TEST_F(Surfaces, ScaleConversionsUseTheHostRatio)
{
    auto& uc = add("UC", 0, 0, 225, 17);
    EXPECT_FLOAT_EQ(uc.ScaleWidth(), 225);
    EXPECT_FLOAT_EQ(uc.ScaleHeight(), 17);
    EXPECT_NEAR(uc.ScaleX(847), 32.0f, 0.05f); // a 32-pixel icon's HIMETRIC width
    EXPECT_FLOAT_EQ(uc.ScaleY(15, vbTwips, vbPixels), 1);
    uc.ScaleMode(vbTwips);
    EXPECT_FLOAT_EQ(uc.ScaleWidth(), 3375);
}

TEST_F(Surfaces, PaintPictureStretchesAndKeepsTransparency)
{
    auto& uc = add("UC", 0, 0, 20, 20);
    uc.BackColor(0x00FFFFFF);
    auto picture = LoadPictureFromMemory(two_image_icon(), "two.ico").release_value();
    uc.PaintPicture(picture, 2, 2, 8, 8); // 4 x 4 stretched to 8 x 8
    auto& s = uc.canvas().pixels();
    EXPECT_EQ(s.pixel(1, 1), 0x00FFFFFFu); // outside
    EXPECT_EQ(s.pixel(4, 4), 0x0000FF00u); // green
    EXPECT_EQ(s.pixel(2, 9), 0x00FFFFFFu); // the transparent corner, doubled
    EXPECT_EQ(s.pixel(3, 8), 0x00FFFFFFu);
    EXPECT_EQ(s.pixel(9, 9), 0x0000FF00u);
    // A source rectangle: the picture's top-right 2 x 2 into 2 x 2 at (12, 12).
    uc.PaintPicture(picture, 12, 12, 2, 2, 2, 0, 2, 2);
    EXPECT_EQ(s.pixel(12, 12), 0x0000FF00u);
    EXPECT_EQ(s.pixel(14, 14), 0x00FFFFFFu);
    uc.Cls();
    EXPECT_EQ(s.pixel(4, 4), 0x00FFFFFFu);
    uc.PaintPicture(nullptr, 0, 0); // no picture: nothing happens
}

TEST_F(Surfaces, PrintWritesInTheForeColourAndMovesDown)
{
    auto& uc = add("UC", 0, 0, 100, 40);
    uc.BackColor(0x00FFFFFF);
    uc.ForeColor(0x000000FF);
    uc.Font(StdFont::create("Liberation Sans", 12));
    uc.CurrentX(2);
    uc.CurrentY(3);
    uc.Print("Hi");
    EXPECT_EQ(uc.CurrentX(), 0);
    EXPECT_GT(uc.CurrentY(), 10);
    int red = 0, other = 0;
    auto& s = uc.canvas().pixels();
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            uint32_t p = s.pixel(x, y) & 0xFFFFFF;
            red += p == 0x0000FF;
            other += p != 0x0000FF && p != 0xFFFFFF && (p & 0xFF) < 0x80;
        }
    }
    EXPECT_GT(red, 5);
    EXPECT_EQ(other, 0); // no background box: only text colour over white
}

TEST_F(Surfaces, OnlyChangedPixelsArePresented)
{
    auto& uc = add("UC", 10, 10, 20, 20);
    uc.BackColor(0x000000FF);
    host->show(*form);
    int frames = host->presented_frame_count();
    long pixels = headless->presented_pixels();
    uc.Refresh(); // the same pixels again
    host->present_pending();
    EXPECT_EQ(host->presented_frame_count(), frames);
    uc.canvas().pixels().set_pixel(3, 4, 0x00FF0000);
    uc.Refresh();
    host->present_pending();
    EXPECT_EQ(host->presented_frame_count(), frames + 1);
    EXPECT_EQ(headless->presented_pixels(), pixels + 1);
    EXPECT_EQ(headless->screen().pixel(13, 14) & 0xFFFFFF, 0x00FF0000u);
}

TEST_F(Surfaces, ImagesShowPicturesWithTransparencyAndHoldersShowNothing)
{
    auto picture = LoadPictureFromMemory(two_image_icon(), "two.ico").release_value();
    auto& shown = form->add<Image>("Image1");
    shown.Move(0, 0, 4 * 15, 4 * 15);
    shown.Picture(picture);
    auto& holder = form->add<Image>("Holder");
    holder.Move(100 * 15, 0, 4 * 15, 4 * 15);
    holder.Visible(false);
    holder.Picture(picture);
    host->show(*form);
    EXPECT_EQ(headless->screen().pixel(1, 1) & 0xFFFFFF, 0x0000FF00u);
    EXPECT_EQ(headless->screen().pixel(0, 3) & 0xFFFFFF, 0x00FFFFFFu); // the form shows through
    EXPECT_EQ(headless->screen().pixel(101, 1) & 0xFFFFFF, 0x00FFFFFFu);
    EXPECT_EQ(host->window_at({1, 1}), form.get()); // an image takes no input
}

TEST_F(Surfaces, PictureBoxesKeepWhatIsDrawnUntilTheNextPicture)
{
    auto& uc = add("UC", 0, 0, 50, 50);
    PictureBox box(uc, "Picture1");
    box.Move(0, 0, 13 * 15, 13 * 15);
    auto picture = LoadPictureFromMemory(small_bmp(), "small.bmp").release_value();
    box.Picture(picture);
    EXPECT_EQ(box.canvas().pixels().pixel(0, 0) & 0xFFFFFF, 0x0000FFu);
    gdi::SetPixelV(box.hDC(), 5, 5, 0x00ABCDEF);
    box.Picture(picture); // the same picture: nothing redrawn
    EXPECT_EQ(box.canvas().pixels().pixel(5, 5) & 0xFFFFFF, 0xABCDEFu);
    box.Picture(nullptr);
    EXPECT_NE(box.canvas().pixels().pixel(5, 5) & 0xFFFFFF, 0xABCDEFu);
}
