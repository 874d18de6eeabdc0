// The embedded INF: its sections and lines, what the platform's INF parser
// reads from it, and what the test prefix's printer installer makes of it.
#include "app/setup_app.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <iterator>
#include <setupapi.h>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using Sections = std::vector<std::pair<std::string, std::vector<std::string>>>;

// Sections in file order with their lines, comments and empty lines left out.
Sections ReadSections(const std::string& text) {
    Sections sections;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') sections.push_back({line.substr(1, line.find(']') - 1), {}});
        else if (!sections.empty()) sections.back().second.push_back(line);
    }
    EXPECT_EQ(start, text.size()) << "the last line ends with CR LF";
    return sections;
}

TEST(InfTest, SectionsAndLines) {
    const std::string ports = "HKLM,\"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports\",";
    const Sections expected = {
        {"Version",
         {"Signature=\"$Windows NT$\"", "Provider=%MICROSOFT%", "LayoutFile=ntprint.inf",
          "ClassGUID={4D36E979-E325-11CE-BFC1-08002BE10318}", "Class=Printer", "DriverVer=06/21/2012"}},
        {"Manufacturer", {"\"KRX\"=Driver_KRX,NTx86"}},
        {"Driver_KRX", {"\"KRX\" = Driver_Files"}},
        {"Driver_KRX.NTx86", {"\"KRX\" = Driver_Files"}},
        {"Driver_KRX.amd64", {"\"KRX\" = Driver_Files"}},
        {"Model_KRX.ia64", {"\"KRX\" = Driver_Files"}},
        {"Driver_Files",
         {"CopyFiles=@KRX.GPD", "CopyFiles=@ZIKU.UFM", "CopyFiles=@KRX.INI", "CopyFiles=@KRX.INF",
          "CopyFiles=@KRXRES.DLL", "CopyFiles=DriverFiles", "DataSection=UNIDRV_DATA", "DataFile=KRX.GPD",
          "Include=NTPRINT.INF", "Needs=UNIDRV.OEM,UNIDRV_DATA", "Addreg = port_AddReg"}},
        {"port_AddReg",
         {ports + "\"COM1:\",0x00000000,%COMMCONFIG%", ports + "\"COM2:\",0x00000000,%COMMCONFIG%",
          ports + "\"COM3:\",0x00000000,%COMMCONFIG%", ports + "\"COM4:\",0x00000000,%COMMCONFIG%"}},
        {"DriverFiles", {"KRXD.DLL", "KRXF.DLL"}},
        {"SourceDisksNames", {"100 = \"KRX printer driver\",,,"}},
        {"SourceDisksFiles", {"KRXRES.DLL = 100", "KRX.ini = 100", "KRX.GPD = 100", "ZIKU.UFM = 100"}},
        {"SourceDisksFiles.x86", {"KRXD.DLL = 100,x86", "KRXF.DLL = 100,x86"}},
        {"SourceDisksFiles.amd64", {"KRXD.DLL = 100,amd64", "KRXF.DLL = 100,amd64"}},
        {"SourceDisksFiles.ia64", {"KRXD.DLL = 100,ia64", "KRXF.DLL = 100,ia64"}},
        {"DestinationDirs", {"DefaultDestDir=66000", "LMDir=12"}},
        {"ControlFlags", {"ExcludeFromSelect = 2369"}},
        {"Strings", {"MICROSOFT=\"Microsoft\"", "COMMCONFIG=\"38400,n,8,1,p\""}},
    };
    EXPECT_EQ(ReadSections(test::EmbeddedPayload(256)), expected);
}

class InfParserTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string folder = test::MakeTempFolder("inf");
        path = folder + "\\KRX.INF";
        theApp.ExtractPayload(256, path.c_str(), 0);
        inf = SetupOpenInfFileA(path.c_str(), nullptr, INF_STYLE_WIN4, nullptr);
        ASSERT_NE(inf, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        if (inf != INVALID_HANDLE_VALUE) SetupCloseInfFile(inf);
    }
    // The fields of the first line of a section with the key, "" for any.
    std::vector<std::string> Fields(const char* section, const char* key) {
        INFCONTEXT line;
        std::vector<std::string> fields;
        if (!SetupFindFirstLineA(inf, section, key, &line)) return fields;
        for (DWORD i = 0, n = SetupGetFieldCount(&line); i <= n; ++i) {
            char field[512] = {};
            SetupGetStringFieldA(&line, i, field, sizeof field, nullptr);
            fields.push_back(field);
        }
        return fields;
    }
    std::string path;
    HINF inf = INVALID_HANDLE_VALUE;
};

