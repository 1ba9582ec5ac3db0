#pragma once

// Pictures built into the program, decoded once and looked up by name. A control that ships its
// own pictures names the ones it needs with their sizes; a missing, damaged or wrongly sized one
// makes the whole table fail with a message that names it.

#include "platform/host/ErrorOr.h"
#include "platform/host/StdPicture.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::host {

struct EmbeddedPicture {
    std::string_view name; // the file name without ".png"
    std::span<const uint8_t> bytes;
};

struct WantedPicture {
    std::string name;
    int width;
    int height;
};

class PictureTable {
public:
    // Decodes every wanted picture from `embedded`, in order, stopping at the first fault. `owner`
    // starts each message ("Check box picture").
    static PictureTable decode(std::span<const EmbeddedPicture> embedded,
        std::span<const WantedPicture> wanted, std::string_view owner);

    ErrorOr<void> status() const;
    // The decoded picture, or null when decoding failed.
    PictureRef find(std::string_view name) const;

private:
    std::map<std::string, PictureRef, std::less<>> m_pictures;
    std::string m_error;
};

// A control's own pictures: the table compiled into the program, decoded on first use.
class BuiltInPictures {
public:
    BuiltInPictures(
        std::span<const EmbeddedPicture> embedded, std::vector<WantedPicture> wanted, std::string_view owner);

    // Every picture decoded, once. An error names the picture that is missing, damaged or of the
    // wrong size.
    ErrorOr<void> load() const { return decoded().status(); }
    // The same checks on another table (the tests' damaged copies).
    ErrorOr<void> verify(std::span<const EmbeddedPicture> pictures) const;
    // The decoded picture, or null when load() failed.
    PictureRef find(std::string_view name) const { return decoded().find(name); }

private:
    const PictureTable& decoded() const;

    std::span<const EmbeddedPicture> m_embedded;
    std::vector<WantedPicture> m_wanted;
    std::string m_owner;
    mutable std::once_flag m_once;
    mutable std::optional<PictureTable> m_table;
};

} // namespace sorrel::host
