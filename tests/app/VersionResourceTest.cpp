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
