// The shipped setup.exe as a file: what it imports and what it declares.
#include "framework/string_ids.h"
#include "resources/resource.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cctype>
#include <set>

namespace {

// DLL names in the import table of a 32-bit PE file.
std::set<std::string> ImportedDlls(const std::string& image) {
    std::set<std::string> names;
    auto at = [&](size_t offset) { return image.data() + offset; };
    if (image.size() < 0x40) return names;
    DWORD peOffset = *reinterpret_cast<const DWORD*>(at(0x3C));
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(at(peOffset));
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto* sections = IMAGE_FIRST_SECTION(nt);
    auto toOffset = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return 0;
    };
    size_t offset = toOffset(dir.VirtualAddress);
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(offset)); offset && d->Name; ++d) {
        std::string name = at(toOffset(d->Name));
        std::transform(name.begin(), name.end(), name.begin(), [](char c) { return std::toupper(c); });
        names.insert(name);
    }
    return names;
}

std::string ManifestOf(const std::string& program) {
    HMODULE m = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    std::string text;
    HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    if (r) text.assign(static_cast<const char*>(LockResource(LoadResource(m, r))), SizeofResource(m, r));
    FreeLibrary(m);
    return text;
}

TEST(ProgramFile, ImportsOnlyDllsThatWindowsShips) {
    const std::set<std::string> system = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL",
                                          "WINSPOOL.DRV", "COMCTL32.DLL", "SHELL32.DLL", "MSVCRT.DLL",
                                          "COMDLG32.DLL", "OLE32.DLL", "OLEAUT32.DLL", "SHLWAPI.DLL"};
    std::set<std::string> dlls = ImportedDlls(test::ReadFileBytes(test::BuildPath("setup.exe")));
    ASSERT_FALSE(dlls.empty());
    EXPECT_TRUE(dlls.count("KERNEL32.DLL"));
    for (const std::string& dll : dlls) EXPECT_TRUE(system.count(dll)) << dll << " is not a system DLL";
}

const IMAGE_NT_HEADERS32* NtHeaders(const std::string& image) {
    return reinterpret_cast<const IMAGE_NT_HEADERS32*>(
        image.data() + *reinterpret_cast<const DWORD*>(image.data() + 0x3C));
}

TEST(ProgramFile, IsA32BitGuiProgram) {
    std::string image = test::ReadFileBytes(test::BuildPath("setup.exe"));
    ASSERT_GT(image.size(), 0x200u);
    const IMAGE_NT_HEADERS32* nt = NtHeaders(image);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

// What a release build ships carries neither symbols nor debugging sections.
TEST(ProgramFile, ReleaseProgramsAreStripped) {
#ifndef NDEBUG
    GTEST_SKIP() << "not a release build";
#endif
    for (const char* program : {"setup.exe", "uninstaller\\uninstall.exe"}) {
        std::string image = test::ReadFileBytes(test::BuildPath(program));
        ASSERT_GT(image.size(), 0x200u) << program;
        const IMAGE_NT_HEADERS32* nt = NtHeaders(image);
        EXPECT_EQ(nt->FileHeader.PointerToSymbolTable, 0u) << program;
        EXPECT_EQ(nt->FileHeader.NumberOfSymbols, 0u) << program;
        const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            std::string name(reinterpret_cast<const char*>(sections[i].Name), 8);
            // Long names such as ".debug_info" live in the symbols' string table: "/4".
            EXPECT_TRUE(name.rfind(".debug", 0) != 0 && name[0] != '/') << program << ": " << name.c_str();
        }
    }
}

// Both programs ask for administrator rights, name Windows Vista to 11 as
// systems they support (or Windows 10 would tell them it is 6.2) and draw
// themselves at the screen's DPI.
TEST(ProgramFile, AsksForAdministratorRightsAndCarriesAVersion) {
    for (const char* program : {"setup.exe", "uninstaller\\uninstall.exe"}) {
        std::string manifest = ManifestOf(test::BuildPath(program));
        EXPECT_NE(manifest.find("requestedExecutionLevel level=\"requireAdministrator\""), std::string::npos)
            << manifest;
        for (const char* system : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                                   "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                                   "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
            EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"{") + system + "}\"/>"), std::string::npos)
                << program << ": " << system;
        EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true<"),
                  std::string::npos)
            << program;
    }
    DWORD handle = 0;
    std::string program = test::BuildPath("setup.exe");
    DWORD size = GetFileVersionInfoSizeA(program.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::string info(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(program.c_str(), 0, size, &info[0]));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(&info[0], "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1);
}

TEST(ProgramFile, HasNoApplicationTitleString) {
    HMODULE m = LoadLibraryExA(test::BuildPath("setup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char text[64] = {};
    EXPECT_EQ(LoadStringA(m, IDS_APP_TITLE, text, sizeof text), 0);
    EXPECT_GT(LoadStringA(m, IDS_ABOUTBOX, text, sizeof text), 0);
    FreeLibrary(m);
}

}  // namespace
