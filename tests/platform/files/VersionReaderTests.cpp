#include "platform/files/VersionReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <vector>

using namespace sorrel::files;

namespace {

std::string const data_folder = SORREL_FILES_TEST_DATA;

std::vector<std::uint8_t> load(std::string const& name)
{
    std::ifstream in(data_folder + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string version_of(std::vector<std::uint8_t> const& bytes)
{
    MemorySource source(bytes);
    auto version = read_version(source);
    EXPECT_FALSE(version.is_error());
    return version.is_error() ? "<error>" : version.value();
}

std::uint32_t get32(std::vector<std::uint8_t> const& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t {b[at + 3]} << 24);
}
void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

// Where the structures of exe64_basic.exe lie, found the plain way (the file is well formed).
struct Layout {
    std::size_t pe, optional, sections, section_count, resources, rsrc_va, rsrc_raw;
    std::size_t type_entry, name_entry, language_entry, data_entry, block;

    explicit Layout(std::vector<std::uint8_t> const& b)
    {
        pe = get32(b, 0x3C);
        optional = pe + 24;
        section_count = b[pe + 6] | (b[pe + 7] << 8);
        sections = optional + (b[pe + 20] | (b[pe + 21] << 8));
        std::uint32_t rva = get32(b, optional + 112 + 16);
        for (std::size_t i = 0; i < section_count; ++i) {
            std::size_t s = sections + 40 * i;
            if (get32(b, s + 12) == rva) {
                rsrc_va = rva;
                rsrc_raw = get32(b, s + 20);
            }
        }
        resources = rsrc_raw;
        type_entry = resources + 16;
        name_entry = resources + (get32(b, type_entry + 4) & 0x7FFFFFFF) + 16;
        language_entry = resources + (get32(b, name_entry + 4) & 0x7FFFFFFF) + 16;
        data_entry = resources + get32(b, language_entry + 4);
        block = get32(b, data_entry) - rsrc_va + rsrc_raw;
    }
};

struct VersionEntry {
    std::uint32_t name;
    std::uint32_t language;
    std::uint32_t ms, ls; // the file version's two words
};

// A minimal PE32+ image whose one section holds version resources with the given names and
// languages, entries in the order given (names grouped).
std::vector<std::uint8_t> build_image(std::vector<VersionEntry> const& entries)
{
    std::vector<std::uint32_t> names;
    for (auto const& e : entries) {
        if (std::find(names.begin(), names.end(), e.name) == names.end())
            names.push_back(e.name);
    }
    std::vector<std::uint8_t> rsrc(24 + 16 + 8 * names.size());
    auto directory
        = [&](std::size_t at, std::size_t count) { put16(rsrc, at + 14, static_cast<std::uint16_t>(count)); };
    directory(0, 1);
    put32(rsrc, 16, 16);
    put32(rsrc, 20, 0x80000000u | 24);
    directory(24, names.size());
    std::vector<std::pair<std::size_t, VersionEntry>> data_entries; // entry slot, what it holds
    for (std::size_t n = 0; n < names.size(); ++n) {
        std::size_t language_dir = rsrc.size();
        put32(rsrc, 24 + 16 + 8 * n, names[n]);
        put32(rsrc, 24 + 16 + 8 * n + 4, 0x80000000u | static_cast<std::uint32_t>(language_dir));
        std::vector<VersionEntry> languages;
        for (auto const& e : entries) {
            if (e.name == names[n])
                languages.push_back(e);
        }
        rsrc.resize(rsrc.size() + 16 + 8 * languages.size());
        directory(language_dir, languages.size());
        for (std::size_t l = 0; l < languages.size(); ++l) {
            put32(rsrc, language_dir + 16 + 8 * l, languages[l].language);
            data_entries.emplace_back(language_dir + 16 + 8 * l + 4, languages[l]);
        }
    }
    for (auto const& [slot, entry] : data_entries) {
        std::size_t data = rsrc.size();
        put32(rsrc, slot, static_cast<std::uint32_t>(data));
        rsrc.resize(data + 16 + 92);
        std::size_t block = data + 16;
        put32(rsrc, data, 0x1000 + static_cast<std::uint32_t>(block));
        put32(rsrc, data + 4, 92);
        put16(rsrc, block, 92);
        put16(rsrc, block + 2, 52);
        std::string key = "VS_VERSION_INFO";
        for (std::size_t i = 0; i < key.size(); ++i)
            rsrc[block + 6 + 2 * i] = static_cast<std::uint8_t>(key[i]);
        put32(rsrc, block + 40, 0xFEEF04BD);
        put32(rsrc, block + 48, entry.ms);
        put32(rsrc, block + 52, entry.ls);
    }
    rsrc.resize((rsrc.size() + 511) / 512 * 512);

    std::vector<std::uint8_t> image(512 + rsrc.size());
    std::copy(rsrc.begin(), rsrc.end(), image.begin() + 512);
    image[0] = 'M';
    image[1] = 'Z';
    put32(image, 0x3C, 64);
    put32(image, 64, 0x00004550);
    put16(image, 64 + 4, 0x8664);
    put16(image, 64 + 6, 1);
    put16(image, 64 + 20, 240);
    std::size_t optional = 64 + 24;
    put16(image, optional, 0x20B);
    put32(image, optional + 108, 16);
    put32(image, optional + 128, 0x1000);
    put32(image, optional + 132, static_cast<std::uint32_t>(rsrc.size()));
    std::size_t section = optional + 240;
    put32(image, section + 8, static_cast<std::uint32_t>(rsrc.size()));
    put32(image, section + 12, 0x1000);
    put32(image, section + 16, static_cast<std::uint32_t>(rsrc.size()));
    put32(image, section + 20, 512);
    return image;
}

} // namespace

TEST(VersionReader, MatchesWhatWindowsReportsForEveryFixture)
{
    std::ifstream expected(data_folder + "/expected.tsv");
    std::string line;
    int checked = 0;
    while (std::getline(expected, line)) {
        auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        auto name = line.substr(0, tab);
        std::uint64_t bytes_read = 0;
        auto version = read_file_version(data_folder + "/" + name, &bytes_read);
        ASSERT_FALSE(version.is_error()) << name << ": " << version.error().message;
        EXPECT_EQ(version.value(), line.substr(tab + 1)) << name;
        EXPECT_LE(bytes_read, 8192u) << name;
        ++checked;
    }
    EXPECT_EQ(checked, 14);
}

TEST(VersionReader, MissingFileOrFolderIsAFailure)
{
    auto missing = read_file_version(data_folder + "/no-such-file.exe");
    ASSERT_TRUE(missing.is_error());
    EXPECT_EQ(missing.error().code, ENOENT);
    EXPECT_TRUE(read_file_version(data_folder).is_error());
}

TEST(VersionReader, EveryCutOfTheFileGivesEmptyOrTheVersion)
{
    auto bytes = load("exe64_basic.exe");
    // The resource section is the file's last: any cut leaves it incomplete, and Windows reads
    // nothing from an image it can't load whole.
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(version_of(cut), "") << "cut at " << size;
    }
    EXPECT_EQ(version_of(bytes), "4.7.3001.0");
}

