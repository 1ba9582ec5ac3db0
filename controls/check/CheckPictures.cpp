#include "controls/check/CheckPictures.h"

#include <vector>

namespace sorrel::controls::check_pictures {
namespace {

constexpr std::string_view Owner = "Check box picture";

std::vector<host::WantedPicture> wanted_pictures()
{
    std::vector<host::WantedPicture> wanted;
    for (std::string_view name : {"IdleNoValue", "IdleChecked", "IdleGreyed", "MouseoverNoValue",
             "MouseoverChecked", "MouseoverGreyed", "PushedNoValue", "PushedChecked", "PushedGreyed",
             "DisabledNoValue", "CheckedDisabled", "DisabledGrey"})
        wanted.push_back({std::string(name), 13, 13});
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

} // namespace sorrel::controls::check_pictures
