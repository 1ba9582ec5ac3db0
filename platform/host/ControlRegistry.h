#pragma once

#include "platform/host/Control.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::host {

// Control kinds by name, so that form files can name them and the host needs none of the
// controls. The host registers its own kinds (Frame, TextBox, PictureBox, CheckBox, Image,
// Timer); each control library registers its kind from a function the program calls at start
// (a static initialiser in a static library may never be linked in):
//
//     void register_quill_button() { host::register_control_kind("QuillButton", [] { return
//     std::make_unique<QuillButton>(); }); }
using ControlFactory = std::function<std::unique_ptr<Control>()>;

// Registering a kind again replaces the factory.
void register_control_kind(std::string kind, ControlFactory factory);
bool is_control_kind_registered(std::string_view kind);
// Null for an unknown kind.
std::unique_ptr<Control> create_control(std::string_view kind);
std::vector<std::string> registered_control_kinds();
// Registers the host's own kinds (idempotent; the Host constructor calls it).
void register_standard_control_kinds();

} // namespace sorrel::host
