#include "app/BuiltInForm.h"

#include <filesystem>
#include <string>

namespace sorrel::app {

namespace {

std::span<const uint8_t> built_in_file(std::string_view name)
{
    for (const built_in::EmbeddedPicture& file : built_in::files()) {
        if (file.name == name)
            return file.bytes;
    }
    return {};
}

} // namespace

host::ErrorOr<void> load_built_in_form(host::Form& form)
{
    std::span<const uint8_t> design = built_in_file("FrmSorrel");
    if (design.empty())
        return host::Error {"the window's design is not built in"};
    // The design names its pictures by their paths beside it; here only the name counts.
    auto pictures = [](const std::string& path) -> host::ErrorOr<host::PictureRef> {
        std::string name = std::filesystem::path(path).filename().string();
        std::span<const uint8_t> bytes = built_in_file(std::filesystem::path(path).stem().string());
        if (bytes.empty())
            return host::Error {"the picture " + path + " is not built in"};
        return host::LoadPictureFromMemory(bytes, name);
    };
    return form.load_text(std::string_view(reinterpret_cast<const char*>(design.data()), design.size()),
        pictures, false, "FrmSorrel.yaml");
}

} // namespace sorrel::app
