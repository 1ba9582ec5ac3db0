#include "platform/gdi/text/SystemFonts.h"

#include "platform/gdi/text/FaceName.h"
#include "platform/gdi/text/FontCache.h"
#include "platform/gdi/text/FontResolver.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

using namespace sorrel::gdi;

using Bytes = std::vector<unsigned char>;

static Bytes read_file(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The test prefix maps the Windows faces to the Liberation files that the Linux build draws with.
TEST(GdiFonts, WindowsFacesAreTheLinuxFilesThroughTheSystemsSubstitutes)
{
    const std::filesystem::path liberation = "Z:/usr/share/fonts/truetype/liberation2";
    const std::pair<const char*, const char*> faces[] {
        {"Times New Roman", "LiberationSerif-Regular.ttf"},
        {"Times New Roman Bold Italic", "LiberationSerif-BoldItalic.ttf"},
        {"MS Sans Serif", "LiberationSans-Regular.ttf"},
        {"Arial Bold", "LiberationSans-Bold.ttf"},
        {"Courier New", "LiberationMono-Regular.ttf"},
        {"System", "LiberationSans-Regular.ttf"},
        {"No Such Face Anywhere", "LiberationSans-Regular.ttf"},
    };
    FontResolver resolver;
    for (auto [name, file] : faces) {
        auto candidates = resolver.candidates(FaceName::parse(name));
        ASSERT_FALSE(candidates.empty()) << name;
        ASSERT_NE(candidates.front().data, nullptr) << name;
        EXPECT_EQ(*candidates.front().data, read_file(liberation / file)) << name;
        EXPECT_EQ(live_font_query_objects(), 0) << name;
    }

    // A substitute counts as the name asked for; a name the system lacks only as the closest face.
    EXPECT_TRUE(match_family(nullptr, "Times New Roman", false, false, Match::SameFamily));
    EXPECT_FALSE(match_family(nullptr, "No Such Face Anywhere", false, false, Match::SameFamily));
    EXPECT_TRUE(match_family(nullptr, "No Such Face Anywhere", false, false, Match::ClosestFace));
    EXPECT_FALSE(match_family(nullptr, std::string(40, 'x'), false, false, Match::SameFamily));
    EXPECT_EQ(live_font_query_objects(), 0);

    // The substitute and the face it stands for are one file, loaded once.
    auto serif = match_family(nullptr, "Liberation Serif", false, false);
    ASSERT_TRUE(serif);
    EXPECT_EQ(resolver.candidates(FaceName::parse("Times New Roman")).front(), *serif);
    EXPECT_EQ(&FontCache::the().font("Times New Roman", -12, false, false)->face(),
        &FontCache::the().font("Liberation Serif", -12, false, false)->face());
}

// A collection holding `fonts`, each renamed to the family beside it; every table is kept as it
// is but the name table, which is made anew.
static Bytes collection_of(const std::vector<std::pair<Bytes, std::string>>& fonts)
{
    auto read = [](const Bytes& b, size_t at, int count) {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i)
            value = value << 8 | b[at + i];
        return value;
    };
    auto put = [](Bytes& b, size_t at, uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i, value >>= 8)
            b[at + i] = uint8_t(value);
    };
    auto append = [&](Bytes& b, uint32_t value, int count) {
        b.resize(b.size() + count);
        put(b, b.size() - count, value, count);
    };
    auto name_table = [&](const std::string& family) {
        const std::string names[] {family, "Regular", family, family.substr(0, family.find(' '))};
        const uint16_t ids[] {1, 2, 4, 6};
        Bytes table;
        append(table, 0, 2);
        append(table, 4, 2);
        append(table, 6 + 12 * 4, 2);
        Bytes strings;
        for (int i = 0; i < 4; ++i) {
            for (uint32_t value :
                {3u, 1u, 0x409u, uint32_t(ids[i]), uint32_t(names[i].size() * 2), uint32_t(strings.size())})
                append(table, value, 2);
            for (char c : names[i])
                append(strings, uint8_t(c), 2); // UTF-16, big-endian
        }
        table.insert(table.end(), strings.begin(), strings.end());
        return table;
    };

    Bytes out;
    append(out, 0x74746366, 4); // "ttcf"
    append(out, 0x00010000, 4);
    append(out, uint32_t(fonts.size()), 4);
    size_t directories = out.size() + 4 * fonts.size();
    for (auto& [font, family] : fonts) {
        append(out, uint32_t(directories), 4);
        directories += 12 + 16 * read(font, 4, 2);
    }
    out.resize(directories);
    size_t directory = 12 + 4 * fonts.size();
    for (auto& [font, family] : fonts) {
        size_t tables = read(font, 4, 2);
        std::copy(font.begin(), font.begin() + 12 + 16 * tables, out.begin() + directory);
        for (size_t t = 0; t < tables; ++t) {
            size_t record = directory + 12 + 16 * t;
            Bytes table(font.begin() + read(font, 12 + 16 * t + 8, 4),
                font.begin() + read(font, 12 + 16 * t + 8, 4) + read(font, 12 + 16 * t + 12, 4));
            if (read(font, 12 + 16 * t, 4) == 0x6E616D65) // "name"
                table = name_table(family);
            put(out, record + 8, uint32_t(out.size()), 4);
            put(out, record + 12, uint32_t(table.size()), 4);
            out.insert(out.end(), table.begin(), table.end());
            out.resize((out.size() + 3) & ~size_t(3));
        }
        directory += 12 + 16 * tables;
    }
    return out;
}

