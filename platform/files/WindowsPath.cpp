#include "platform/files/WindowsPath.h"

#include <cerrno>

namespace sorrel::files {

Result<WindowsPath> WindowsPath::parse(std::string_view text)
{
    auto quoted = "\"" + std::string(text) + "\"";
    if (text.size() < 2 || !drive_letter(text[0]) || text[1] != ':')
        return Error {quoted + " does not start with a drive", EINVAL};
    if (text.find('\0') != std::string_view::npos)
        return Error {quoted + " is not a valid path", EINVAL};
    auto rest = text.substr(2);
    // "c:folder" would be relative to the drive's current folder, which we don't have.
    if (!rest.empty() && rest[0] != '\\' && rest[0] != '/')
        return Error {quoted + " is not a full path", EINVAL};

    WindowsPath path;
    path.drive = drive_letter(text[0]);
    while (!rest.empty()) {
        auto end = rest.find_first_of("\\/");
        auto component = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view {} : rest.substr(end + 1);
        if (component.empty() || component == ".")
            continue;
        if (component == "..") {
            if (!path.components.empty())
                path.components.pop_back();
            continue;
        }
        path.components.emplace_back(component);
    }
    return path;
}

} // namespace sorrel::files
