// The model resource DLLs: their strings in each language, their version
// resources, and that they are code-free data files.
#include "test_support.h"
#include <gtest/gtest.h>
#include <string>

namespace {

struct ResourceDll {
    const char* file;
    LANGID language;
    const char* fileVersion;
    WORD machine;
};
// The x64 set's are the general set's strings in 64-bit DLLs.
const ResourceDll kDlls[] = {
    {"KRXRES_chs.dll", 0x0804, "1.0.0.1", IMAGE_FILE_MACHINE_I386},
    {"KRXRES_chs_general.dll", 0x0804, "1.0.1.1", IMAGE_FILE_MACHINE_I386},
    {"KRXRES_cht.dll", 0x0404, "1.0.0.1", IMAGE_FILE_MACHINE_I386},
    {"KRXRES_eng.dll", 0x0409, "1.0.0.1", IMAGE_FILE_MACHINE_I386},
    {"KRXRES_chs_general_x64.dll", 0x0804, "1.0.1.1", IMAGE_FILE_MACHINE_AMD64},
    {"KRXRES_cht_x64.dll", 0x0404, "1.0.0.1", IMAGE_FILE_MACHINE_AMD64},
    {"KRXRES_eng_x64.dll", 0x0409, "1.0.0.1", IMAGE_FILE_MACHINE_AMD64},
};

std::string DllPath(const char* file) { return test::BuildPath(std::string("payload\\") + file); }

std::wstring Wide(const char* utf8) {
    WCHAR text[256] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text, 256);
    return text;
}