TEST(GdiFonts, AFaceOfACollectionIsTheWholeCollectionAndItsIndex)
{
    const std::filesystem::path liberation = "Z:/usr/share/fonts/truetype/liberation2";
    Bytes collection = collection_of({
        {read_file(liberation / "LiberationSerif-Regular.ttf"), "Sorrel Collection Serif"},
        {read_file(liberation / "LiberationMono-Regular.ttf"), "Sorrel Collection Mono"},
    });
    auto path = std::filesystem::temp_directory_path() / "sorrel-collection.ttc";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(collection.data()), collection.size());
    ASSERT_EQ(AddFontResourceExW(path.c_str(), FR_PRIVATE, nullptr), 2);

    auto serif = match_family(nullptr, "Sorrel Collection Serif", false, false);
    auto mono = match_family(nullptr, "Sorrel Collection Mono", false, false);
    RemoveFontResourceExW(path.c_str(), FR_PRIVATE, nullptr);
    std::filesystem::remove(path);
    EXPECT_EQ(live_font_query_objects(), 0);
    ASSERT_TRUE(serif);
    ASSERT_TRUE(mono);
    EXPECT_EQ(serif->index, 0);
    EXPECT_EQ(mono->index, 1);
    EXPECT_EQ(*mono->data, collection);
    EXPECT_EQ(serif->path, mono->path);

    auto face = FontFace::load(FontCache::the().library(), *mono);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->family_name(), "Sorrel Collection Mono");
    EXPECT_TRUE(face->design().fixed_pitch);
}

// The window's two fonts at their size: the face the system's font mapper gives a program that
// asks for them as they are, and the outline face that Sorrel draws them with. On Windows XP "MS
// Sans Serif" is a bitmap font, whose file GDI does not hand out; Sorrel then draws with the
// closest outline face. The faces are printed, for the Windows the tests run under.
TEST(GdiFonts, TheWindowsFontsAreDrawnWithAnOutlineFace)
{
    FontResolver resolver;
    for (const wchar_t* name : {L"MS Sans Serif", L"Times New Roman"}) {
        LOGFONTW description {};
        description.lfHeight = -11; // 8.25 points at 96 dots per inch
        std::wcsncpy(description.lfFaceName, name, LF_FACESIZE - 1);
        HDC dc = CreateCompatibleDC(nullptr);
        HFONT font = CreateFontIndirectW(&description);
        HGDIOBJ previous = SelectObject(dc, font);
        wchar_t mapped[LF_FACESIZE] {};
        GetTextFaceW(dc, LF_FACESIZE, mapped);
        TEXTMETRICW metrics {};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        DeleteObject(font);
        DeleteDC(dc);

        std::string narrow(name, name + std::wcslen(name));
        auto candidates = resolver.candidates(FaceName::parse(narrow));
        ASSERT_FALSE(candidates.empty()) << narrow;
        ASSERT_NE(candidates.front().data, nullptr) << narrow;
        auto face = FontFace::load(FontCache::the().library(), candidates.front());
        ASSERT_NE(face, nullptr) << narrow;
        std::string shown(mapped, mapped + std::wcslen(mapped));
        std::printf("%s: the font mapper gives \"%s\" (%s); Sorrel draws with \"%s\"\n", narrow.c_str(),
            shown.c_str(), (metrics.tmPitchAndFamily & TMPF_TRUETYPE) ? "TrueType" : "not an outline font",
            face->family_name().c_str());
        EXPECT_FALSE(face->family_name().empty());
    }
}
