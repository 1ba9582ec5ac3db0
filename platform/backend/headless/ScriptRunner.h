#pragma once

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/host/Form.h"
#include "platform/host/Host.h"

#include <istream>
#include <ostream>
#include <string>

namespace sorrel::backend {

// Runs a UI script on a form shown on the headless backend, one command a line:
//
//   click NAME            press and release the left button on the control
//   press NAME [BUTTON]   move onto the control and press (left, right, middle or 1, 2, 4)
//   release NAME          release the buttons where the pointer is (NAME names the pressed control)
//   move NAME             move the pointer onto the control
//   move-away             move the pointer out of the window
//   key NAME KEY          focus the control and strike a key: a virtual-key code (13, 32, 37..40),
//                         optionally with shift+, ctrl+ or alt+ in front
//   type NAME TEXT        focus the control and type the rest of the line
//   wait MS               let MS milliseconds pass (timers fire)
//   answer yes|no|ok      the answer for the next message box
//   shot FILE.png         save the window as PNG
//   dump                  print each control: name, kind, visible, enabled and its text or value
//   expect-box            a message box was shown since the last expect-box / expect-no-box
//   expect-no-box         none was
//
// NAME is a control's name, or Name(Index) for a member of a control array. Blank lines and
// lines starting with # are skipped. Each message box shown prints as
// msgbox STYLE "TITLE" "TEXT" (C escapes for CR, LF, quotes and backslashes).
//
// Exit status: 0 when the script ran to its end (or the program ended), 1 when an expect-
// command failed, 2 for an unknown command or control, a bad line, or a box with no answer.
int run_script(host::Host& host, HeadlessBackend& backend, host::Form& form, std::istream& script,
    std::ostream& out, std::ostream& err, const std::string& script_name = "script");
int run_script_file(host::Host& host, HeadlessBackend& backend, host::Form& form, const std::string& path,
    std::ostream& out, std::ostream& err);

// Text with C escapes, as the script output quotes it.
std::string c_escape(std::string_view text);

} // namespace sorrel::backend
