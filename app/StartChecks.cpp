#include "app/StartChecks.h"

namespace sorrel::app {

DriveChoice choose_drives(const std::vector<std::string>& drive_arguments, const files::DiscoveryInput& input,
    const files::FileSystemProbe& probe)
{
    DriveChoice choice;
    if (!drive_arguments.empty()) {
        auto map = files::DriveMap::from_arguments(drive_arguments);
        if (map.is_error()) {
            choice.error = map.error().message;
            return choice;
        }
        for (const auto& binding : map.value().bindings()) {
            if (auto problem = drive_folder_problem(binding.folder); !problem.empty()) {
                choice.error = "--drive " + binding.name() + "=" + binding.folder.string() + ": " + problem;
                return choice;
            }
        }
        choice.drives = map.release_value();
        return choice;
    }

    std::vector<std::filesystem::path> left_out;
    choice.drives = files::discover_drives(input, probe, &left_out);
    if (choice.drives.is_empty()) {
        std::filesystem::path own_prefix
            = input.wine_prefix ? std::filesystem::path(*input.wine_prefix) : input.home / ".wine";
        choice.notes.push_back("found no drive to scan: no Wine prefix at " + own_prefix.string()
            + " or in the folders of Wine front ends, and no Windows partition mounted; scan a folder "
              "with --drive X:=DIR");
    }
    if (!left_out.empty()) {
        std::string folders;
        for (const auto& folder : left_out)
            folders += (folders.empty() ? "" : ", ") + folder.string();
        choice.notes.push_back("more drives than free letters; left out " + folders);
    }
    return choice;
}

} // namespace sorrel::app
