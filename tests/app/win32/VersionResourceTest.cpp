// This program carries sorrel.exe's version resource; it reads it from its own file.
#include "platform/files/VersionReader.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

namespace {

std::wstring own_file()
{
    std::wstring path(32768, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return path;
}

std::string dotted(DWORD high, DWORD low)
{
    return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "."
        + std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
}

} // namespace

TEST(VersionResource, OurReaderAndWindowsBothReadTheVersionThatTheProgramShows)
{
    std::wstring path = own_file();
    ASSERT_FALSE(path.empty());

    // --version shows three parts; the resource's fixed version has a fourth, 0.
    auto ours = sorrel::files::read_file_version(path);
    ASSERT_FALSE(ours.is_error()) << ours.error().message;
    EXPECT_EQ(ours.value(), SORREL_VERSION ".0");

    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<std::byte> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS), ours.value());

    // The text that Explorer's properties show is the version exactly as --version shows it.
    wchar_t* text = nullptr;
    ASSERT_TRUE(VerQueryValueW(
        info.data(), L"\\StringFileInfo\\040904B0\\FileVersion", reinterpret_cast<void**>(&text), &length));
    EXPECT_EQ(std::wstring(text), std::wstring(L"" SORREL_VERSION));
}

namespace {

std::string_view resource_bytes(LPCWSTR name, LPCWSTR type)
{
    HRSRC found = FindResourceW(nullptr, name, type);
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(nullptr, found);
    return {static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, found)};
}

} // namespace

TEST(ProgramResources, TheIconHasTheWindowIconIn16And256Colours)
{
    std::string_view group = resource_bytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u + 2 * 14u);
    auto word
        = [&](size_t at) { return unsigned(uint8_t(group[at])) | unsigned(uint8_t(group[at + 1])) << 8; };
    ASSERT_EQ(word(2), 1u); // an icon, not a cursor
    ASSERT_EQ(word(4), 2u);
    std::vector<unsigned> bits;
    for (size_t entry = 6; entry < 6 + 2 * 14; entry += 14) {
        EXPECT_EQ(uint8_t(group[entry]), 32);
        EXPECT_EQ(uint8_t(group[entry + 1]), 32);
        bits.push_back(word(entry + 6));
        // Each image is there, and the system makes an icon of it.
        unsigned id = word(entry + 12);
        std::string_view image = resource_bytes(MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3)); // RT_ICON
        ASSERT_FALSE(image.empty());
        HICON icon = CreateIconFromResourceEx(reinterpret_cast<PBYTE>(const_cast<char*>(image.data())),
            DWORD(image.size()), TRUE, 0x00030000, 32, 32, 0);
        EXPECT_TRUE(icon);
        DestroyIcon(icon);
    }
    EXPECT_EQ(bits, (std::vector<unsigned> {4, 8}));
}

TEST(ProgramResources, TheManifestAsksForPerMonitorDpiCurrentCommonControlsAndAdministratorsRights)
{
    std::string manifest(resource_bytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))); // RT_MANIFEST
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor<"), std::string::npos);
    EXPECT_NE(manifest.find(">true/pm<"), std::string::npos);
    EXPECT_NE(
        manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    // An administrator is asked for the rights to delete in Program Files; the request is in the
    // namespace that Windows XP reads.
    EXPECT_NE(manifest.find("<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v2\">"), std::string::npos);
    EXPECT_NE(manifest.find("level=\"highestAvailable\""), std::string::npos);
    // The program's own architecture: Windows refuses a manifest that names another.
    EXPECT_NE(manifest.find(
                  sizeof(void*) == 4 ? "processorArchitecture=\"x86\"" : "processorArchitecture=\"amd64\""),
        std::string::npos);
}
