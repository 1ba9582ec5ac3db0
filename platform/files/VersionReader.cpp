#include "platform/files/VersionReader.h"

#include "platform/files/FileSource.h"

#include <array>
#include <optional>
#include <vector>

// The walk from the file's first byte to the fixed file information:
//   DOS header "MZ" -> e_lfanew -> "PE\0\0" + file header + optional header (PE32 or PE32+)
//   -> resource data directory -> section table (to turn addresses into file offsets)
//   -> resource directory: type 16 (version) -> name 1 -> a language -> data entry
//   -> version block: wLength, wValueLength, wType, key "VS_VERSION_INFO", 32-bit aligned value
//   -> fixed file information, signature 0xFEEF04BD, file version in the next two words.

namespace sorrel::files {

namespace {

constexpr std::uint32_t version_resource_type = 16;
constexpr std::uint32_t version_resource_name = 1;
constexpr std::uint32_t fixed_info_signature = 0xFEEF04BD;
constexpr std::size_t fixed_info_size = 52;
constexpr std::size_t max_sections = 96; // the most the Windows loader accepts
constexpr std::size_t max_directory_entries = 4096; // far beyond any real resource directory
constexpr std::size_t max_version_block = 0xFFFF; // wLength is 16 bits

std::uint16_t le16(std::uint8_t const* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t le32(std::uint8_t const* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

struct Section {
    std::uint64_t virtual_address;
    std::uint64_t raw_size;
    std::uint64_t raw_offset;
};

struct DirectoryEntry {
    std::uint32_t name;
    std::uint32_t target;
    bool has_id() const { return (name & 0x80000000u) == 0; }
    bool is_directory() const { return (target & 0x80000000u) != 0; }
    std::uint32_t offset() const { return target & 0x7FFFFFFFu; }
};

// Walks one image. Each step returns false when the structure is absent or damaged, or when
// reading failed; the latter also sets m_io_error.
class VersionParser {
public:
    explicit VersionParser(ByteSource& source)
        : m_source(source)
    { }

    Result<std::string> run()
    {
        auto version = find_version();
        if (m_io_error)
            return *m_io_error;
        return version.value_or(std::string {});
    }

private:
    bool read(std::uint64_t offset, std::span<std::uint8_t> buffer)
    {
        auto result = m_source.read_at(offset, buffer);
        if (result.is_error()) {
            m_io_error = result.error();
            return false;
        }
        return result.value();
    }

    // File offset of `length` bytes at `rva`, when they lie wholly in one section's file data.
    // Like Windows, which won't load a cut image, we only use sections that the file holds whole.
    std::optional<std::uint64_t> map(std::uint64_t rva, std::uint64_t length) const
    {
        for (auto const& section : m_sections) {
            if (rva < section.virtual_address || section.raw_offset + section.raw_size > m_source.size())
                continue;
            std::uint64_t delta = rva - section.virtual_address;
            if (delta >= section.raw_size || length > section.raw_size - delta)
                continue;
            return section.raw_offset + delta;
        }
        return std::nullopt;
    }

    bool read_rva(std::uint64_t rva, std::span<std::uint8_t> buffer)
    {
        auto offset = map(rva, buffer.size());
        return offset && read(*offset, buffer);
    }

    std::optional<std::string> find_version()
    {
        std::array<std::uint8_t, 64> dos {};
        if (!read(0, dos) || dos[0] != 'M' || dos[1] != 'Z')
            return std::nullopt;
        std::uint64_t pe = le32(&dos[0x3C]);

        std::array<std::uint8_t, 24> header {};
        if (!read(pe, header) || le32(header.data()) != 0x00004550)
            return std::nullopt;
        std::size_t section_count = le16(&header[6]);
        std::size_t optional_size = le16(&header[20]);

        auto resources = resource_directory(pe + header.size(), optional_size);
        if (!resources)
            return std::nullopt;
        if (section_count == 0 || section_count > max_sections)
            return std::nullopt;
        if (!read_sections(pe + header.size() + optional_size, section_count))
            return std::nullopt;

        auto data_entry = find_resource(*resources);
        if (!data_entry)
            return std::nullopt;
        return version_from_block(*data_entry);
    }

    // The resource table's address from the optional header's data directories.
    std::optional<std::uint64_t> resource_directory(std::uint64_t offset, std::size_t optional_size)
    {
        std::array<std::uint8_t, 240> optional {};
        std::size_t length = std::min(optional_size, optional.size());
        if (length < 2 || !read(offset, std::span(optional).first(length)))
            return std::nullopt;
        std::size_t count_at = 0;
        switch (le16(optional.data())) {
        case 0x10B:
            count_at = 92;
            break;
        case 0x20B:
            count_at = 108;
            break;
        default:
            return std::nullopt;
        }
        std::size_t entry_at = count_at + 4 + 2 * 8; // the third directory holds the resources
        if (length < entry_at + 8 || le32(&optional[count_at]) < 3)
            return std::nullopt;
        std::uint32_t rva = le32(&optional[entry_at]);
        std::uint32_t size = le32(&optional[entry_at + 4]);
        if (rva == 0 || size == 0)
            return std::nullopt;
        return rva;
    }

    bool read_sections(std::uint64_t offset, std::size_t count)
    {
        std::vector<std::uint8_t> table(count * 40);
        if (!read(offset, table))
            return false;
        for (std::size_t i = 0; i < count; ++i) {
            std::uint8_t const* s = &table[i * 40];
            m_sections.push_back({le32(s + 12), le32(s + 16), le32(s + 20)});
        }
        return true;
    }

    std::optional<std::vector<DirectoryEntry>> read_directory(std::uint64_t rva)
    {
        std::array<std::uint8_t, 16> header {};
        if (!read_rva(rva, header))
            return std::nullopt;
        std::size_t count = std::size_t {le16(&header[12])} + le16(&header[14]);
        if (count > max_directory_entries)
            return std::nullopt;
        std::vector<std::uint8_t> raw(count * 8);
        if (!read_rva(rva + header.size(), raw))
            return std::nullopt;
        std::vector<DirectoryEntry> entries;
        for (std::size_t i = 0; i < count; ++i)
            entries.push_back({le32(&raw[i * 8]), le32(&raw[i * 8 + 4])});
        return entries;
    }

    static std::optional<DirectoryEntry> find_id(std::vector<DirectoryEntry> const& entries, std::uint32_t id)
    {
        for (auto const& entry : entries) {
            if (entry.has_id() && entry.name == id)
                return entry;
        }
        return std::nullopt;
    }

    // The language the Windows resource loader takes when none is asked for, on an English
    // system: neutral (plain, default, system default), then US English, then the first listed.
    // The name, though, must be 1: the loader looks that one up, not the first listed.
    static std::optional<DirectoryEntry> pick_language(std::vector<DirectoryEntry> const& entries)
    {
        for (std::uint32_t language : {0x0000u, 0x0400u, 0x0800u, 0x0409u}) {
            if (auto entry = find_id(entries, language))
                return entry;
        }
        if (entries.empty())
            return std::nullopt;
        return entries.front();
    }

    // The resource's data entry: type 16, name 1, a language; three levels, never more.
    std::optional<std::array<std::uint8_t, 16>> find_resource(std::uint64_t root)
    {
        std::vector<std::uint32_t> visited {0};
        std::uint64_t directory = root;
        std::optional<DirectoryEntry> entry;
        for (int level = 0; level < 3; ++level) {
            auto entries = read_directory(directory);
            if (!entries)
                return std::nullopt;
            if (level == 0)
                entry = find_id(*entries, version_resource_type);
            else if (level == 1)
                entry = find_id(*entries, version_resource_name);
            else
                entry = pick_language(*entries);
            if (!entry)
                return std::nullopt;
            bool last = level == 2;
            if (entry->is_directory() == last)
                return std::nullopt;
            if (!last) {
                // A directory that points back at one already walked is a cycle.
                if (std::find(visited.begin(), visited.end(), entry->offset()) != visited.end())
                    return std::nullopt;
                visited.push_back(entry->offset());
                directory = root + entry->offset();
            }
        }
        std::array<std::uint8_t, 16> data {};
        if (!read_rva(root + entry->offset(), data))
            return std::nullopt;
        return data;
    }

    std::optional<std::string> version_from_block(std::array<std::uint8_t, 16> const& data_entry)
    {
        std::uint64_t rva = le32(&data_entry[0]);
        std::uint64_t size = std::min<std::uint64_t>(le32(&data_entry[4]), max_version_block);
        if (size < 6)
            return std::nullopt;
        std::vector<std::uint8_t> block(size);
        if (!read_rva(rva, block))
            return std::nullopt;

        std::size_t length = std::min<std::size_t>(le16(&block[0]), block.size());
        std::size_t value_length = le16(&block[2]);
        auto value_at = value_offset(block, length);
        if (!value_at || value_length < fixed_info_size || *value_at + fixed_info_size > length)
            return std::nullopt;
        std::uint8_t const* info = &block[*value_at];
        if (le32(info) != fixed_info_signature)
            return std::nullopt;
        std::uint32_t ms = le32(info + 8);
        std::uint32_t ls = le32(info + 12);
        return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16)
            + "." + std::to_string(ls & 0xFFFF);
    }

    // Where the value starts: after the key, 32-bit aligned. A block whose first key byte is
    // printable is the 16-bit layout (no type word, one-byte characters), as Windows tells them apart.
    static std::optional<std::size_t> value_offset(std::vector<std::uint8_t> const& block, std::size_t length)
    {
        if (length > 4 && block[4] >= ' ') {
            for (std::size_t i = 4; i < length; ++i) {
                if (block[i] == 0)
                    return (i + 1 + 3) & ~std::size_t {3};
            }
            return std::nullopt;
        }
        for (std::size_t i = 6; i + 1 < length; i += 2) {
            if (block[i] == 0 && block[i + 1] == 0)
                return (i + 2 + 3) & ~std::size_t {3};
        }
        return std::nullopt;
    }

    ByteSource& m_source;
    std::vector<Section> m_sections;
    std::optional<Error> m_io_error;
};

} // namespace

Result<std::string> read_version(ByteSource& source)
{
    return VersionParser(source).run();
}

Result<std::string> read_file_version(std::filesystem::path const& path, std::uint64_t* bytes_read)
{
    auto source = FileSource::open(path);
    if (source.is_error())
        return source.error();
    auto version = read_version(source.value());
    if (bytes_read)
        *bytes_read = source.value().bytes_read();
    if (version.is_error())
        return Error {
            "cannot read \"" + path.string() + "\": " + version.error().message, version.error().code};
    return version;
}

} // namespace sorrel::files
