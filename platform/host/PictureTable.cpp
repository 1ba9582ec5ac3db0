#include "platform/host/PictureTable.h"

namespace sorrel::host {

PictureTable PictureTable::decode(
    std::span<const EmbeddedPicture> embedded, std::span<const WantedPicture> wanted, std::string_view owner)
{
    PictureTable table;
    const std::string prefix(owner);
    for (const WantedPicture& want : wanted) {
        const std::string file = want.name + ".png";
        const EmbeddedPicture* found = nullptr;
        for (const EmbeddedPicture& picture : embedded)
            if (picture.name == want.name)
                found = &picture;
        if (!found) {
            table.m_error = prefix + " \"" + file + "\" is not built into the program";
            break;
        }
        auto picture = LoadPictureFromMemory(found->bytes, file);
        if (picture.is_error()) {
            table.m_error = prefix + ": " + picture.error().message;
            break;
        }
        const PictureRef& ref = picture.value();
        if (!ref || ref->pixel_width() != want.width || ref->pixel_height() != want.height) {
            table.m_error = prefix + " \"" + file + "\" is not " + std::to_string(want.width) + " x "
                + std::to_string(want.height) + " pixels";
            break;
        }
        table.m_pictures.emplace(want.name, ref);
    }
    if (!table.m_error.empty())
        table.m_pictures.clear();
    return table;
}

ErrorOr<void> PictureTable::status() const
{
    if (!m_error.empty())
        return Error {m_error};
    return {};
}

PictureRef PictureTable::find(std::string_view name) const
{
    auto it = m_pictures.find(name);
    return it == m_pictures.end() ? nullptr : it->second;
}

BuiltInPictures::BuiltInPictures(
    std::span<const EmbeddedPicture> embedded, std::vector<WantedPicture> wanted, std::string_view owner)
    : m_embedded(embedded)
    , m_wanted(std::move(wanted))
    , m_owner(owner)
{ }

ErrorOr<void> BuiltInPictures::verify(std::span<const EmbeddedPicture> pictures) const
{
    return PictureTable::decode(pictures, m_wanted, m_owner).status();
}

const PictureTable& BuiltInPictures::decoded() const
{
    std::call_once(m_once, [this] { m_table = PictureTable::decode(m_embedded, m_wanted, m_owner); });
    return *m_table;
}

} // namespace sorrel::host
