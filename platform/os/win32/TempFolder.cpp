#include "platform/os/TempFolder.h"

#include <cstdio>
#include <random>

namespace sorrel::os {

base::ErrorOr<std::filesystem::path> make_temp_folder(std::string_view prefix, std::string_view purpose)
{
    // Without mkdtemp: a random name, taken only when the folder did not exist before.
    std::error_code ec;
    std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    if (ec)
        return base::Error {
            "cannot find the temporary folder for " + std::string(purpose) + ": " + ec.message()};
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", unsigned(random()));
        std::filesystem::path folder = temp / (std::string(prefix) + suffix);
        if (std::filesystem::create_directory(folder, ec))
            return folder;
        if (ec)
            break;
    }
    return base::Error {"cannot make a folder for " + std::string(purpose) + " in " + temp.string() + ": "
        + (ec ? ec.message() : std::string("every name tried was taken"))};
}

bool is_own_folder(const std::filesystem::path&)
{
    return true;
}

} // namespace sorrel::os