TEST_F(InfParserTest, ModelsInstallSectionAndStringsResolve) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Fields("Version", "Class"), (V{"Class", "Printer"}));
    EXPECT_EQ(Fields("Version", "Provider"), (V{"Provider", "Microsoft"}));
    EXPECT_EQ(Fields("Manufacturer", nullptr), (V{"KRX", "Driver_KRX", "NTx86"}));
    for (const char* models : {"Driver_KRX", "Driver_KRX.NTx86", "Driver_KRX.amd64", "Model_KRX.ia64"})
        EXPECT_EQ(Fields(models, "KRX"), (V{"KRX", "Driver_Files"})) << models;
    EXPECT_EQ(Fields("Driver_Files", "DataFile"), (V{"DataFile", "KRX.GPD"}));
    EXPECT_EQ(Fields("Driver_Files", "Needs"), (V{"Needs", "UNIDRV.OEM", "UNIDRV_DATA"}));
    EXPECT_EQ(Fields("port_AddReg", nullptr),
              (V{"", "HKLM", "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports", "COM1:", "0x00000000",
                 "38400,n,8,1,p"}));
    EXPECT_EQ(Fields("SourceDisksFiles.x86", "KRXF.DLL"), (V{"KRXF.DLL", "100", "x86"}));
    EXPECT_EQ(Fields("DestinationDirs", "DefaultDestDir"), (V{"DefaultDestDir", "66000"}));
    EXPECT_EQ(SetupGetLineCountA(inf, "Driver_Files"), 11);
    EXPECT_EQ(SetupGetLineCountA(inf, "DriverFiles"), 2);
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    if (from.empty()) return text;
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Where the install sequence leaves a printer's files for the installer:
// the INF and model files in C:\TEMP (x86 plug-ins in its x86 subfolder),
// the model files and the Unidrv core in the driver folder. On 64-bit
// Windows the x64 set's: the three DLLs in amd64, no core (the system's).
void StagePrinterFiles(const std::string& name, const std::string& inf) {
    const bool x64 = test::OnWindows64();
    const std::string dlls = x64 ? "amd64\\" : "x86\\", resource = x64 ? dlls : "";
    CreateDirectoryA("C:\\TEMP", nullptr);
    CreateDirectoryA(("C:\\TEMP\\" + dlls).c_str(), nullptr);
    const std::string driverDir = test::PrinterDriverDirectory();
    ASSERT_TRUE(test::WriteFileBytes("C:\\TEMP\\" + name + ".INF", inf));
    for (const std::string& file : {name + ".GPD", name + ".INI", resource + name + "RES.DLL", std::string("ZIKU.UFM"),
                                    dlls + name + "D.DLL", dlls + name + "F.DLL"}) {
        ASSERT_TRUE(test::WriteFileBytes("C:\\TEMP\\" + file, file));
        std::string bare = file.substr(file.find_last_of('\\') + 1);
        ASSERT_TRUE(test::WriteFileBytes(driverDir + "\\" + bare, bare));
    }
    if (x64) return;
    for (const char* file : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL", "STDNAMES.GPD"})
        ASSERT_TRUE(test::WriteFileBytes(driverDir + "\\" + file, file));
}

struct InstallerCase {
    const char* what;
    const char* name;
    const char* from;       // an edit of the embedded INF, before the rebranding
    const char* to;
    const char* unstaged;   // a staged file then deleted, KRX rebranded
    bool installs;
};

// The printer installer takes the embedded INF rebranded for any name (KRX
// replaced throughout) and refuses an INF or a staging that a real one
// would refuse: then there is neither printer nor driver. On 64-bit
// Windows the x64 INF and its 64-bit printer installer (from a 32-bit
// program through Sysnative), which takes no INF without its NTamd64
// models nor one that does not take the Unidrv core from the system.
TEST(PrinterInstallerTest, InstallsOnlyFromSoundInfAndStagedFiles) {
    const InstallerCase cases32[] = {
        {"embedded INF", "KRX", "", "", "", true},
        {"rebranded", "MERLO", "", "", "", true},
        {"rebranded, name with a blank", "My Printer", "", "", "", true},
        {"no NTx86 models section: the base one serves", "MERLO", "[Driver_KRX.NTx86]", "[Spare_KRX.NTx86]", "",
         true},
        {"NTx86 models section first", "MERLO", "[Driver_KRX.NTx86]\r\n\"KRX\" = Driver_Files",
         "[Driver_KRX.NTx86]\r\n\"KRX\" = Spare_Files", "", false},
        {"install section missing", "MERLO", "[Driver_Files]", "[Spare_Files]", "", false},
        {"models sections missing", "MERLO", "[Driver_KRX", "[Spare_KRX", "", false},
        {"model not listed", "MERLO", "\"KRX\" = Driver_Files", "\"Other\" = Driver_Files", "", false},
        {"file-list section missing", "MERLO", "[DriverFiles]", "[SpareFiles]", "", false},
        {"x86 plug-in not staged", "My Printer", "", "", "x86\\KRXF.DLL", false},
        {"model file not staged", "MERLO", "", "", "KRX.INI", false},
        {"x86 plug-in expected in another subfolder", "MERLO", "KRXF.DLL = 100,x86", "KRXF.DLL = 100,x64", "",
         false},
        {"source disk in a folder of its own", "MERLO", "\"KRX printer driver\",,,", "\"KRX printer driver\",,,disk1",
         "", false},
        {"source disk not named", "MERLO", "100 = \"KRX printer driver\"", "200 = \"KRX printer driver\"", "", false},
        {"no DataFile", "MERLO", "DataFile=KRX.GPD\r\n", "", "", false},
        {"no Signature", "MERLO", "Signature=", "Signatory=", "", false},
        {"unclosed section name", "MERLO", "[DriverFiles]", "[DriverFiles", "", false},
        {"files bound for another folder", "MERLO", "DefaultDestDir=66000", "DefaultDestDir=11", "", false},
        {"file list with a folder of its own", "MERLO", "LMDir=12", "DriverFiles=11", "", false},
    };
    const InstallerCase cases64[] = {
        {"embedded x64 INF", "KRX", "", "", "", true},
        {"rebranded", "MERLO", "", "", "", true},
        {"rebranded, name with a blank", "My Printer", "", "", "", true},
        {"no NTamd64 decoration: no undecorated section serves", "MERLO", "Driver_KRX,NTamd64", "Driver_KRX", "",
         false},
        {"NTx86 models only", "MERLO", "NTamd64", "NTx86", "", false},
        {"the Unidrv core not taken from the system", "MERLO", "Needs=UNIDRV.OEM,", "Needs=", "", false},
        {"no NTPRINT.INF included", "MERLO", "Include=NTPRINT.INF\r\n", "", "", false},
        {"x64 plug-in not staged", "My Printer", "", "", "amd64\\KRXF.DLL", false},
        {"x64 plug-ins expected in x86", "MERLO", "KRXD.DLL = 100,amd64", "KRXD.DLL = 100,x86", "", false},
        {"no DataFile", "MERLO", "DataFile=KRX.GPD\r\n", "", "", false},
    };
    const bool x64 = test::OnWindows64();
    for (const auto& c : x64 ? std::vector<InstallerCase>(std::begin(cases64), std::end(cases64))
                             : std::vector<InstallerCase>(std::begin(cases32), std::end(cases32))) {
        SCOPED_TRACE(c.what);
        const std::string name = c.name;
        const std::string inf = test::EmbeddedPayload(x64 ? 266 : 256);
        ASSERT_NE(inf.find(c.from), std::string::npos);
        StagePrinterFiles(name, ReplaceAll(ReplaceAll(inf, c.from, c.to), "KRX", name));
        if (*c.unstaged) {
            ASSERT_TRUE(DeleteFileA(("C:\\TEMP\\" + ReplaceAll(c.unstaged, "KRX", name)).c_str()));
        }
        DeleteFileA("C:\\printui.log");
        std::string command = test::InstallCommand(name);
        if (x64 && sizeof(void*) == 4) command = "C:\\windows\\Sysnative\\" + command;
        EXPECT_EQ(test::Program(command).WaitForExit(), 0u);
        EXPECT_EQ(test::ReadFileBytes("C:\\printui.log"), command + "\n") << "the stand-in ran";
        EXPECT_EQ(test::DriverOfPrinter(name), c.installs ? name : "");
        EXPECT_EQ(Contains(test::ListDrivers(), name), c.installs);
        test::DeleteTestPrinter(name);
        test::DeleteTestDriver(name);
    }
}

}  // namespace
