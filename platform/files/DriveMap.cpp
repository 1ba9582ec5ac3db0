#include "platform/files/DriveMap.h"

#include "platform/base/Utf8Path.h"

#include <algorithm>

namespace sorrel::files {

char drive_letter(char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    if (c >= 'a' && c <= 'z')
        return c;
    return 0;
}

Result<void> DriveMap::add(char letter, std::filesystem::path folder)
{
    char lower = drive_letter(letter);
    if (!lower)
        return Error {std::string("\"") + letter + "\" is not a drive letter"};
    if (has_letter(lower))
        return Error {std::string("drive ") + lower + ": is given twice"};
    auto at = std::lower_bound(m_bindings.begin(), m_bindings.end(), lower,
        [](DriveBinding const& binding, char l) { return binding.letter < l; });
    auto resolved = resolve_drive_folder(folder);
    m_bindings.insert(at, DriveBinding {lower, std::move(folder), std::move(resolved)});
    return {};
}

std::filesystem::path const* DriveMap::folder(char letter) const
{
    auto const* found = binding(letter);
    return found ? &found->folder : nullptr;
}

DriveBinding const* DriveMap::binding(char letter) const
{
    char lower = drive_letter(letter);
    for (auto const& binding : m_bindings) {
        if (binding.letter == lower)
            return &binding;
    }
    return nullptr;
}

std::vector<std::string> DriveMap::drive_names() const
{
    std::vector<std::string> names;
    for (auto const& binding : m_bindings)
        names.push_back(binding.name());
    return names;
}

Result<DriveMap> DriveMap::from_arguments(std::vector<std::string> const& arguments)
{
    DriveMap map;
    for (auto const& argument : arguments) {
        auto binding = parse_drive_argument(argument);
        if (binding.is_error())
            return binding.error();
        if (auto added = map.add(binding.value().letter, binding.value().folder); added.is_error())
            return added.error();
    }
    return map;
}

Result<DriveBinding> parse_drive_argument(std::string_view argument)
{
    auto bad = [&](std::string const& why) {
        return Error {"bad drive mapping \"" + std::string(argument) + "\": " + why};
    };
    if (argument.size() < 3 || argument[1] != ':' || argument[2] != '=')
        return bad("expected X:=FOLDER");
    char letter = drive_letter(argument[0]);
    if (!letter)
        return bad("the drive must be a letter from A to Z");
    std::filesystem::path folder = base::utf8_path(argument.substr(3));
    if (!folder.is_absolute())
        return bad("the folder must be an absolute path");
    return DriveBinding {letter, folder.lexically_normal(), {}};
}

} // namespace sorrel::files
