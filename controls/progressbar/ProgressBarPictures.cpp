#include "controls/progressbar/ProgressBarPictures.h"

#include "controls/progressbar/ProgressBar.h"

#include <vector>

namespace sorrel::controls::progressbar_pictures {
namespace {

std::vector<host::WantedPicture> wanted_pictures()
{
    std::vector<host::WantedPicture> wanted {{"img", 59, 13}, {"blank", 8, 10}};
    for (std::string_view look : ProgressBar::LookNames)
        for (int i = 0; i < 3; ++i)
            wanted.push_back({std::string(look) + std::to_string(i), 8, 10});
    return wanted;
}

} // namespace

const host::BuiltInPictures& built_in()
{
    static const host::BuiltInPictures decoded(embedded(), wanted_pictures(), "Progress bar picture");
    return decoded;
}

} // namespace sorrel::controls::progressbar_pictures
