#pragma once

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/host/Form.h"
#include "platform/host/Host.h"

#include <istream>
#include <ostream>
#include <string>

namespace sorrel::backend {

// Runs a UI script on a form shown on the headless backend, one command a line. The commands,
// how each is written and what it does are the table `commands` in ScriptRunner.cpp; script_help()
// gives them as text (sorrel --help prints it). A click is a single click of the left button,
// never the second half of a double click, whatever came before it. "answer A after COMMAND" runs
// COMMAND (any command, typically sh, wait or dump) while the next box is open, then answers A:
// the user changes something before answering (the form itself takes no input meanwhile).
// "answer close" and close-after MS close the window while whatever runs then (a box's wait, a
// scan's yields, a removal between two files) runs; a box closed so gives the answer that does
// least (no, or ok) and the program ends as it returns.
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
//   <role> "<name>" [...] ...     from dump accessible: the tree a screen reader reads, in the
//                                 text form of Accessibility.h
//   announce "TEXT"               from dump announcements: what the window asked a screen
//                                 reader to say since the last such dump
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

// The commands, one or more lines each, as the program's help lists them: two spaces, the
// command as written, its description from column 23, every line shorter than 79 characters.
std::string script_help();

// Text with C escapes, as the script output quotes it.
std::string c_escape(std::string_view text);

} // namespace sorrel::backend
