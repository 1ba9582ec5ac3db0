#include "platform/gdi/Gdi.h"
#include "platform/gdi/text/FaceName.h"
#include "platform/gdi/text/FontCache.h"
#include "platform/gdi/text/FontResolver.h"
#include "tests/platform/gdi/text/TextTestSupport.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

using namespace sorrel::gdi;
using sorrel::gdi::test::font_description;
using sorrel::gdi::test::FontFixture;

TEST(FaceName, StyleWordsAtTheEndSelectTheStyle)
{
    auto bold_italic = FaceName::parse("Times New Roman Bold Italic");
    EXPECT_EQ(bold_italic.family, "Times New Roman");
    EXPECT_TRUE(bold_italic.bold);
    EXPECT_TRUE(bold_italic.italic);

    auto mixed = FaceName::parse("  Arial italic BOLD ");
    EXPECT_EQ(mixed.family, "Arial");
    EXPECT_TRUE(mixed.bold);
    EXPECT_TRUE(mixed.italic);

    // A style word that is the whole name, or is glued to the family, is part of the family.
    auto bare = FaceName::parse("Bold");
    EXPECT_EQ(bare.family, "Bold");
    EXPECT_FALSE(bare.bold);
    EXPECT_EQ(FaceName::parse("ArialBold").family, "ArialBold");
}

TEST(FontResolution, WindowsFacesResolveToMetricCompatibleFaces)
{
    auto family_of = [](const char* name) {
        return FontCache::the().font(name, -12, false, false)->face().family_name();
    };
    EXPECT_EQ(family_of("Times New Roman"), "Liberation Serif");
    EXPECT_EQ(family_of("Arial"), "Liberation Sans");
    EXPECT_EQ(family_of("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(family_of("courier new"), "Liberation Mono");
    EXPECT_EQ(family_of("No Such Face Anywhere"), "Liberation Sans");
    EXPECT_EQ(family_of(""), "Liberation Sans");
}

TEST(FontResolution, StyleComesFromTheNameOrTheFields)
{
    FontFixture plain(font_description("Times New Roman", -16));
    EXPECT_EQ(plain.metrics().tmWeight, FW_NORMAL);
    EXPECT_EQ(plain.metrics().tmItalic, 0);

    FontFixture named(font_description("Times New Roman Bold Italic", -16));
    EXPECT_EQ(named.metrics().tmWeight, FW_BOLD);
    EXPECT_NE(named.metrics().tmItalic, 0);

    LOGFONTA by_fields = font_description("Arial", -16);
    by_fields.lfWeight = FW_BOLD;
    by_fields.lfItalic = 1;
    FontFixture fields(by_fields);
    EXPECT_EQ(fields.metrics().tmWeight, FW_BOLD);
    EXPECT_NE(fields.metrics().tmItalic, 0);

    LOGFONTA semi_light = font_description("Arial", -16);
    semi_light.lfWeight = 500;
    FontFixture medium(semi_light);
    EXPECT_EQ(medium.metrics().tmWeight, FW_NORMAL);
}

TEST(FontResolution, PitchAndFamilyMarkOutlineFonts)
{
    FontFixture serif(font_description("Times New Roman", -12));
    FontFixture sans(font_description("MS Sans Serif", -12));
    FontFixture mono(font_description("Courier New", -12));
    BYTE serif_bits = serif.metrics().tmPitchAndFamily;
    EXPECT_EQ(serif_bits & 0xF0, FF_ROMAN);
    EXPECT_EQ(sans.metrics().tmPitchAndFamily & 0xF0, FF_SWISS);
    EXPECT_EQ(mono.metrics().tmPitchAndFamily & 0xF0, FF_MODERN);
    EXPECT_TRUE(serif_bits & TMPF_TRUETYPE);
    EXPECT_TRUE(serif_bits & TMPF_VECTOR);
    // The "fixed pitch" bit means the opposite of its name.
    EXPECT_TRUE(serif_bits & TMPF_FIXED_PITCH);
    EXPECT_FALSE(mono.metrics().tmPitchAndFamily & TMPF_FIXED_PITCH);
    EXPECT_GE(serif_bits, 4);
}

TEST(FontResolution, HeightIsCharacterHeightWhenNegativeAndCellHeightWhenPositive)
{
    for (LONG size : {8, 11, 13, 16, 24, 40}) {
        FontFixture character(font_description("Arial", -size));
        TEXTMETRICA tm = character.metrics();
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, size) << size;
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent) << size;

        FontFixture cell(font_description("Times New Roman", size));
        EXPECT_NEAR(cell.metrics().tmHeight, size, 1) << size;
        EXPECT_LT(cell.metrics().tmHeight - cell.metrics().tmInternalLeading, size) << size;
    }
    FontFixture default_size(font_description("Arial", 0));
    FontFixture sixteen(font_description("Arial", 16));
    EXPECT_EQ(default_size.metrics().tmHeight, sixteen.metrics().tmHeight);
}

