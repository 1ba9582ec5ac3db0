#include "app/Entries.h"

namespace sorrel::app {

// Linux programs start by other means than Run values and shortcuts.
std::optional<std::vector<EntryReport>> entries_into(std::filesystem::path const&)
{
    return std::nullopt;
}

std::optional<EntryRemoval> remove_entries_into(std::filesystem::path const&, std::filesystem::path const&)
{
    return std::nullopt;
}

} // namespace sorrel::app