TEST(VersionReader, DamagedStructuresGiveTheEmptyText)
{
    auto original = load("exe64_basic.exe");
    Layout at(original);
    ASSERT_EQ(version_of(original), "4.7.3001.0");

    struct Damage {
        char const* what;
        std::function<void(std::vector<std::uint8_t>&)> apply;
    };
    std::vector<Damage> damages {
        {"no MZ", [](auto& b) { b[0] = 'X'; }},
        {"e_lfanew past the end", [](auto& b) { put32(b, 0x3C, 0xFFFFFFF0); }},
        {"no PE signature", [&](auto& b) { b[at.pe] = 'X'; }},
        {"unknown optional header", [&](auto& b) { put16(b, at.optional, 0x999); }},
        {"optional header too short", [&](auto& b) { put16(b, at.pe + 20, 100); }},
        {"too few data directories", [&](auto& b) { put32(b, at.optional + 108, 2); }},
        {"no sections", [&](auto& b) { put16(b, at.pe + 6, 0); }},
        {"absurd section count", [&](auto& b) { put16(b, at.pe + 6, 0xFFFF); }},
        {"resource address outside every section", [&](auto& b) { put32(b, at.optional + 128, 0x7FFF0000); }},
        {"absurd entry count",
            [&](auto& b) {
                put16(b, at.resources + 12, 0xFFFF);
                put16(b, at.resources + 14, 0xFFFF);
            }},
        {"type entry pointing at the root", [&](auto& b) { put32(b, at.type_entry + 4, 0x80000000); }},
        {"name entry pointing at its own directory",
            [&](auto& b) { put32(b, at.name_entry + 4, get32(b, at.type_entry + 4)); }},
        {"language entry is a directory",
            [&](auto& b) { put32(b, at.language_entry + 4, 0x80000000 | 0x18); }},
        {"type entry is data", [&](auto& b) { put32(b, at.type_entry + 4, 0x10); }},
        {"no type 16", [&](auto& b) { put32(b, at.type_entry, 17); }},
        {"name is not 1", [&](auto& b) { put32(b, at.name_entry, 2); }},
        {"data address outside every section", [&](auto& b) { put32(b, at.data_entry, 0x90000000); }},
        {"data size zero", [&](auto& b) { put32(b, at.data_entry + 4, 0); }},
        {"data size past the section", [&](auto& b) { put32(b, at.data_entry + 4, 0xFFFFFFFF); }},
        {"block length zero", [&](auto& b) { put16(b, at.block, 0); }},
        {"value length below 52", [&](auto& b) { put16(b, at.block + 2, 51); }},
        {"wrong signature", [&](auto& b) { put32(b, at.block + 40, 0xFEEF04BC); }},
        {"key without its end",
            [&](auto& b) {
                for (std::size_t i = at.block + 6; i < at.block + 472; ++i)
                    b[i] = 'A';
            }},
    };
    for (auto const& damage : damages) {
        auto bytes = original;
        damage.apply(bytes);
        EXPECT_EQ(version_of(bytes), "") << damage.what;
    }
}

