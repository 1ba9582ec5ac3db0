// "Begin Scan": every drive is searched for both Messenger folders (first under "Program Files",
// then under "Program Files (x86)"), each one found is listed with its program's version, and
// the progress run ends on the results page with the verdict.
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
    ScanPass(Drive1, File1, texts::OlderFolder, texts::OlderProgram, Text4, Text6);
    ScanPass(Drive2, File2, texts::NewerFolder, texts::NewerProgram, Text5, Text7);
    // The 32-bit folders of 64-bit systems come after the usual ones, so they count the same
    // way and, where both kinds of folder exist, the removal takes the later one found.
    ScanPass(Drive1, File1, texts::OlderFolderX86, texts::OlderProgram, Text4, Text6);
    ScanPass(Drive2, File2, texts::NewerFolderX86, texts::NewerProgram, Text5, Text7);
    m_scanning = false;
    if (m_verdict_waits && !host::Host::current().has_ended())
        ShowVerdict();
}

void FrmSorrel::ScanPass(lists::DriveListBox& drives, lists::FileListBox& files, std::string_view folder,
    std::string_view program, host::TextBox& version_field, host::TextBox& folder_field)
{
    host::Host& host = host::Host::current();
    for (int i = 0; i < drives.ListCount(); ++i) {
        std::string wanted = drives.List(i) + std::string(folder);
        // A linked folder would be listed here but could never be removed: the removal goes
        // through no link, since that would delete files outside the path the user sees.
        auto link = fso().link_on_path(wanted);
        // A folder that is not there fails, and the list keeps its previous folder. The list
        // reads through no link either, so one that came since the look above leaves it empty.
        if (!link) {
            (void)files.Path(wanted);
            if (files.Path() == wanted)
                link = files.link();
        }
        if (drive_used)
            drive_used(wanted);
        host.DoEvents();
        if (host.has_ended())
            return;
        if (link) {
            std::fprintf(stderr,
                "sorrel: %s is left out of the scan: \"%s\" is a link to \"%s\", and Sorrel does not remove "
                "linked folders\n",
                wanted.c_str(), link->path.string().c_str(), link->target.string().c_str());
            continue;
        }
        // Compared exactly, letter case included: only the folder just set counts.
        if (files.Path() != wanted)
            continue;
        std::string found = files.Path();
        lists::ListItem& item = ListView1.ListItems().Add(found);
        // A version that can't be read leaves the column empty and the version field as it was.
        auto version = fso().GetFileVersion(found + std::string(program));
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
    bool two_versions = ListView1.ListItems().Count() >= 2;
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
}

} // namespace sorrel::app
