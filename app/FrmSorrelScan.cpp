// "Begin Scan": every drive is searched for both Messenger folders (the places of
// system_scan_places, in their order), each one found is listed with its program's version, and the
// progress run ends on the results page with the verdict.
//
// The progress run and the scan overlap, because the scan yields to pending events once per drive:
//
//   event                          scan still running               scan finished
//   -----------------------------  -------------------------------  ---------------------------
//   tick, Value below 100          Value + 1                        Value + 1
//   tick, Value reaches 100        timer stops, bar stays full;     verdict (ShowVerdict)
//                                  the verdict waits
//   scan ends                      -                                verdict if it was waiting
//
// So the verdict always counts every item the scan found; a scan that ends before the bar is
// full looks the same either way.

#include "app/FrmSorrel.h"
#include "platform/host/Host.h"

#include <cstdio>

namespace sorrel::app {

void FrmSorrel::CmdSCan_Click()
{
    CmdSCan.Enabled(false);
    Timer1.Interval(10);
    Timer1.Enabled(true);
    m_scanning = true;
    for (ScanPlace const& place : system_scan_places())
        ScanPass(place);
    m_scanning = false;
    if (m_verdict_waits && !host::Host::current().has_ended())
        ShowVerdict();
}

void FrmSorrel::ScanPass(ScanPlace const& place)
{
    host::Host& host = host::Host::current();
    bool older = place.which == Messenger::Older;
    lists::DriveListBox& drives = older ? Drive1 : Drive2;
    ListBoxFolder files(older ? File1 : File2);
    host::TextBox& version_field = older ? Text4 : Text5;
    host::TextBox& folder_field = older ? Text6 : Text7;
    for (int i = 0; i < drives.ListCount(); ++i) {
        auto look = FolderLook::begin(fso(), files, drives.List(i), place);
        if (drive_used)
            drive_used(look.wanted);
        host.DoEvents();
        if (host.has_ended())
            return;
        if (look.link) {
            std::fprintf(stderr, "sorrel: %s\n", look.left_out_note().c_str());
            continue;
        }
        if (!look.found(files))
            continue;
        std::string found = files.folder();
        lists::ListItem& item = ListView1.ListItems().Add(found);
        // A version that can't be read leaves the column empty and the version field as it was.
        auto version = fso().GetFileVersion(found + std::string(place.program));
        if (!version.is_error()) {
            item.SubItems(1, version.value());
            version_field.Text(version.value());
        }
        folder_field.Text(found);
    }
}

void FrmSorrel::Timer1_Timer()
{
    int32_t value = ProgressBar1.Value();
    // Wraps like the 32-bit sum it is; the bar refuses what lies outside its range.
    ProgressBar1.Value(int32_t(uint32_t(value) + 1u));
    if (ProgressBar1.Value() != 100)
        return;
    if (m_scanning) {
        Timer1.Enabled(false);
        m_verdict_waits = true;
        return;
    }
    ShowVerdict();
}

void FrmSorrel::ShowVerdict()
{
    m_verdict_waits = false;
    ProgressBar1.Visible(false);
    Timer1.Enabled(false);
    ProgressBar1.Value(1);
    Frame2.Visible(false);
    Frame3.Visible(true);
    bool two_versions = verdict_of(ListView1.ListItems().Count()) == Verdict::Two;
    if (two_versions) {
        Text2.Text("Scan Successful,\r\n\r\nIt appears that you have two different versions of MSN Messenger "
                   "Installed.  You should uninstall the older version if you use the latest.");
    } else {
        Text2.Text(
            "Scan Successful,\r\n\r\nYou have one version of MSN Messenger installed.  You may now exit.");
    }
    CmdRemove.Enabled(two_versions);
    CmdExit.Enabled(!two_versions);
    FocusFirstButton(Frame3);
    // The focus lands on a button; the verdict is what the user waited for.
    host::Host::current().announce(Text2.Text());
}

} // namespace sorrel::app