TEST(FontResolution, OddDescriptionsStillGiveAFont)
{
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);

    for (LONG height : {INT_MIN, -100000, INT_MAX}) {
        FontFixture huge(font_description("Arial", height));
        ASSERT_NE(huge.font, nullptr);
        EXPECT_GT(huge.metrics().tmHeight, 0);
    }

    // A face name that fills the field has no terminator.
    LOGFONTA full = font_description("", -12);
    std::memset(full.lfFaceName, 'x', LF_FACESIZE);
    FontFixture unterminated(full);
    ASSERT_NE(unterminated.font, nullptr);
    EXPECT_EQ(unterminated.metrics().tmPitchAndFamily & 0xF0, FF_SWISS);
}

TEST(FontResolution, FilesThatAreNotFontsAreRefused)
{
    auto path = std::filesystem::temp_directory_path() / "sorrel-text-not-a-font.ttf";
    std::ofstream(path) << "this is no font";
    FT_LibraryRec_* library = FontCache::the().library();
    EXPECT_EQ(FontFace::load(library, {path.string(), 0}), nullptr);
    EXPECT_EQ(FontFace::load(library, {"/nonexistent/font.ttf", 0}), nullptr);
    EXPECT_EQ(Font::create(nullptr, -12), nullptr);
    std::filesystem::remove(path);
}

// The bytes of the file that the system gives for a face, from its path or as the system hands them.
static std::vector<unsigned char> bytes_of(const FontFile& file)
{
    if (file.data)
        return *file.data;
    std::ifstream in(file.path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(FontResolution, AFaceLoadedFromBytesKeepsThemAndDrawsAsFromTheFile)
{
    FontResolver resolver;
    auto bytes = bytes_of(resolver.candidates(FaceName::parse("Times New Roman")).front());
    ASSERT_GT(bytes.size(), 1000u);
    auto shared = std::make_shared<const std::vector<unsigned char>>(bytes);
    std::weak_ptr<const std::vector<unsigned char>> watch = shared;
    auto face = FontFace::load(FontCache::the().library(), {"copy", 0, std::move(shared)});
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->family_name(), "Liberation Serif");
    auto font = Font::create(std::move(face), -16);
    ASSERT_NE(font, nullptr);
    EXPECT_FALSE(watch.expired());

    auto same = FontCache::the().font("Times New Roman", -16, false, false);
    EXPECT_EQ(font->text_width("Begin Scan"), same->text_width("Begin Scan"));
    const Glyph& mine = font->glyph('g', Rotation::None);
    const Glyph& theirs = same->glyph('g', Rotation::None);
    EXPECT_EQ(mine.dx, theirs.dx);
    EXPECT_EQ(mine.dy, theirs.dy);
    EXPECT_EQ(mine.coverage, theirs.coverage);
    font.reset();
    EXPECT_TRUE(watch.expired());

    // Bytes cut short, or a face index the file does not have, load nothing.
    auto cut = std::make_shared<const std::vector<unsigned char>>(bytes.begin(), bytes.begin() + 100);
    EXPECT_EQ(FontFace::load(FontCache::the().library(), {"cut", 0, cut}), nullptr);
    auto whole = std::make_shared<const std::vector<unsigned char>>(bytes);
    EXPECT_EQ(FontFace::load(FontCache::the().library(), {"whole", 3, whole}), nullptr);
}
