// File services: the version of a 20 MB program file (it must read a few KB, not the file), next
// to reading the whole file; deleting a 10,000-file tree, next to `rm -r` of the same tree; and the
// window's removal of a folder of 10,000 listed files (one DeleteFile per listed file, then
// DeleteFolder), next to `rm -r` of the same folder.

#include "platform/files/FileListModel.h"
#include "platform/files/FileSystemObject.h"
#include "platform/files/VersionReader.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
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

void make_files(fs::path const& dir, int count)
{
    fs::create_directories(dir);
    for (int file = 0; file < count; ++file) {
        int fd = ::open(
            (dir / ("file" + std::to_string(file) + ".dat")).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::write(fd, "data", 4);
            ::close(fd);
        }
    }
}

void make_tree(fs::path const& root)
{
    for (int folder = 0; folder < tree_folders; ++folder)
        make_files(root / ("folder" + std::to_string(folder)), files_per_folder);
}

double seconds(timeval const& t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

// Processor time (user and system) of this process, or of its waited-for children.
double cpu_seconds(int who)
{
    rusage usage {};
    ::getrusage(who, &usage);
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// `rm -r` of `path` as a process of its own, as a user would run it.
bool run_rm_recursive(fs::path const& path)
{
    char const* argv[] = {"rm", "-r", path.c_str(), nullptr};
    pid_t pid = 0;
    if (::posix_spawn(&pid, "/bin/rm", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return false;
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
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
        if (!run_rm_recursive(tree)) {
            state.SkipWithError("rm -r failed");
            break;
        }
    }
}
BENCHMARK(BM_RmRecursive)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

constexpr int listed_files = 10000;

// The window's removal of the older Messenger's folder as listed: the files in use are found once
// for the attempt, each listed file is deleted on its own, then the folder. Wall times swing with
// the disk's journal; cpu_ms (user and system time of the deleting process) is steadier. Compare
// with --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true.
void BM_RemoveListedFolder(benchmark::State& state)
{
    auto drive = scratch_folder() / "drive";
    DriveMap drives;
    (void)drives.add('c', drive);
    FileSystemObject fso(drives);
    FileListModel list(drives);
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        make_files(drive / "Messenger", listed_files);
        (void)list.set_path("c:\\Messenger");
        std::vector<ListedFile> listed;
        for (std::size_t i = 0; i < list.list_count(); ++i)
            listed.push_back(list.listed(i));
        state.ResumeTiming();
        double cpu_before = cpu_seconds(RUSAGE_SELF);
        auto pass = FileSystemObject::begin_deletion_pass();
        if (auto folder = list.folder_identity())
            pass.forget(*folder);
        for (auto const& file : listed)
            (void)fso.DeleteFile(file, false, &pass);
        auto deleted = fso.DeleteFolder("c:\\Messenger", false, &pass);
        cpu += cpu_seconds(RUSAGE_SELF) - cpu_before;
        state.PauseTiming();
        (void)list.set_path("");
        if (deleted.is_error() || listed.size() != listed_files)
            state.SkipWithError("the folder was not removed");
        state.ResumeTiming();
    }
    state.counters["files"] = listed_files;
    state.counters["cpu_ms"] = cpu * 1000 / double(state.iterations());
}
BENCHMARK(BM_RemoveListedFolder)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: `rm -r` of the same folder.
void BM_RmRecursiveListedFolder(benchmark::State& state)
{
    auto folder = scratch_folder() / "drive" / "Messenger";
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        make_files(folder, listed_files);
        state.ResumeTiming();
        double cpu_before = cpu_seconds(RUSAGE_CHILDREN);
        if (!run_rm_recursive(folder)) {
            state.SkipWithError("rm -r failed");
            break;
        }
        cpu += cpu_seconds(RUSAGE_CHILDREN) - cpu_before;
    }
    state.counters["cpu_ms"] = cpu * 1000 / double(state.iterations());
}
BENCHMARK(BM_RmRecursiveListedFolder)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