class DataFile {
public:
    explicit DataFile(const char* file)
        : module(LoadLibraryExA(DllPath(file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~DataFile() {
        if (module) FreeLibrary(module);
    }
    std::wstring String(UINT id) const {
        WCHAR text[256] = {};
        LoadStringW(module, id, text, 256);
        return text;
    }
    HMODULE module;
};

TEST(ResourceDllTest, EveryStringInTheDllsLanguage) {
    for (const ResourceDll& dll : kDlls) {
        SCOPED_TRACE(dll.file);
        DataFile data(dll.file);
        ASSERT_TRUE(data.module);
        char text[256] = {};
        EXPECT_EQ(LoadStringA(data.module, 800, text, sizeof text), 20);
        EXPECT_STREQ(text, "papersize(80x3275mm)");
        for (UINT id = 700; id <= 801; id = id == 733 ? 800 : id + 1) {
            std::wstring s = data.String(id);
            EXPECT_FALSE(s.empty()) << id;
            bool ascii = true;
            for (WCHAR c : s) ascii = ascii && c < 0x80;
            // English is plain ASCII; the Chinese names (but the paper size
            // and the line counts) hold Chinese characters.
            if (dll.language == 0x0409 || id == 800) {
                EXPECT_TRUE(ascii) << id;
            } else if (id != 727 && id != 728) {
                EXPECT_FALSE(ascii) << id;
            }
        }
        EXPECT_TRUE(data.String(734).empty());
        EXPECT_TRUE(data.String(699).empty());
        EXPECT_TRUE(data.String(802).empty());
        // The string tables (blocks of 16 ids) are stored under the DLL's
        // language and no other.
        for (UINT block : {700 / 16 + 1, 733 / 16 + 1, 800 / 16 + 1}) {
            EXPECT_TRUE(FindResourceExA(data.module, RT_STRING, MAKEINTRESOURCEA(block), dll.language)) << block;
            LANGID other = dll.language == 0x0409 ? 0x0804 : 0x0409;
            EXPECT_FALSE(FindResourceExA(data.module, RT_STRING, MAKEINTRESOURCEA(block), other)) << block;
        }
    }
}

TEST(ResourceDllTest, LanguagesSayTheSameThings) {
    DataFile chs("KRXRES_chs.dll"), cht("KRXRES_cht.dll"), eng("KRXRES_eng.dll"), general("KRXRES_chs_general.dll");
    EXPECT_EQ(eng.String(700), L"Paper Cut");
    EXPECT_EQ(chs.String(700), Wide(u8"切纸"));
    EXPECT_EQ(cht.String(700), Wide(u8"切紙"));
    EXPECT_EQ(eng.String(707), L"Cash Drawer");
    EXPECT_EQ(chs.String(707), Wide(u8"钱箱"));
    EXPECT_EQ(cht.String(707), Wide(u8"錢箱"));
    EXPECT_EQ(eng.String(801), L"Use Printer Font");
    EXPECT_EQ(chs.String(801), Wide(u8"使用打印机字体"));
    EXPECT_EQ(cht.String(801), Wide(u8"使用打印機字體"));
    for (UINT id = 700; id <= 801; id = id == 733 ? 800 : id + 1) EXPECT_EQ(general.String(id), chs.String(id)) << id;
    for (const char* file : {"KRXRES_chs_general", "KRXRES_cht", "KRXRES_eng"}) {
        DataFile x86((std::string(file) + ".dll").c_str()), x64((std::string(file) + "_x64.dll").c_str());
        for (UINT id = 700; id <= 801; id = id == 733 ? 800 : id + 1) EXPECT_EQ(x64.String(id), x86.String(id)) << id;
    }
}

TEST(ResourceDllTest, VersionResources) {
    for (const ResourceDll& dll : kDlls) {
        SCOPED_TRACE(dll.file);
        std::string path = DllPath(dll.file);
        DWORD handle = 0, size = GetFileVersionInfoSizeA(path.c_str(), &handle);
        ASSERT_GT(size, 0u);
        std::string info(size, '\0');
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, &info[0]));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(&info[0], "\\", reinterpret_cast<void**>(&fixed), &length));
        char version[32];
        snprintf(version, sizeof version, "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                 LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
        EXPECT_STREQ(version, dll.fileVersion);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DRV));
        EXPECT_EQ(fixed->dwFileSubtype, static_cast<DWORD>(VFT2_DRV_PRINTER));
        WORD* translation = nullptr;
        ASSERT_TRUE(VerQueryValueA(&info[0], "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                   &length));
        EXPECT_EQ(translation[0], dll.language);
        char key[64];
        snprintf(key, sizeof key, "\\StringFileInfo\\%04X04B0\\FileVersion", dll.language);
        char* text = nullptr;
        ASSERT_TRUE(VerQueryValueA(&info[0], key, reinterpret_cast<void**>(&text), &length));
        EXPECT_STREQ(text, dll.fileVersion);
        snprintf(key, sizeof key, "\\StringFileInfo\\%04X04B0\\OriginalFilename", dll.language);
        ASSERT_TRUE(VerQueryValueA(&info[0], key, reinterpret_cast<void**>(&text), &length));
        EXPECT_STREQ(text, "KRXRES.DLL");
    }
}

// A DLL of its set's machine (32-bit, or 64-bit for the x64 set) with no
// entry point, no code to run and no imports, so loading it can never fail
// for a missing DLL nor run anything.
TEST(ResourceDllTest, DataOnlyDlls) {
    for (const ResourceDll& dll : kDlls) {
        SCOPED_TRACE(dll.file);
        std::string bytes = test::ReadFileBytes(DllPath(dll.file));
        ASSERT_GT(bytes.size(), sizeof(IMAGE_DOS_HEADER));
        auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
        ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
        auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes.data() + dos->e_lfanew);
        ASSERT_EQ(nt->Signature, static_cast<DWORD>(IMAGE_NT_SIGNATURE));
        EXPECT_EQ(nt->FileHeader.Machine, dll.machine);
        EXPECT_TRUE(nt->FileHeader.Characteristics & IMAGE_FILE_DLL);
        if (dll.machine == IMAGE_FILE_MACHINE_AMD64) {
            // PE32+, which the 32-bit tests cannot load as an image: its
            // headers say it all.
            auto* nt64 = reinterpret_cast<const IMAGE_NT_HEADERS64*>(nt);
            EXPECT_EQ(nt64->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
            EXPECT_EQ(nt64->OptionalHeader.AddressOfEntryPoint, 0u);
            // An import directory, if present, is the terminating descriptor alone.
            const IMAGE_DATA_DIRECTORY& imports = nt64->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
            const auto* section = IMAGE_FIRST_SECTION(nt64);
            for (WORD i = 0; imports.Size && i < nt64->FileHeader.NumberOfSections; ++i, ++section) {
                if (imports.VirtualAddress < section->VirtualAddress ||
                    imports.VirtualAddress >= section->VirtualAddress + section->SizeOfRawData)
                    continue;
                const size_t at = section->PointerToRawData + imports.VirtualAddress - section->VirtualAddress;
                ASSERT_LE(at + sizeof(IMAGE_IMPORT_DESCRIPTOR), bytes.size());
                EXPECT_EQ(reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(bytes.data() + at)->Name, 0u);
            }
            continue;
        }
        EXPECT_EQ(nt->OptionalHeader.AddressOfEntryPoint, 0u);
        // An import directory, if present, lists no DLL: its first
        // descriptor is the terminating one.
        HMODULE image = LoadLibraryExA(DllPath(dll.file).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_TRUE(image);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (imports.Size) {
            auto* first = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(reinterpret_cast<const BYTE*>(image) +
                                                                            imports.VirtualAddress);
            EXPECT_EQ(first->Name, 0u);
        }
        FreeLibrary(image);
    }
}

}  // namespace
