// "Unistall": removes the older Messenger's folder, found by the scan, after a confirmation.
//
//   step                          outcome
//   ----------------------------  -------------------------------------------------------------
//   ChkOld not ticked             only ProgressBar2's Max is set
//   no older Messenger found      "No older version ..." box; nothing deleted, nothing asked
//   confirmation No               nothing deleted
//   pass, nothing left            folder deleted, "Complete!"; Yes ends, No returns to start
//   pass, something left          "Oh No!" names it; No ends the handler
//     retry, nothing left         as "nothing left" above
//     retry, something left       the handler ends; "Unistall" may be clicked again
//
// Each attempt names only what remains after it: the listed files still there or, when those
// are gone but the folder is not, whatever it still holds (hidden files, subfolders).

#include "app/FrmSorrel.h"
#include "platform/host/Host.h"

namespace sorrel::app {

namespace {

constexpr int32_t Critical = host::vbYesNo + host::vbCritical;
constexpr int32_t Information = host::vbYesNo + host::vbInformation;
// Presenting every step of a long pass would cost more than the deletions.
constexpr double FrameInterval = 1000.0 / 60.0;
// While the folder is emptied, the window paints and runs its timers this often: Windows shows a
// window that takes no messages for 5 s as "Not Responding".
constexpr double KeepAliveInterval = 100.0;
// The bar's Max is a 16-bit Integer.
constexpr int MaxBarValue = 32767;

// Files per step of ProgressBar2: 1 unless there are more files than a 16-bit Max can count.
int bar_step(int count)
{
    return count - 1 > MaxBarValue ? (count - 1) / MaxBarValue + 1 : 1;
}

// ProgressBar2's Max for `count` files: the last file's index, counted in steps, since the bar's
// Value is the index of the file just handled.
host::Variant bar_max(int count)
{
    return host::Variant(int16_t((count - 1) / bar_step(count)));
}

// One name of the failure list. A name that holds the list's own separator is put in quotes so
// that a reader still sees where it ends; shown names never hold quotes themselves.
void append_failure_entry(std::string& list, std::string const& name)
{
    if (name.find("; ") != std::string::npos)
        list += "\"" + name + "\"; ";
    else
        list += name + "; ";
}

// What a screen reader says as the failure box opens. The box's own text names every file; read
// aloud, thousands of names would drown the question, so the first few stand for the rest.
std::string spoken_failures(std::vector<std::string> const& left)
{
    constexpr size_t Named = 10;
    std::string text = left.size() == 1 ? "1 file was not deleted: "
                                        : std::to_string(left.size()) + " files were not deleted: ";
    for (size_t i = 0; i < left.size() && i < Named; ++i)
        text += (i ? ", " : "") + left[i];
    if (left.size() > Named)
        text += " and " + std::to_string(left.size() - Named) + " more";
    return text;
}

} // namespace

void FrmSorrel::CmdUnistall_Click()
{
    host::Host& host = host::Host::current();
    // Without an older Messenger in File1 there is nothing of it to delete; whatever folder the
    // file list shows must never be removed in its place.
    bool older_listed = !Text6.Text().empty() && File1.Path() == Text6.Text();
    // An empty File1 that is not the older Messenger's would only bring the bar's complaint about
    // a maximum of -1 before the box that explains.
    if (older_listed || File1.ListCount() > 0 || ChkOld.Value() != 1)
        ProgressBar2.Max(bar_max(File1.ListCount()));
    if (ChkOld.Value() != 1)
        return;

    if (!older_listed) {
        host.MsgBox(
            "No older version of MSN Messenger was found to remove.", host::vbInformation, "Unistall");
        return;
    }

    std::string question = "Are you sure you want to remove MSN Messenger " + Text4.Text()
        + " ?\r\n\r\nNOTE: Please make sure the version of MSN Messenger is CLOSED before unistall!";
    if (host.MsgBox(question, Critical, "Confirmation!") != host::vbYes)
        return;

    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt > 0) {
            ProgressBar2.Value(1);
            ProgressBar2.Max(bar_max(File1.ListCount()));
        }
        RemovalAttempt outcome = RemovalPass();
        // Closed during the pass: the folder keeps whatever the pass did not get to.
        if (outcome.stopped)
            return;
        if (outcome.folder_gone()) {
            FinishRemoval();
            return;
        }
        if (attempt > 0)
            return;

        std::string question = ListNotDeleted(outcome.left);
        host.announce(spoken_failures(outcome.left));
        if (host.MsgBox(question, Information, "Oh No!") != host::vbYes)
            return;
    }
}

std::string FrmSorrel::ListNotDeleted(std::vector<std::string> const& left)
{
    // Built whole and assigned once: the list can hold thousands of names, and each assignment
    // wraps the whole text again.
    std::string list;
    for (auto const& name : left)
        append_failure_entry(list, name);
    Text8.Text(std::move(list));
    return "The following files were not deleted: \r\n\r\n" + Text8.Text()
        + "\r\n\r\nPlease make sure you do not have MSN open.  Would you like to try again?";
}

RemovalAttempt FrmSorrel::RemovalPass()
{
    host::Host& host = host::Host::current();
    int step = bar_step(File1.ListCount());
    double last_frame = host.now_ms();
    RemovalHooks hooks;
    // A close request stops the pass between two files.
    hooks.stop_before_file = [&] { return host.check_for_close(); };
    hooks.stop_after_pass = [&] { return host.has_ended(); };
    hooks.file_done = [&](int index, files::ListedFile const&, files::Result<void> const&) {
        if (drive_used)
            drive_used(Text6.Text());
        ProgressBar2.Value(index / step);
        if (host.now_ms() - last_frame >= FrameInterval) {
            host.present_pending();
            last_frame = host.now_ms();
        }
    };
    double last_step = host.now_ms();
    // A close request stops the folder's deletion between two entries too.
    hooks.between_entries = [&] {
        if (drive_used)
            drive_used(Text6.Text());
        if (host.now_ms() - last_step >= KeepAliveInterval) {
            host.run_modal_step();
            last_step = host.now_ms();
        }
        return host.check_for_close();
    };
    ListBoxFolder files(File1);
    return attempt_removal(fso(), files, Text6.Text(), hooks);
}

void FrmSorrel::FinishRemoval()
{
    host::Host& host = host::Host::current();
    if (host.MsgBox("Unistall Successfuly Completed!\r\n\r\nDo you want to exit?", host::vbYesNo, "Complete!")
        == host::vbYes) {
        host.End();
        return;
    }
    ReturnToStart();
}

void FrmSorrel::ReturnToStart()
{
    Frame3.Visible(false);
    Frame2.Visible(true);
    Frame1.Visible(false);
    (void)File1.Path("");
    (void)File2.Path("");
    CmdSCan.Enabled(true);
    Text6.Text("");
    Text7.Text("");
    FocusFirstButton(Frame2);
}

} // namespace sorrel::app
