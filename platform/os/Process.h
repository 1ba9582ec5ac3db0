#pragma once

// Processes and the environment, as far as the program needs them.

#include <filesystem>
#include <optional>
#include <string>

namespace sorrel::os {

unsigned long own_process_id();

// When the process `id` started, as a number that tells it from a later process of the same id;
// empty when no such process runs, nothing when that cannot be found out.
std::optional<std::string> process_start(unsigned long id);

// Sets the environment variable `name` of this process, and so of the programs it starts, to
// `folder`.
void set_environment(const std::string& name, const std::filesystem::path& folder);

} // namespace sorrel::os
