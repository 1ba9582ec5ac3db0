#pragma once

// Unix symbolic links in a Wine drive, made from inside Wine the way a Linux user or program makes
// them. Windows only.

#include "platform/files/win32/WindowsFiles.h"
#include "tests/support/Wine.h"

#include <filesystem>
#include <string>

#include <windows.h>

namespace sorrel::files::test {

// Waits up to ten seconds for `done`.
template<typename Done> bool wait_for(Done done)
{
    for (int i = 0; i < 1000 && !done(); ++i)
        Sleep(10);
    return done();
}

// A Unix symbolic link made by the system's own ln through Wine's Unix side, the way a Linux user
// or program makes one in a Wine drive. rm takes it away again at the end: rm without -r never
// follows a link.
class UnixLink {
public:
    // `target` is written into the link as it stands: relative to the link's folder, or absolute.
    UnixLink(std::filesystem::path const& link, std::string const& target)
        : m_link(link.wstring())
    {
        auto folder = test_support::unix_name_of(link.parent_path());
        if (!folder) {
            m_why = "no Unix side to make a symbolic link on";
            return;
        }
        m_unix = *folder + "/" + link.filename().string();
        if (!test_support::run_unix(windows::to_wide("Z:\\bin\\ln -s \"" + target + "\" \"" + m_unix + "\""))
            || !wait_for([&] { return is_there(); }))
            m_why = "ln made no link at " + m_unix;
    }
    ~UnixLink()
    {
        if (m_unix.empty())
            return;
        // Wine does not show a link that leads nowhere: rm takes a file made here after the link,
        // whose going tells that rm is done.
        std::wstring done = m_link + L".rm";
        windows::Handle(CreateFileW(done.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)).reset();
        if (test_support::run_unix(
                windows::to_wide("Z:\\bin\\rm -f \"" + m_unix + "\" \"" + m_unix + ".rm\"")))
            wait_for([&] { return GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES; });
    }
    UnixLink(UnixLink const&) = delete;
    UnixLink& operator=(UnixLink const&) = delete;

    bool made() const { return m_why.empty(); }
    std::string const& why() const { return m_why; }

private:
    bool is_there() const { return GetFileAttributesW(m_link.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::wstring m_link;
    std::string m_unix;
    std::string m_why;
};

} // namespace sorrel::files::test
