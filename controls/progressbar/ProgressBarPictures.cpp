#include "controls/progressbar/ProgressBarPictures.h"

#include "controls/progressbar/ProgressBar.h"

#include <vector>

namespace sorrel::controls::progressbar_pictures {
namespace {

constexpr std::string_view Owner = "Progress bar picture";

std::vector<host::WantedPicture> wanted_pictures()
{
    std::vector<host::WantedPicture> wanted {{"img", 59, 13}, {"blank", 8, 10}};
    for (std::string_view look : ProgressBar::LookNames)
        for (int i = 0; i < 3; ++i)
            wanted.push_back({std::string(look) + std::to_string(i), 8, 10});
    return wanted;
}

const host::PictureTable& library()
{
    static const host::PictureTable decoded
        = host::PictureTable::decode(embedded(), wanted_pictures(), Owner);
    return decoded;
}

} // namespace

host::ErrorOr<void> load()
{
    return library().status();
}

host::ErrorOr<void> verify(std::span<const EmbeddedPicture> table)
{
    return host::PictureTable::decode(table, wanted_pictures(), Owner).status();
}

host::PictureRef find(std::string_view name)
{
    return library().find(name);
}

} // namespace sorrel::controls::progressbar_pictures
