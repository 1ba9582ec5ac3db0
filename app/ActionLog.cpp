#include "app/ActionLog.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace sorrel::app {

base::ErrorOr<ActionLog> ActionLog::open(std::string const& path)
{
    std::u8string utf8(path.begin(), path.end());
    errno = 0;
    auto file
        = std::make_unique<std::ofstream>(std::filesystem::path(utf8), std::ios::app | std::ios::binary);
    if (!*file)
        return base::Error::from_errno("cannot open the log " + path, errno ? errno : EIO);
    ActionLog log;
    log.m_file = std::move(file);
    return log;
}

void ActionLog::write(std::string_view action)
{
    if (!m_file)
        return;
    std::string line = utc_timestamp() + " " + std::string(action) + "\n";
    m_file->write(line.data(), std::streamsize(line.size()));
    m_file->flush();
}

std::string utc_timestamp()
{
    using namespace std::chrono;
    auto now = floor<milliseconds>(system_clock::now());
    auto day = floor<days>(now);
    year_month_day date {day};
    hh_mm_ss time {now - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", int(date.year()),
        unsigned(date.month()), unsigned(date.day()), int(time.hours().count()), int(time.minutes().count()),
        int(time.seconds().count()), int(time.subseconds().count()));
    return text;
}

} // namespace sorrel::app
