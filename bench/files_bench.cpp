// File services: the version of a 20 MB program file (it must read a few KB, not the file), next
// to reading the whole file; and deleting a 10,000-file tree, next to `rm -r` of the same tree.

#include "platform/files/FileSystemObject.h"
#include "platform/files/VersionReader.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace sorrel::files;

namespace {

constexpr std::size_t padding_size = 20u << 20;
constexpr int tree_folders = 100;
constexpr int files_per_folder = 100;

// A folder of our own for the run, removed at exit.
struct ScratchFolder {
    ScratchFolder()
    {
        auto pattern = (fs::temp_directory_path() / "sorrel-files-bench-XXXXXX").string();
        if (char* made = ::mkdtemp(pattern.data()))
            path = made;
    }
    ~ScratchFolder()
    {
        std::error_code error;
        if (!path.empty())
            fs::remove_all(path, error);
    }
    fs::path path;
};

fs::path scratch_folder()
{
    static ScratchFolder const folder;
    return folder.path;
}

// A real program file with 20 MB appended, as installers append their payload.
fs::path large_program_file()
{
    static fs::path const path = [] {
        auto path = scratch_folder() / "large.exe";
        fs::copy_file(
            fs::path(SORREL_FILES_TEST_DATA) / "exe64_basic.exe", path, fs::copy_options::overwrite_existing);
        std::ofstream out(path, std::ios::binary | std::ios::app);
        std::string block(1 << 20, '\xA5');
        for (std::size_t written = 0; written < padding_size; written += block.size())
            out << block;
        return path;
    }();
    return path;
}

void make_tree(fs::path const& root)
{
    for (int folder = 0; folder < tree_folders; ++folder) {
        auto dir = root / ("folder" + std::to_string(folder));
        fs::create_directories(dir);
        for (int file = 0; file < files_per_folder; ++file) {
            int fd = ::open((dir / ("file" + std::to_string(file) + ".dat")).c_str(),
                O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (fd >= 0) {
                ::write(fd, "data", 4);
                ::close(fd);
            }
        }
    }
}

void BM_GetFileVersionOfLargeFile(benchmark::State& state)
{
    auto path = large_program_file();
    std::uint64_t bytes_read = 0;
    for (auto _ : state) {
        auto version = read_file_version(path, &bytes_read);
        if (version.is_error() || version.value() != "4.7.3001.0")
            state.SkipWithError("wrong version");
        benchmark::DoNotOptimize(version);
    }
    state.counters["bytes_read"] = static_cast<double>(bytes_read);
    state.counters["file_size"] = static_cast<double>(fs::file_size(path));
}
BENCHMARK(BM_GetFileVersionOfLargeFile);

// Baseline: reading the whole file once, as a reader that loads the file would.
void BM_ReadWholeLargeFile(benchmark::State& state)
{
    auto path = large_program_file();
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        std::size_t total = 0;
        for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;)
            total += static_cast<std::size_t>(n);
        ::close(fd);
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ReadWholeLargeFile);

void BM_DeleteFolderTree(benchmark::State& state)
{
    auto drive = scratch_folder() / "drive";
    fs::create_directories(drive);
    DriveMap drives;
    (void)drives.add('c', drive);
    FileSystemObject fso(drives);
    for (auto _ : state) {
        state.PauseTiming();
        make_tree(drive / "Tree");
        state.ResumeTiming();
        auto deleted = fso.DeleteFolder("c:\\Tree", false);
        if (deleted.is_error())
            state.SkipWithError(deleted.error().message.c_str());
    }
    state.counters["files"] = tree_folders * files_per_folder;
}
BENCHMARK(BM_DeleteFolderTree)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: `rm -r` of the same tree.
void BM_RmRecursive(benchmark::State& state)
{
    auto tree = scratch_folder() / "drive" / "Tree";
    for (auto _ : state) {
        state.PauseTiming();
        make_tree(tree);
        state.ResumeTiming();
        char const* argv[] = {"rm", "-r", tree.c_str(), nullptr};
        pid_t pid = 0;
        if (::posix_spawnp(&pid, "rm", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) {
            state.SkipWithError("cannot run rm");
            break;
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
}
BENCHMARK(BM_RmRecursive)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
