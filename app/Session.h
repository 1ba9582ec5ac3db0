#pragma once

#include "app/FrmSorrel.h"
#include "platform/host/Backend.h"
#include "platform/host/ErrorOr.h"
#include "platform/host/Host.h"

#include <memory>
#include <string>

namespace sorrel::app {

// One run of the program's window: a host on a backend, the main window loaded from its form
// file, and the window's code connected to it.
class Session {
public:
    // Registers the control kinds, loads the form (an empty path: the one built into the program)
    // and shows it; fails with a message naming what is missing or damaged.
    static host::ErrorOr<std::unique_ptr<Session>> open(
        std::unique_ptr<host::Backend> backend, const std::string& form_path = form_file_path());
    ~Session();

    // Where FrmSorrel.yaml is: beside an installed program (../share/sorrel), else, for a program
    // run from its build folder, in the source tree. Empty on Windows, where the program is one
    // file and the design is built in. Defined in posix/ and win32/SystemRules.cpp.
    static std::string form_file_path();

    host::Host& host() { return *m_host; }
    host::Form& form() { return *m_form; }
    FrmSorrel& window() { return *m_window; }

private:
    Session() = default;

    std::unique_ptr<host::Host> m_host;
    std::unique_ptr<host::Form> m_form;
    std::unique_ptr<FrmSorrel> m_window;
};

// Makes every control kind of the window known to the host (once).
host::ErrorOr<void> register_control_kinds();

} // namespace sorrel::app
