// libFuzzer target: the form loader over arbitrary text. Loading must never crash or hang: a
// damaged file gives an error. A file that loads must save, and what it saves must load again
// and save the same way.

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/host/ControlRegistry.h"
#include "platform/host/FormFile.h"
#include "platform/host/Host.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace sorrel;

namespace {

[[noreturn]] void fault(const char* what, const std::string& detail, const std::string& saved)
{
    std::fprintf(stderr, "%s: %s\n--- saved form ---\n%s\n", what, detail.c_str(), saved.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size)
{
    // Pictures are looked for in a folder that does not exist: the loader reads no files of ours.
    static const std::string base_dir = "/nonexistent/sorrel-fuzz";
    static auto host = [] {
        host::register_standard_control_kinds();
        return std::make_unique<host::Host>(backend::HeadlessBackend::create());
    }();
    std::string_view text(reinterpret_cast<const char*>(data), size);

    auto document = host::form_file::parse(text, base_dir, "fuzz.yaml");
    if (!document.is_error()) {
        auto saved = host::form_file::write(document.value(), base_dir);
        if (saved.is_error())
            fault("a loaded form does not save", saved.error().message, "");
        auto again = host::form_file::parse(saved.value(), base_dir, "saved.yaml");
        if (again.is_error())
            fault("a saved form does not load", again.error().message, saved.value());
        auto resaved = host::form_file::write(again.value(), base_dir);
        if (resaved.is_error())
            fault("a reloaded form does not save", resaved.error().message, saved.value());
        if (resaved.value() != saved.value())
            fault("a reloaded form saves otherwise", resaved.value(), saved.value());
    }

    host::Form form;
    (void)form.load_text(text, base_dir, false, "fuzz.yaml");
    return 0;
}