TEST(VersionReader, ReadsSixteenBitLayoutAndOtherLanguages)
{
    auto bytes = load("exe64_basic.exe");
    Layout at(bytes);
    // A language other than neutral or US English is taken when it is the only one.
    put32(bytes, at.language_entry, 0x407);
    EXPECT_EQ(version_of(bytes), "4.7.3001.0");

    // The 16-bit layout: one-byte key right after the two lengths, value 32-bit aligned.
    std::vector<std::uint8_t> block(4 + 16 + 52, 0);
    put16(block, 0, static_cast<std::uint16_t>(block.size()));
    put16(block, 2, 52);
    std::string key = "VS_VERSION_INFO";
    std::copy(key.begin(), key.end(), block.begin() + 4);
    put32(block, 20, 0xFEEF04BD);
    put32(block, 28, 0x00010002);
    put32(block, 32, 0x00030004);
    std::copy(block.begin(), block.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at.block));
    EXPECT_EQ(version_of(bytes), "1.2.3.4");
}

TEST(VersionReader, TakesNameOneAndTheLanguageWindowsWouldTake)
{
    // The name must be 1, as Windows looks it up; another name alone is no version at all.
    EXPECT_EQ(version_of(build_image({{102, 0x409, 0x10001, 0xE}})), "");
    EXPECT_EQ(version_of(build_image({{102, 0x409, 0x10001, 0xE}, {1, 0x409, 0x20003, 0x40005}})), "2.3.4.5");

    // Neutral first, then US English, then whichever comes first.
    EXPECT_EQ(version_of(build_image({{1, 0x407, 0x10000, 0}, {1, 0x409, 0x20000, 0}})), "2.0.0.0");
    EXPECT_EQ(version_of(build_image({{1, 0x409, 0x20000, 0}, {1, 0x000, 0x30000, 0}})), "3.0.0.0");
    EXPECT_EQ(version_of(build_image({{1, 0x407, 0x10000, 0}, {1, 0x40C, 0x20000, 0}})), "1.0.0.0");
}
