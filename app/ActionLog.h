#pragma once

#include "platform/base/ErrorOr.h"

#include <fstream>
#include <memory>
#include <string>
#include <string_view>

namespace sorrel::app {

// The log of --log: one line per action with its time, appended and handed to the system at once,
// so that a removal stopped halfway (even killed) leaves an account of what it did. Without a
// file it writes nothing.
class ActionLog {
public:
    ActionLog() = default;
    // Opens `path` (UTF-8) for appending, making it when it is not there.
    static base::ErrorOr<ActionLog> open(std::string const& path);

    // "2026-12-08T15:40:01.250Z deleted c:\Program Files\Messenger\msmsgs.exe"
    void write(std::string_view action);
    bool is_open() const { return m_file != nullptr; }

private:
    std::unique_ptr<std::ofstream> m_file;
};

// The time now in UTC, to the millisecond: "2026-12-08T15:40:01.250Z".
std::string utc_timestamp();

} // namespace sorrel::app
