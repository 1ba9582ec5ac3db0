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

#include "app/Installations.h"
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

// A window's file list as the scan and the removal use it; what they do to it shows.
class ListBoxFolder final : public FolderList {
public:
    explicit ListBoxFolder(lists::FileListBox& box)
        : m_box(box)
    { }
    files::Result<void> set_folder(std::string_view path) override { return m_box.Path(path); }
    std::string const& folder() const override { return m_box.Path(); }
    int count() const override { return m_box.ListCount(); }
    std::string name(int index) const override { return m_box.List(index); }
    files::ListedFile listed(int index) const override { return m_box.listed_file(index); }
    std::optional<files::FileIdentity> folder_identity() const override { return m_box.folder_identity(); }
    std::optional<files::Link> const& link() const override { return m_box.link(); }
    void refresh() override { m_box.Refresh(); }

private:
    lists::FileListBox& m_box;
};

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

    // One pass of the scan over every drive for one place.
    void ScanPass(ScanPlace const& place);
    // Ends the progress run: hides the bar, shows the results page with the verdict.
    void ShowVerdict();

    // One attempt at removing the older Messenger's folder, moving ProgressBar2 along.
    RemovalAttempt RemovalPass();
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
