#pragma once

#include "platform/files/Result.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::files {

struct DriveBinding {
    char letter {0}; // 'a' to 'z'
    std::filesystem::path folder;
    // The folder with its links resolved when the drive was bound (see resolve_drive_folder).
    std::filesystem::path resolved;

    // The drive list's entry: "c:", lower case, no label.
    std::string name() const { return std::string(1, letter) + ":"; }
};

// Windows drive letters bound to folders of the Linux file system, kept in letter order.
class DriveMap {
public:
    // Binds `letter` (either case) to `folder`. Fails for a letter outside a to z, or one already bound.
    Result<void> add(char letter, std::filesystem::path folder);

    // The folder of a drive, or null when the drive is not there.
    std::filesystem::path const* folder(char letter) const;
    DriveBinding const* binding(char letter) const;

    std::vector<DriveBinding> const& bindings() const { return m_bindings; }
    std::vector<std::string> drive_names() const;
    bool is_empty() const { return m_bindings.empty(); }
    bool has_letter(char letter) const { return folder(letter) != nullptr; }

    // Builds a map from "X:=DIR" arguments, as given on the command line with --drive.
    static Result<DriveMap> from_arguments(std::vector<std::string> const& arguments);

private:
    std::vector<DriveBinding> m_bindings;
};

// Parses one "X:=DIR" argument. The folder must be given as an absolute path.
Result<DriveBinding> parse_drive_argument(std::string_view argument);

// Where a drive's folder leads when the drive is bound, so that what lies below it is later
// reached through no link at all, the drive's folder included: a Wine prefix's "dosdevices/c:" is a
// link by design, but a folder swapped for a link afterwards must not take the drive elsewhere.
// Empty when the folder isn't there yet, and on Windows, whose drive roots are no links.
std::filesystem::path resolve_drive_folder(std::filesystem::path const& folder);

// The lower-case letter of `c` when it names a drive, else 0.
char drive_letter(char c);

} // namespace sorrel::files
