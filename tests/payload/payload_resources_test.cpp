// The OWNER_DATA resources of the two builds of the program, read through
// the resource API and compared with the catalogue and the payload files.
#include "payload/catalogue.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <map>
#include <string>

namespace {

std::string WindowsPath(const char* variable) {
    const char* unixPath = getenv(variable);
    std::string path = "Z:";
    path += unixPath ? unixPath : "/nonexistent";
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Where the build took an entry's bytes from, or "" for the maker's files:
// a text payload rewritten with the maker's options, else the maker's own
// text payload, else ours.
std::string SourcePath(const CatalogueEntry& e) {
    std::string source = e.source;
    if (source.rfind("file:", 0) == 0) {
        std::string name = source.substr(5), rewritten = test::BuildPath("payload\\payload_release.rc.files\\" + name);
        std::string makers = WindowsPath("MAKER_PAYLOAD_DIR") + "\\" + name;
        if (test::FileExists(rewritten)) return rewritten;
        if (e.role != PayloadRole::SettingsFile && test::FileExists(makers)) return makers;
        return WindowsPath("SETUP_SOURCE_DIR") + "\\payload\\files\\" + name;
    }
    if (source.rfind("gen:", 0) == 0) return test::BuildPath("payload\\" + source.substr(4));
    return "";
}

bool MakerFileExists(const CatalogueEntry& e) {
    char name[MAX_PATH];
    snprintf(name, sizeof name, e.fileName, "KRX");
    return test::FileExists(WindowsPath("MAKER_PAYLOAD_DIR") + "\\" + std::to_string(e.id) + "_" + name);
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    auto* names = reinterpret_cast<std::vector<std::string>*>(param);
    names->push_back(IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : name);
    return TRUE;
}

class ProgramResources {
public:
    explicit ProgramResources(const std::string& program)
        : module_(LoadLibraryExA(test::BuildPath(program).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ProgramResources() {
        if (module_) FreeLibrary(module_);
    }
    bool Loaded() const { return module_ != nullptr; }

    // Every OWNER_DATA name, "#<id>" for numeric ones.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        EnumResourceNamesA(module_, "OWNER_DATA", CollectName, reinterpret_cast<LONG_PTR>(&names));
        return names;
    }
    // The bytes stored under the id in Simplified Chinese; "<none>" if absent.
    std::string Bytes(unsigned short id) const {
        HRSRC r = FindResourceExA(module_, "OWNER_DATA", MAKEINTRESOURCEA(id),
                                  MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
        if (!r) return "<none>";
        const char* data = static_cast<const char*>(LockResource(LoadResource(module_, r)));
        return std::string(data, SizeofResource(module_, r));
    }

private:
    HMODULE module_;
};

std::string Label(unsigned short id) { return "STAND-IN PAYLOAD " + std::to_string(id) + " - TEST BUILD ONLY"; }

TEST(PayloadResourcesTest, StandInBuildHoldsEveryCataloguedId) {
    ProgramResources program("setup_standin.exe");
    ASSERT_TRUE(program.Loaded());
    std::vector<std::string> expected;
    for (size_t i = 0; i < kCatalogueSize; ++i) expected.push_back("#" + std::to_string(kCatalogue[i].id));
    EXPECT_EQ(program.Names(), expected);
    EXPECT_EQ(kCatalogueSize, 72u);

    for (size_t i = 0; i < kCatalogueSize; ++i) {
        const CatalogueEntry& e = kCatalogue[i];
        std::string bytes = program.Bytes(e.id);
        std::string source = SourcePath(e);
        if (!source.empty()) {
            EXPECT_EQ(bytes, test::ReadFileBytes(source)) << e.id;
            EXPECT_NE(bytes.rfind("STAND-IN PAYLOAD", 0), 0u) << e.id;
        } else if (!MakerFileExists(e)) {
            EXPECT_EQ(bytes.size(), e.size) << e.id;
            EXPECT_EQ(bytes.compare(0, Label(e.id).size(), Label(e.id)), 0) << e.id;
        }
    }
}

TEST(PayloadResourcesTest, ReleaseBuildHoldsOurFilesAndOnlyTheMakersFilesThatExist) {
    ProgramResources program("setup.exe");
    ASSERT_TRUE(program.Loaded());
    std::vector<std::string> expected;
    for (size_t i = 0; i < kCatalogueSize; ++i) {
        const CatalogueEntry& e = kCatalogue[i];
        bool ours = !SourcePath(e).empty();
        if (ours || MakerFileExists(e)) expected.push_back("#" + std::to_string(e.id));
        if (ours) {
            EXPECT_EQ(program.Bytes(e.id), test::ReadFileBytes(SourcePath(e))) << e.id;
        }
    }
    EXPECT_EQ(program.Names(), expected);
    for (const std::string& name : program.Names()) {
        std::string bytes = program.Bytes(static_cast<unsigned short>(atoi(name.c_str() + 1)));
        EXPECT_EQ(bytes.find("STAND-IN PAYLOAD"), std::string::npos) << name;
    }
}

TEST(PayloadResourcesTest, OurPayloadsAreRealFilesAndSharedContentIsIdentical) {
    ProgramResources program("setup.exe");
    ASSERT_TRUE(program.Loaded());
    // Every file we make ourselves is in the release build.
    for (unsigned short id : {146, 147, 148, 153, 154, 155, 158, 159, 162, 183, 185, 195, 201, 248,
                              252, 253, 254, 256, 261, 262, 263, 264, 265, 266})
        EXPECT_NE(program.Bytes(id), "<none>") << id;
    // The x64 set's GPD and INI are the same texts as every set's.
    const std::vector<std::vector<unsigned short>> same = {
        {155, 169, 187, 264}, {159, 170, 188, 265}, {153, 168, 186},
        {158, 185}, {252, 253, 254}, {162, 183, 201},
    };
    for (const auto& group : same)
        for (unsigned short id : group) EXPECT_EQ(program.Bytes(id), program.Bytes(group[0])) << id;
    // The general set's Simplified Chinese resource DLL is a file of its own.
    EXPECT_NE(program.Bytes(195), program.Bytes(158));
    EXPECT_NE(program.Bytes(158), program.Bytes(162));
    EXPECT_NE(program.Bytes(158), program.Bytes(252));
    // The x64 set's resource DLLs and INF are files of their own.
    for (auto [x64, x86] : {std::pair{261, 195}, {262, 253}, {263, 201}, {266, 256}})
        EXPECT_NE(program.Bytes(x64), program.Bytes(x86)) << x64;
}

// The x64 set in the catalogue: one entry for every role of a 32-bit set
// but the Unidrv core and the standard names (the system's), in the same
// variants, under the same names; and the catalog, which only the maker
// can make and a setup may go without.
TEST(PayloadResourcesTest, TheX64SetBesideTheGeneralOne) {
    using R = PayloadRole;
    using V = PayloadVariant;
    for (R role : {R::ModelGpd, R::PluginIni, R::RenderPlugin, R::FontMetrics, R::UiPlugin, R::ResourceDll, R::Inf,
                   R::Uninstaller})
        for (V variant : {V::None, V::Simplified, V::Traditional, V::English}) {
            const CatalogueEntry* x64 = FindCatalogueEntry(role, PayloadSet::X64, variant);
            const CatalogueEntry* general = FindCatalogueEntry(role, PayloadSet::General, variant);
            ASSERT_EQ(x64 != nullptr, general != nullptr) << static_cast<int>(role) << " " << static_cast<int>(variant);
            if (!x64) continue;
            EXPECT_STREQ(x64->fileName, general->fileName);
            EXPECT_EQ(x64 == general, role == R::FontMetrics || role == R::Uninstaller) << x64->id;
            EXPECT_EQ(std::string(x64->source) == "maker:", std::string(general->source) == "maker:") << x64->id;
        }
    for (R role : {R::StandardNames, R::UnidrvDll, R::UnidrvHelp, R::UnidrvUi, R::UnidrvResources})
        for (V variant : {V::None, V::ChineseCore, V::OtherCore})
            EXPECT_EQ(FindCatalogueEntry(role, PayloadSet::X64, variant), nullptr);
    const CatalogueEntry* catalog = FindCatalogueEntry(R::Catalog, PayloadSet::X64);
    ASSERT_NE(catalog, nullptr);
    EXPECT_STREQ(catalog->source, "maker:optional");
    EXPECT_STREQ(catalog->fileName, "%s.cat");
    EXPECT_EQ(FindCatalogueEntry(R::Catalog, PayloadSet::General), nullptr);
}

}  // namespace
