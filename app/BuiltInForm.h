#pragma once

#include "platform/host/ErrorOr.h"
#include "platform/host/Form.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace sorrel::app {

// The main window's design and its pictures, compiled into the program where it runs from one
// file alone (Windows), so that nothing beside it can be missing or out of date.
namespace built_in {

struct EmbeddedPicture {
    std::string_view name; // the file name without its extension
    std::span<const uint8_t> bytes;
};

// The bytes compiled into the program (generated at build time).
std::span<const EmbeddedPicture> files();

} // namespace built_in

// Loads the built-in design into an empty form, its pictures from the built-in bytes.
host::ErrorOr<void> load_built_in_form(host::Form& form);

} // namespace sorrel::app
