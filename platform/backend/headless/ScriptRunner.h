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
//   click NAME            a single click of the left button on the control, never the second
//                         half of a double click, whatever came before it
//   dblclick NAME         a double click of the left button
//   click-at X Y          a single click at a point of the client area, in pixels
//   press NAME [BUTTON]   move onto the control and press (left, right, middle or 1, 2, 4)
//   release NAME          release the buttons where the pointer is (NAME names the pressed control)
//   move NAME             move the pointer onto the control
//   move-away             move the pointer out of the window
//   wheel NAME N          move onto the control and turn the wheel N notches (positive: away
//                         from the user)
//   key KEY               strike a key on whatever has the focus
//   key NAME KEY          focus the control first, then strike the key
//   type NAME TEXT        focus the control and type the rest of the line
//   wait MS               let MS milliseconds pass (timers fire)
//   answer yes|no|ok      the answer for the next message box; one that names a button the box
//                         does not have is an error
//   answer close          the user closes the window while the next box is open: the box gives
//                         the answer that does least (no, or ok) and the program ends as it
//                         returns
//   answer A after COMMAND
//                         answer A, once COMMAND (any line of this list, typically sh, wait or
//                         dump) has run while the box is open: the user changes something before
//                         answering (the form itself takes no input meanwhile)
//   close                 the user closes the window: the program's close handling runs
//   close-after MS        the user closes the window MS milliseconds from now, whatever runs
//                         then (a scan's yields, a box's wait, a removal between two files)
//   sh COMMAND            run the rest of the line with /bin/sh and wait for it (its output goes
//                         to stderr); a status other than 0 is an error
//   shot FILE.png         save the window as PNG
//   dump                  print each control, then which one has the focus (see below)
//   expect-box            a message box was shown since the last expect-box / expect-no-box
//   expect-no-box         none was
//
// NAME is a control's name, or Name(Index) for a member of a control array. A point of a user
// control that lies on one of its own constituents (a check box's picture) counts as the
// control's. KEY is a virtual-key code from 1 to 254 or one of tab, enter, space, esc, backspace,
// left, up, right, down, home, end, pageup, pagedown, insert, delete, a letter or f1 to f12,
// optionally with shift+, ctrl+ or alt+ in front. Blank lines and lines starting with # are
// skipped.
//
// The transcript, one line per item:
//
//   msgbox STYLE "TITLE" "TEXT"   a message box was shown (texts with C escapes for CR, LF,
//                                 quotes and backslashes)
//   -> ANSWER                     the box returned: yes, no or ok; "no (window closed)" when a
//                                 close ended it; "none" when no answer was queued. A box shown
//                                 while another waits comes between the two lines of that one.
//   NAME KIND visible|hidden enabled|disabled [TEXT]
//                                 one line per control from dump, in the form's order. Enabled
//                                 is the control's own property. TEXT is the caption, text,
//                                 items or state, for example: Check: value V "CAPTION";
//                                 ProgressBar: min N max N value N; Timer: interval MS; text
//                                 fields and frames: their quoted text.
//   focus NAME|none               after the controls: the control that has the focus
//   program ended                 the program ended; the rest of the script is not run
//
// Exit status: 0 when the script ran to its end (or the program ended) and every queued answer
// was used; 1 when an expect- command failed; 2 for an unknown command or control, a bad line, a
// box with no answer or with an answer it has no button for, answers left over at the end, or a
// failing sh command. Errors go to `err` as SCRIPT:LINE: MESSAGE.
int run_script(host::Host& host, HeadlessBackend& backend, host::Form& form, std::istream& script,
    std::ostream& out, std::ostream& err, const std::string& script_name = "script");
int run_script_file(host::Host& host, HeadlessBackend& backend, host::Form& form, const std::string& path,
    std::ostream& out, std::ostream& err);

// Text with C escapes, as the script output quotes it.
std::string c_escape(std::string_view text);

} // namespace sorrel::backend
