// What the program carries besides code: version information, the manifest and the icon, read from the built
// Velstrand.exe as Windows' own loader and Explorer read them.

#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "test_files.h"

namespace velstrand::testing {
namespace {

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
    struct Translation {
        WORD language;
        WORD codePage;
    }* translations = nullptr;
    UINT size = 0;
    if (!::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &size) ||
        size < sizeof(Translation)) {
        return L"<no translation>";
    }
    wchar_t block[64];
    swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translations[0].language, translations[0].codePage, name);
    wchar_t* value = nullptr;
    if (!::VerQueryValueW(info.data(), block, reinterpret_cast<void**>(&value), &size)) {
        return L"<missing>";
    }
    return value;
}

TEST(ProgramResources, VersionInformationNamesTheProductAndItsVersion) {
    const std::wstring exe = BuiltFile(VELSTRAND_EXE).wstring();
    const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));

    EXPECT_EQ(VersionString(info, L"ProductName"), L"Velstrand");
    EXPECT_EQ(VersionString(info, L"ProductVersion"), TEXT(VELSTRAND_VERSION));
    EXPECT_EQ(VersionString(info, L"OriginalFilename"), L"Velstrand.exe");

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize));
    const std::wstring numbers = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numbers, TEXT(VELSTRAND_VERSION));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST(ProgramResources, TheManifestAsksForCommonControls6PerMonitorDpiLongPathsAndTheHighestRights) {
    const UniqueModule exe(::LoadLibraryExW(BuiltFile(VELSTRAND_EXE).c_str(), nullptr,
                                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(exe);
    const HRSRC found = ::FindResourceW(exe.Get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(exe.Get(), found)));
    ASSERT_NE(data, nullptr);
    const std::string manifest(data, ::SizeofResource(exe.Get(), found));

    for (const char* wanted :
         {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "PerMonitorV2",
          "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm",
          "<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>",
          "level=\"highestAvailable\""}) {
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    }
}

TEST(ProgramResources, TheIconComesInSmallAndLargeSizes) {
    const UniqueModule exe(::LoadLibraryExW(BuiltFile(VELSTRAND_EXE).c_str(), nullptr,
                                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(exe);
    for (const int size : {16, 32, 48, 256}) {
        const HANDLE icon = ::LoadImageW(exe.Get(), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(static_cast<HICON>(icon), &info));
        BITMAP bitmap{};
        ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(static_cast<HICON>(icon));
    }
}

}  // namespace
}  // namespace velstrand::testing
