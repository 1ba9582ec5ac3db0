#include "controls/progressbar/ProgressBarPictures.h"

#include "controls/progressbar/ProgressBar.h"

#include <map>
#include <string>
#include <vector>

namespace sorrel::controls::progressbar_pictures {
namespace {

struct Wanted {
    std::string name;
    int width;
    int height;
};

std::vector<Wanted> wanted_pictures()
{
    std::vector<Wanted> wanted {{"img", 59, 13}, {"blank", 8, 10}};
    for (std::string_view look : ProgressBar::LookNames)
        for (int i = 0; i < 3; ++i)
            wanted.push_back({std::string(look) + std::to_string(i), 8, 10});
    return wanted;
}

struct Library {
    std::map<std::string, host::PictureRef, std::less<>> pictures;
    std::string error;
};

Library decode_all(std::span<const EmbeddedPicture> table)
{
    Library library;
    for (const Wanted& want : wanted_pictures()) {
        const EmbeddedPicture* found = nullptr;
        for (const EmbeddedPicture& picture : table)
            if (picture.name == want.name)
                found = &picture;
        if (!found) {
            library.error = "Progress bar picture \"" + want.name + ".png\" is not built into the program";
            break;
        }
        auto picture = host::LoadPictureFromMemory(found->bytes, want.name + ".png");
        if (picture.is_error()) {
            library.error = "Progress bar picture: " + picture.error();
            break;
        }
        const host::PictureRef& ref = picture.value();
        if (!ref || ref->pixel_width() != want.width || ref->pixel_height() != want.height) {
            library.error = "Progress bar picture \"" + want.name + ".png\" is not "
                + std::to_string(want.width) + " x " + std::to_string(want.height) + " pixels";
            break;
        }
        library.pictures.emplace(want.name, ref);
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

} // namespace sorrel::controls::progressbar_pictures
