#include "platform/os/Process.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace sorrel::os {

unsigned long own_process_id()
{
    return static_cast<unsigned long>(::getpid());
}

std::optional<std::string> process_start(unsigned long id)
{
    std::string folder = "/proc/" + std::to_string(id);
    std::error_code ec;
    if (!std::filesystem::exists(folder, ec))
        return ec ? std::nullopt : std::optional<std::string>("");
    std::ifstream stat(folder + "/stat");
    std::string line;
    std::getline(stat, line);
    // The name in parentheses may hold anything; the start time is the 20th field after it.
    auto end = line.rfind(')');
    if (end == std::string::npos)
        return std::nullopt;
    std::istringstream fields(line.substr(end + 1));
    std::string field;
    for (int i = 0; i < 20 && fields >> field; ++i) { }
    return fields ? std::optional(field) : std::nullopt;
}

void set_environment(const std::string& name, const std::filesystem::path& folder)
{
    ::setenv(name.c_str(), folder.c_str(), 1);
}

} // namespace sorrel::os
