#pragma once

// The main window's code: the handlers behind its controls. The window's design (controls,
// positions, texts, stored settings) is the form file FrmSorrel.yaml; the host loads it, and this
// class connects to the loaded form.
//
// [SECTION] Where things are
//   FrmSorrel.cpp         binding to the form, page switch, remove options, Exit
//   FrmSorrelScan.cpp     "Begin Scan": the scan, the progress run and the verdict
//   FrmSorrelRemove.cpp   "Unistall": confirmation, deletion passes, failure list, retry
//
// The window's pages lie on top of each other; exactly one is visible:
//
//   page      frame    entered by
//   --------  -------  ---------------------------------------------------------------
//   Start     Frame2   opening; No after a completed removal
//   Results   Frame3   the end of the progress run (and of the scan, see ShowVerdict)
//   Remove    Frame1   "Remove Options"

#include "controls/button/QuillButton.h"
#include "controls/check/Check.h"
#include "controls/progressbar/ProgressBar.h"
#include "platform/files/FileSystemObject.h"
#include "platform/host/ErrorOr.h"
#include "platform/host/Form.h"
#include "platform/host/Frame.h"
#include "platform/host/TextBox.h"
#include "platform/host/Timer.h"
#include "platform/lists/DriveListBox.h"
#include "platform/lists/FileListBox.h"
#include "platform/lists/ListView.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::app {

// The texts the window shows, exactly as the user sees them.
namespace texts {
constexpr std::string_view OlderFolder = "\\Program Files\\Messenger";
constexpr std::string_view OlderProgram = "\\msmsgs.exe";
constexpr std::string_view NewerFolder = "\\Program Files\\MSN Messenger";
constexpr std::string_view NewerProgram = "\\msnmsgr.exe";
// Where a 32-bit installer puts them on 64-bit Windows and in 64-bit Wine prefixes.
constexpr std::string_view OlderFolderX86 = "\\Program Files (x86)\\Messenger";
constexpr std::string_view NewerFolderX86 = "\\Program Files (x86)\\MSN Messenger";
} // namespace texts

class FrmSorrel {
public:
    // Finds the designed controls on a loaded form and connects the handlers; fails naming the
    // first control that is missing or of the wrong kind.
    static host::ErrorOr<std::unique_ptr<FrmSorrel>> attach(host::Form& form);

    host::Form& form() { return m_form; }

    // Handlers ---------------------------------------------------------------------------------
    void CmdSCan_Click();
    void Timer1_Timer();
    void CmdRemove_Click();
    void CmdExit_Click();
    void ChkOld_Click();
    void ChkNew_Click();
    void CmdUnistall_Click();

    // Names the files and folders still there after an attempt in Text8 and returns the text of
    // the box that offers to try again.
    std::string ListNotDeleted(std::vector<std::string> const& left);

    // Whether "Begin Scan" is still walking the drives.
    bool is_scanning() const { return m_scanning; }

    // For tests: called with the path after each use of a drive (the scan setting a file list's
    // folder there, the removal deleting a file there). Headless runs let time pass here to
    // play a slow drive.
    std::function<void(std::string_view path)> drive_used;

    // Controls ---------------------------------------------------------------------------------
    host::Frame& Frame1;
    host::Frame& Frame2;
    host::Frame& Frame3;
    host::Frame& Frame4;
    host::TextBox& Text1;
    host::TextBox& Text2;
    host::TextBox& Text3;
    host::TextBox& Text4;
    host::TextBox& Text5;
    host::TextBox& Text6;
    host::TextBox& Text7;
    host::TextBox& Text8;
    controls::QuillButton& CmdSCan;
    controls::QuillButton& CmdRemove;
    controls::QuillButton& CmdExit;
    controls::QuillButton& CmdUnistall;
    controls::ProgressBar& ProgressBar1;
    controls::ProgressBar& ProgressBar2;
    controls::Check& ChkOld;
    controls::Check& ChkNew;
    host::Timer& Timer1;
    lists::ListView& ListView1;
    lists::DriveListBox& Drive1;
    lists::DriveListBox& Drive2;
    lists::FileListBox& File1;
    lists::FileListBox& File2;

private:
    struct Controls;
    FrmSorrel(host::Form& form, const Controls& controls);
    void connect();

    // One pass of the scan over every drive for one kind of Messenger.
    void ScanPass(lists::DriveListBox& drives, lists::FileListBox& files, std::string_view folder,
        std::string_view program, host::TextBox& version_field, host::TextBox& folder_field);
    // Ends the progress run: hides the bar, shows the results page with the verdict.
    void ShowVerdict();

    // Deletes File1's entries 0 .. count - 1 as listed now, moving ProgressBar2 along.
    void DeletionPass(int count, files::DeletionPass const& in_use);
    // The folder is gone: reports it and asks whether to exit.
    void FinishRemoval();
    void ReturnToStart();
    // Gives the focus to the first enabled button of `page` in tab order, so that Space and
    // Enter work at once on the page just shown.
    void FocusFirstButton(host::Control& page);
    files::FileSystemObject& fso();

    host::Form& m_form;
    std::optional<files::FileSystemObject> m_fso;
    std::shared_ptr<const files::DriveMap> m_fso_drives;
    bool m_scanning {false};
    // The progress run reached its end while the scan still ran: the verdict waits for the scan.
    bool m_verdict_waits {false};
};

} // namespace sorrel::app
