#include "install_state.h"
#include "spooler_support.h"
#include "test_support.h"
#include <algorithm>
#include <cstring>

namespace uninstall_test {

namespace {

void WriteMarkedFile(const std::string& path) { test::WriteFileBytes(path, "installed: " + path + "\r\n"); }

void SetString(HKEY key, const char* name, const std::string& value) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

}  // namespace

// The uninstall entry of an install of that name.
void WriteEntry(const std::string& n);

std::string Upper(std::string s) {
    CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

std::string DriverDir() { return test::PrinterDriverDirectory(); }

std::vector<std::string> X64DriverFiles(const std::string& n) {
    return {n + ".GPD", "ZIKU.UFM", n + ".INI", n + "RES.dll", n + "D.dll", n + "F.dll"};
}

std::string CopyUninstaller(const std::string& path) {
    CopyFileA(test::BuildPath("uninstaller\\uninstall.exe").c_str(), path.c_str(), FALSE);
    return path;
}

// The x64 set's, on 64-bit Windows: the text files and the catalog in
// C:\TEMP, the model DLLs in amd64, no Unidrv core (the system's).
void StageX64InstallFiles(const std::string& n) {
    const std::string temp = "C:\\TEMP", driver = DriverDir();
    CreateDirectoryA(temp.c_str(), nullptr);
    CreateDirectoryA((temp + "\\amd64").c_str(), nullptr);
    CopyUninstaller(temp + "\\uninstall" + n + ".exe");
    for (const std::string& f : {n + ".INF", n + ".GPD", n + ".INI", std::string("ZIKU.UFM"), n + ".cat",
                                 std::string("temp.txt")})
        WriteMarkedFile(temp + "\\" + f);
    for (const std::string& f : {n + "D.dll", n + "F.dll", n + "RES.DLL"}) WriteMarkedFile(temp + "\\amd64\\" + f);
    CopyUninstaller(driver + "\\uninstall" + n + ".exe");
    for (const std::string& f : X64DriverFiles(n)) WriteMarkedFile(driver + "\\" + f);
}

void StageInstallFiles(const std::string& n) {
    if (test::OnWindows64()) {
        StageX64InstallFiles(n);
        WriteEntry(n);
        return;
    }
    const std::string temp = "C:\\TEMP", driver = DriverDir();
    CreateDirectoryA(temp.c_str(), nullptr);
    CreateDirectoryA((temp + "\\I386").c_str(), nullptr);
    CreateDirectoryA((temp + "\\x86").c_str(), nullptr);
    CopyUninstaller(temp + "\\uninstall" + n + ".exe");
    for (const std::string& f : {n + ".INF", std::string("STDNAMES.GPD"), n + ".GPD", n + ".INI",
                                 std::string("ZIKU.UFM"), std::string("UNIDRV.DLL"), std::string("UNIDRV.HLP"),
                                 std::string("UNIDRVUI.DLL"), std::string("UNIRES.DLL"), n + "D.dll", n + "F.dll",
                                 n + "RES.DLL", std::string("temp.txt")})
        WriteMarkedFile(temp + "\\" + f);
    for (const char* platform : {"\\I386\\", "\\x86\\"})
        for (const std::string& f : {n + "D.dll", n + "F.dll", n + "RES.DLL"}) WriteMarkedFile(temp + platform + f);

    CopyUninstaller(driver + "\\uninstall" + n + ".exe");
    // The driver folder's letter case as the install of the general set makes it.
    std::vector<std::string> driverFiles = {"UNIDRV.DLL", n + ".GPD", "UNIDRVUI.DLL", "UNIDRV.HLP",
                                            "UNIRES.DLL", "STDNAMES.GPD", "ZIKU.UFM", n + ".INI",
                                            n + "RES.dll", n + "D.dll", n + "F.dll"};
    for (const std::string& f : driverFiles) WriteMarkedFile(driver + "\\" + f);
    WriteEntry(n);
}

void WriteEntry(const std::string& n) {
    const std::string driver = DriverDir();
    HKEY key;
    std::string path = std::string(kUninstallKey) + "\\" + n + " printer";
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        std::string uninstaller = driver + "\\uninstall" + n + ".exe";
        SetString(key, "DisplayName", n + " printer driver uninstall");
        SetString(key, "UninstallString", uninstaller);
        SetString(key, "DisplayIcon", uninstaller + ",-0");
        SetString(key, "Publisher", n + " printer");
        RegCloseKey(key);
    }
}

void CreateInstall(const std::string& n, const std::string& driverName, const std::vector<std::string>& printers) {
    StageInstallFiles(n);
    const std::string driver = DriverDir();
    // As the printer installer registers it: the files copied into folder 3;
    // on 64-bit Windows on the system's Unidrv core there.
    std::vector<std::string> listed;
    if (test::OnWindows64()) {
        for (const char* core : {"UNIDRV.DLL", "", "UNIDRVUI.DLL", "UNIDRV.HLP"})
            listed.push_back(*core ? driver + "\\3\\" + core : driver + "\\" + n + ".GPD");
        for (const std::string& f : X64DriverFiles(n))
            if (f != n + ".GPD") listed.push_back(driver + "\\" + f);
        test::AddDriverWithFiles(driverName, listed);
        for (const std::string& p : printers) test::AddTestPrinter(p, driverName);
        return;
    }
    for (const std::string& f : {std::string("UNIDRV.DLL"), n + ".GPD", std::string("UNIDRVUI.DLL"),
                                 std::string("UNIDRV.HLP"), std::string("UNIRES.DLL"), std::string("STDNAMES.GPD"),
                                 std::string("ZIKU.UFM"), n + ".INI", n + "RES.dll", n + "D.dll", n + "F.dll"})
        listed.push_back(driver + "\\" + f);
    test::AddDriverWithFiles(driverName, listed);
    for (const std::string& p : printers) test::AddTestPrinter(p, driverName);
}

void CreateUnrelatedThings() {
    test::AddDriverUsing("Other Driver", {"OTHER.DLL", "OTHER.GPD", "OTHERUI.DLL", "OTHER.HLP"});
    test::AddTestPrinter("Office", "Other Driver");
    test::AddTestPrinter("My KRX printer", "Other Driver");   // the name alone makes no printer ours
    CreateDirectoryA("C:\\TEMP", nullptr);
    test::WriteFileBytes("C:\\TEMP\\notes.txt", "someone else's\r\n");
    test::WriteFileBytes(DriverDir() + "\\OTHERTOOL.EXE", "someone else's\r\n");
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\Other product").c_str(), 0, nullptr,
                        0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
}

std::set<std::string> FilesUnder(const std::string& folder) {
    std::set<std::string> files;
    for (const std::string& name : test::ListFolder(folder)) {
        std::string path = folder + "\\" + name;
        if (test::FolderExists(path)) {
            files.insert(Upper(path) + "\\");
            for (const std::string& f : FilesUnder(path)) files.insert(f);
        } else {
            files.insert(Upper(path));
        }
    }
    return files;
}

MachineState Snapshot() {
    MachineState state;
    for (const std::string& printer : test::ListPrinters())
        state.printers.insert(printer + "|" + test::DriverOfPrinter(printer));
    for (const std::string& driver : test::ListDrivers()) state.drivers.insert(driver);
    state.files = FilesUnder("C:\\TEMP");
    for (const std::string& f : FilesUnder(DriverDir())) state.files.insert(f);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        char name[MAX_PATH];
        for (DWORD i = 0;; ++i) {
            DWORD size = sizeof name;
            if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            state.uninstallKeys.insert(name);
        }
        RegCloseKey(key);
    }
    return state;
}

std::set<std::string> Minus(const std::set<std::string>& a, const std::set<std::string>& b) {
    std::set<std::string> out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::inserter(out, out.end()));
    return out;
}

std::set<std::string> PendingDeletions() {
    std::set<std::string> files;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return files;
    DWORD size = 0, type = 0;
    RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type, nullptr, &size);
    std::vector<char> data(size + 2, '\0');
    if (size && RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type,
                                 reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ) {
        // Pairs of source and target; an empty target means delete.
        const char* p = data.data();
        const char* end = data.data() + size;
        while (p < end && *p) {
            std::string source = p;
            p += source.size() + 1;
            std::string target = p < end ? p : "";
            p += target.size() + 1;
            if (source.rfind("\\??\\", 0) == 0) source = source.substr(4);
            if (target.empty()) files.insert(Upper(source));
        }
    }
    RegCloseKey(key);
    return files;
}

}  // namespace uninstall_test
