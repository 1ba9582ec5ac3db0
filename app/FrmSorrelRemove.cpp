// "Unistall": removes the older Messenger's folder, found by the scan, after a confirmation.
//
//   step                          outcome
//   ----------------------------  -------------------------------------------------------------
//   ChkOld not ticked             only ProgressBar2's Max is set
//   no older Messenger found      "No older version ..." box; nothing deleted, nothing asked
//   confirmation No               nothing deleted
//   pass, nothing left            folder deleted, "Complete!"; Yes ends, No returns to start
//   pass, files left              "Oh No!" names them; No ends the handler
//     retry, nothing left         as "nothing left" above
//     retry, files left           the handler ends; "Unistall" may be clicked again
//
// Each attempt names only the files that remain after it.

#include "app/FrmSorrel.h"
#include "platform/host/Host.h"

namespace sorrel::app {

namespace {

constexpr int32_t Critical = host::vbYesNo + host::vbCritical;
constexpr int32_t Information = host::vbYesNo + host::vbInformation;
// Presenting every step of a long pass would cost more than the deletions.
constexpr double FrameInterval = 1000.0 / 60.0;

host::Variant to_integer(int count)
{
    return host::Variant(int16_t(count - 1));
}

} // namespace

void FrmSorrel::CmdUnistall_Click()
{
    host::Host& host = host::Host::current();
    ProgressBar2.Max(to_integer(File1.ListCount()));
    if (ChkOld.Value() != 1)
        return;

    // Without an older Messenger in File1 there is nothing of it to delete; whatever folder the
    // file list shows must never be removed in its place.
    if (Text6.Text().empty() || File1.Path() != Text6.Text()) {
        host.MsgBox(
            "No older version of MSN Messenger was found to remove.", host::vbInformation, "Unistall");
        return;
    }

    std::string question = "Are you sure you want to remove MSN Messenger " + Text4.Text()
        + " ?\r\n\r\nNOTE: Please make sure the version of MSN Messenger is CLOSED before unistall!";
    if (host.MsgBox(question, Critical, "Confirmation!") != host::vbYes)
        return;

    DeletionPass(File1.ListCount());
    File1.Refresh();
    if (File1.ListCount() == 0) {
        FinishRemoval();
        return;
    }

    Text8.Text("");
    for (int i = 0; i < File1.ListCount(); ++i)
        Text8.Text(Text8.Text() + File1.List(i) + "; ");
    std::string failure = "The following files were not deleted: \r\n\r\n" + Text8.Text()
        + "\r\n\r\nPlease make sure you do not have MSN open.  Would you like to try again?";
    if (host.MsgBox(failure, Information, "Oh No!") != host::vbYes)
        return;

    ProgressBar2.Value(1);
    ProgressBar2.Max(to_integer(File1.ListCount()));
    DeletionPass(File1.ListCount());
    File1.Refresh();
    if (File1.ListCount() == 0)
        FinishRemoval();
}

void FrmSorrel::DeletionPass(int count)
{
    host::Host& host = host::Host::current();
    // The files in use are found once for the whole pass.
    auto in_use = files::FileSystemObject::begin_deletion_pass();
    // The entries as listed before the pass: deleting doesn't re-read the list.
    std::string folder = File1.Path();
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(File1.List(i));
    double last_frame = host.now_ms();
    for (int i = 0; i < count; ++i) {
        (void)fso().DeleteFile(folder + "\\" + names[size_t(i)], false, &in_use);
        ProgressBar2.Value(i);
        if (host.now_ms() - last_frame >= FrameInterval) {
            host.present_pending();
            last_frame = host.now_ms();
        }
    }
}

void FrmSorrel::FinishRemoval()
{
    host::Host& host = host::Host::current();
    (void)fso().DeleteFolder(Text6.Text(), false);
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
}

} // namespace sorrel::app
