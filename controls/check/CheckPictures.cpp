#include "controls/check/CheckPictures.h"

#include <array>
#include <map>
#include <string>

namespace sorrel::controls::check_pictures {
namespace {

constexpr int PictureSize = 13;

constexpr std::array<std::string_view, 12> Names {"IdleNoValue", "IdleChecked", "IdleGreyed",
    "MouseoverNoValue", "MouseoverChecked", "MouseoverGreyed", "PushedNoValue", "PushedChecked",
    "PushedGreyed", "DisabledNoValue", "CheckedDisabled", "DisabledGrey"};

struct Library {
    std::map<std::string, host::PictureRef, std::less<>> pictures;
    std::string error;
};

Library decode_all(std::span<const EmbeddedPicture> table)
{
    Library library;
    for (std::string_view name : Names) {
        const std::string file = std::string(name) + ".png";
        const EmbeddedPicture* found = nullptr;
        for (const EmbeddedPicture& picture : table)
            if (picture.name == name)
                found = &picture;
        if (!found) {
            library.error = "Check box picture \"" + file + "\" is not built into the program";
            break;
        }
        auto picture = host::LoadPictureFromMemory(found->bytes, file);
        if (picture.is_error()) {
            library.error = "Check box picture: " + picture.error();
            break;
        }
        const host::PictureRef& ref = picture.value();
        if (!ref || ref->pixel_width() != PictureSize || ref->pixel_height() != PictureSize) {
            library.error = "Check box picture \"" + file + "\" is not 13 x 13 pixels";
            break;
        }
        library.pictures.emplace(std::string(name), ref);
    }
    if (!library.error.empty())
        library.pictures.clear();
    return library;
}

const Library& library()
{
    static const Library decoded = decode_all(embedded());
    return decoded;
}

} // namespace

host::ErrorOr<void> load()
{
    if (!library().error.empty())
        return host::Error {library().error};
    return {};
}

host::ErrorOr<void> verify(std::span<const EmbeddedPicture> table)
{
    Library library = decode_all(table);
    if (!library.error.empty())
        return host::Error {library.error};
    return {};
}

host::PictureRef find(std::string_view name)
{
    auto it = library().pictures.find(name);
    return it == library().pictures.end() ? nullptr : it->second;
}

} // namespace sorrel::controls::check_pictures
