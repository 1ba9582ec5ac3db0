#include "platform/files/DriveDiscovery.h"
#include "tests/platform/files/TempFolder.h"

#include <gtest/gtest.h>

using namespace sorrel::files;
using sorrel::files::test::TempFolder;

namespace {

void make_prefix(TempFolder const& temp, std::string const& prefix)
{
    temp.folder(prefix + "/drive_c");
    temp.folder(prefix + "/dosdevices");
    std::filesystem::create_symlink("../drive_c", temp.path() / prefix / "dosdevices/c:");
    std::filesystem::create_symlink("/", temp.path() / prefix / "dosdevices/z:");
}

std::vector<std::pair<std::string, std::filesystem::path>> bindings(DriveMap const& map)
{
    std::vector<std::pair<std::string, std::filesystem::path>> out;
    for (auto const& binding : map.bindings())
        out.emplace_back(binding.name(), binding.folder);
    return out;
}

} // namespace

TEST(DriveDiscovery, UnescapesMountTable)
{
    auto mounts = parse_mounts("/dev/sda1 /media/user/Windows\\040Disk ntfs3 rw 0 0\n"
                               "proc /proc proc rw 0 0\n"
                               "broken-line\n"
                               "/dev/sdb1 /mnt/a\\134b\\011c vfat rw 0 0");
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[0].mount_point, "/media/user/Windows Disk");
    EXPECT_EQ(mounts[0].type, "ntfs3");
    EXPECT_EQ(mounts[2].mount_point, "/mnt/a\\b\tc");
    EXPECT_EQ(unescape_mount_field("end\\04"), "end\\04");
}

TEST(DriveDiscovery, OwnPrefixKeepsLettersOthersAndMountsTakeFreeOnes)
{
    TempFolder temp;
    auto home = temp.folder("home");
    make_prefix(temp, "home/.wine");
    temp.folder("home/.wine/extra");
    std::filesystem::create_symlink("../extra", home / ".wine/dosdevices/e:");
    std::filesystem::create_symlink("/dev/ttyS0", home / ".wine/dosdevices/com1");
    make_prefix(temp, "home/.local/share/bottles/bottles/office");
    make_prefix(temp, "home/.steam/steam/steamapps/compatdata/123/pfx");
    temp.folder("home/Games/not-a-prefix/drive_c");
    auto windows = temp.folder("media/Windows Disk");
    auto same_as_e = home / ".wine/extra";

    DiscoveryInput input;
    input.home = home;
    input.mounts = "/dev/sda1 " + temp.path().string() + "/media/Windows\\040Disk ntfs3 rw 0 0\n"
        + "/dev/sda2 " + same_as_e.string() + " fuseblk rw 0 0\n" + "tmpfs " + temp.path().string()
        + " tmpfs rw 0 0\n" + "/dev/sdc1 /no/such/folder vfat rw 0 0\n";
    auto map = discover_drives(input, FileSystemProbe::real());

    using Binding = std::pair<std::string, std::filesystem::path>;
    EXPECT_EQ(bindings(map),
        (std::vector<Binding> {
            {"c:", home / ".wine/dosdevices/c:"},
            {"d:", home / ".local/share/bottles/bottles/office/dosdevices/c:"},
            {"e:", home / ".wine/dosdevices/e:"},
            {"f:", home / ".steam/steam/steamapps/compatdata/123/pfx/dosdevices/c:"},
            {"g:", windows},
        }));
}

TEST(DriveDiscovery, WinePrefixVariableReplacesTheDefault)
{
    TempFolder temp;
    make_prefix(temp, "home/.wine");
    make_prefix(temp, "custom");
    DiscoveryInput input;
    input.home = temp.path() / "home";
    input.wine_prefix = (temp.path() / "custom").string();
    EXPECT_EQ(find_wine_prefixes(input, FileSystemProbe::real()),
        (std::vector<std::filesystem::path> {temp.path() / "custom"}));

    // Only the chosen prefix's letters, and its z: (the whole Unix tree) left out.
    auto map = discover_drives(input, FileSystemProbe::real());
    ASSERT_EQ(map.bindings().size(), 1u);
    EXPECT_EQ(map.bindings()[0].folder, temp.path() / "custom/dosdevices/c:");
}
