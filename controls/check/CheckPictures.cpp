#include "controls/check/CheckPictures.h"

#include <vector>

namespace sorrel::controls::check_pictures {
namespace {

std::vector<host::WantedPicture> wanted_pictures()
{
    std::vector<host::WantedPicture> wanted;
    for (std::string_view name : {"IdleNoValue", "IdleChecked", "IdleGreyed", "MouseoverNoValue",
             "MouseoverChecked", "MouseoverGreyed", "PushedNoValue", "PushedChecked", "PushedGreyed",
             "DisabledNoValue", "CheckedDisabled", "DisabledGrey"})
        wanted.push_back({std::string(name), 13, 13});
    return wanted;
}

} // namespace

const host::BuiltInPictures& built_in()
{
    static const host::BuiltInPictures decoded(embedded(), wanted_pictures(), "Check box picture");
    return decoded;
}

} // namespace sorrel::controls::check_pictures
