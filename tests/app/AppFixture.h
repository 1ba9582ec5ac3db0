#pragma once

// The main window on the headless backend, scanning drives made in a temporary folder with real
// program files.

#include "app/Session.h"
#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/lists/Drives.h"
#include "tests/platform/files/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>

namespace sorrel::app::testing {

namespace fs = std::filesystem;

// Program files of known versions (tests/data/files).
constexpr const char* OlderProgram = "exe64_basic.exe"; // 4.7.3001.0
constexpr const char* NewerProgram = "exe32_leading_zero.exe"; // 7.0.816.0
constexpr const char* NoVersion = "exe64_no_version.exe";
constexpr const char* OlderFolder = "Program Files/Messenger";
constexpr const char* NewerFolder = "Program Files/MSN Messenger";

constexpr const char* TwoVersionsVerdict
    = "Scan Successful,\r\n\r\nIt appears that you have two different versions "
      "of MSN Messenger Installed.  You should uninstall the older version if "
      "you use the latest.";
constexpr const char* OneVersionVerdict
    = "Scan Successful,\r\n\r\nYou have one version of MSN Messenger installed.  You may now exit.";

// The window's design file: the one the program finds beside it, else (on Windows, where the
// program has only its built-in design) the one in the source tree.
inline std::string design_file()
{
    std::string beside = Session::form_file_path();
    return beside.empty()
        ? (fs::path(SORREL_TEST_DATA).parent_path().parent_path() / "app" / "FrmSorrel.yaml").string()
        : beside;
}

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_temp.emplace(temp_base(), "sorrel-app-");
        m_root = m_temp->path();
        ASSERT_FALSE(m_root.empty()) << "no folder could be made in " << temp_base();
    }
    void TearDown() override
    {
        m_session.reset();
        lists::use_drives({});
        m_temp.reset();
    }

    // Where the drives' folder is made.
    virtual fs::path temp_base() const { return fs::temp_directory_path(); }

    // The folder of drive `letter` (made on first use).
    fs::path drive(char letter)
    {
        fs::path folder = m_root / std::string(1, letter);
        fs::create_directories(folder);
        if (!m_drives.has_letter(letter)) {
            EXPECT_FALSE(m_drives.add(letter, folder).is_error());
        }
        return folder;
    }
    // Copies a program file from the test data to `relative` on drive `letter`.
    fs::path program(char letter, const std::string& relative, const char* source)
    {
        fs::path target = drive(letter) / relative;
        fs::create_directories(target.parent_path());
        fs::copy_file(
            fs::path(SORREL_TEST_DATA) / "files" / source, target, fs::copy_options::overwrite_existing);
        return target;
    }
    fs::path text_file(char letter, const std::string& relative, const std::string& text = "x")
    {
        fs::path target = drive(letter) / relative;
        fs::create_directories(target.parent_path());
        std::ofstream(target) << text;
        return target;
    }
    // The usual older Messenger: its program and two companions.
    void older_messenger(char letter)
    {
        program(letter, std::string(OlderFolder) + "/msmsgs.exe", OlderProgram);
        text_file(letter, std::string(OlderFolder) + "/readme.txt");
        program(letter, std::string(OlderFolder) + "/msgsc.dll", "dll32_basic.dll");
    }
    void newer_messenger(char letter)
    {
        program(letter, std::string(NewerFolder) + "/msnmsgr.exe", NewerProgram);
    }

    // Opens the window on the drives made so far.
    void open()
    {
        lists::use_drives(m_drives);
        auto backend = backend::HeadlessBackend::create();
        headless = backend.get();
        auto session = Session::open(std::move(backend));
        ASSERT_FALSE(session.is_error()) << session.error().message;
        m_session = session.release_value();
        w = &m_session->window();
    }
    // The program ends: the window and what it holds open go.
    void end_program()
    {
        w = nullptr;
        headless = nullptr;
        m_session.reset();
    }
    host::Host& host() { return m_session->host(); }
    Session& session() { return *m_session; }

    // Clicks "Begin Scan" and lets the progress run end.
    void scan()
    {
        ASSERT_TRUE(headless->click(w->CmdSCan));
        headless->advance(1500);
    }
    // Scan, then "Remove Options".
    void scan_and_open_remove_page()
    {
        scan();
        ASSERT_TRUE(w->CmdRemove.Enabled());
        ASSERT_TRUE(headless->click(w->CmdRemove));
    }
    // Half a second apart, so that two clicks never make a double click.
    void click_unistall()
    {
        headless->advance(600);
        ASSERT_TRUE(headless->click(w->CmdUnistall));
    }
    // The check box's picture: the part of the box that takes the pointer.
    void click_box(controls::Check& box) { ASSERT_TRUE(headless->click(box.picture_box())); }
    const backend::HeadlessBackend::ShownBox* last_box() const
    {
        return headless->boxes().empty() ? nullptr : &headless->boxes().back();
    }
    const fs::path& root() const { return m_root; }

    // Opens the window on the drives made so far and scans: the results page that a real window
    // must come to show, and where "Begin Scan" was clicked, in the form's pixels.
    void headless_results_page(gdi::Surface& page, gdi::Point& click)
    {
        ASSERT_NO_FATAL_FAILURE(open());
        ASSERT_NO_FATAL_FAILURE(scan());
        click = host().pointer();
        page = headless->screen();
    }

    backend::HeadlessBackend* headless {nullptr};
    FrmSorrel* w {nullptr};

private:
    std::optional<files::test::TempFolder> m_temp;
    fs::path m_root;
    files::DriveMap m_drives;
    std::unique_ptr<Session> m_session;
};

} // namespace sorrel::app::testing
