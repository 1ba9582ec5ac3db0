#pragma once

#include "platform/files/Result.h"

#include <cerrno>
#include <cstddef>
#include <optional>
#include <string>

namespace sorrel::files {

// What the deleters of every system report, in the same words: the window names the files that
// stayed, and these messages say why.

// A Windows path ends at 32,767 characters, and each level below a drive's root takes at least
// two ("\\a"): no tree that Windows can hold is deeper. What lies below stays.
constexpr std::size_t max_deletion_depth = 32767 / 2;

inline std::string in_quotes(std::string const& shown)
{
    return "\"" + shown + "\"";
}

inline Error read_only_error(std::string const& shown)
{
    return Error {in_quotes(shown) + " is read-only", EACCES};
}

// Refused for want of rights that an administrator has: on Windows from Vista on, a user started
// normally may not delete in "Program Files". The window says so beside the name.
constexpr int no_rights_code = EPERM;
inline Error no_rights_error(std::string const& shown)
{
    return Error {in_quotes(shown) + ": access denied", no_rights_code};
}

inline Error in_use_error(std::string const& shown)
{
    return Error {in_quotes(shown) + " is in use", EBUSY};
}

inline Error replaced_error(std::string const& shown, int code)
{
    return Error {in_quotes(shown) + " was replaced while being deleted", code};
}

// The failures of one folder's contents: the first one in full, and how many there were.
class DeletionFailures {
public:
    void add(Error error)
    {
        if (!m_first)
            m_first = std::move(error);
        ++m_count;
    }

    Result<void> result(std::string const& folder_shown) const
    {
        if (!m_first)
            return {};
        if (m_count == 1)
            return *m_first;
        return Error {std::to_string(m_count) + " items in " + in_quotes(folder_shown)
                + " could not be deleted; the first: " + m_first->message,
            m_first->code};
    }

private:
    std::size_t m_count {0};
    std::optional<Error> m_first;
};

} // namespace sorrel::files
