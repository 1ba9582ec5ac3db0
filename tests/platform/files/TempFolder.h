#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace sorrel::files::test {

// A fresh folder under `base` (the system's temporary folder unless given), removed with everything
// in it at the end.
class TempFolder {
public:
    explicit TempFolder(std::filesystem::path const& base = std::filesystem::temp_directory_path(),
        std::string const& prefix = "sorrel-files-")
    {
        // A name nobody else has: creating a folder that already exists fails.
        std::random_device random;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            auto candidate = base / (prefix + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error))
                m_path = candidate;
        }
    }
    ~TempFolder()
    {
        std::error_code error;
        // Give write permission back so that what a test made read-only can go.
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, error);
             !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            if (!it->is_symlink())
                std::filesystem::permissions(
                    it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
        }
        std::filesystem::remove_all(m_path, error);
    }
    TempFolder(TempFolder const&) = delete;
    TempFolder& operator=(TempFolder const&) = delete;

    std::filesystem::path const& path() const { return m_path; }

    std::filesystem::path folder(std::string const& relative) const
    {
        std::filesystem::create_directories(m_path / relative);
        return m_path / relative;
    }
    std::filesystem::path file(std::string const& relative, std::string const& text = "x") const
    {
        std::filesystem::create_directories((m_path / relative).parent_path());
        std::ofstream(m_path / relative) << text;
        return m_path / relative;
    }

private:
    std::filesystem::path m_path;
};

} // namespace sorrel::files::test
