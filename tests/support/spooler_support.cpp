#include "spooler_support.h"
#include <windows.h>
#include <winspool.h>

namespace test {

namespace {
char* Text(const std::string& s) { return const_cast<char*>(s.c_str()); }

// The environment of the drivers of this Windows: x64 on 64-bit Windows,
// for a 64-bit process (the 64-bit build of the tests, tests/wine-arch.sh)
// and a 32-bit one under WoW64 alike.
char* Environment() {
    static char x86[] = "Windows NT x86", x64[] = "Windows x64";
    BOOL wow64 = FALSE;
    const bool process64 = sizeof(void*) == 8;
    return process64 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) ? x64 : x86;
}
}  // namespace

bool OnWindows64() { return std::string(Environment()) == "Windows x64"; }

std::string PrinterDriverDirectory() {
    char folder[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, Environment(), 1, reinterpret_cast<BYTE*>(folder),
                                    sizeof folder, &needed))
        return "";
    return folder;
}

bool AddTestDriver(const std::string& driverName) {
    for (const std::string& name : ListDrivers())
        if (name == driverName) return true;
    // One small placeholder file; Wine only needs it to exist.
    std::string file = PrinterDriverDirectory() + "\\testdrv.dll";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written;
    WriteFile(h, "test driver placeholder", 23, &written, nullptr);
    CloseHandle(h);
    DRIVER_INFO_3A info = {};
    info.cVersion = 3;
    info.pName = Text(driverName);
    info.pEnvironment = Environment();
    info.pDriverPath = info.pDataFile = info.pConfigFile = Text(file);
    return AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES);
}

bool AddDriverWithFiles(const std::string& driverName, const std::vector<std::string>& paths) {
    if (paths.size() < 4) return false;
    std::string dependents;
    for (size_t i = 4; i < paths.size(); ++i) dependents += paths[i] + '\0';
    dependents += '\0';
    DRIVER_INFO_3A info = {};
    info.cVersion = 3;
    info.pName = Text(driverName);
    info.pEnvironment = Environment();
    info.pDriverPath = Text(paths[0]);
    info.pDataFile = Text(paths[1]);
    info.pConfigFile = Text(paths[2]);
    info.pHelpFile = Text(paths[3]);
    info.pDependentFiles = &dependents[0];
    return AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES);
}

bool AddDriverUsing(const std::string& driverName, const std::vector<std::string>& version3Files) {
    std::string v3 = PrinterDriverDirectory() + "\\3";
    CreateDirectoryA(v3.c_str(), nullptr);
    std::vector<std::string> paths;
    for (const std::string& f : version3Files) {
        std::string path = v3 + "\\" + f;
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            if (h == INVALID_HANDLE_VALUE) return false;
            std::string text = driverName + ": " + f + "\r\n";
            DWORD written;
            WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
            CloseHandle(h);
        }
        paths.push_back(path);
    }
    return AddDriverWithFiles(driverName, paths);
}

bool AddTestPrinter(const std::string& printerName, const std::string& driverName, const std::string& port) {
    if (!AddTestDriver(driverName)) return false;
    PRINTER_INFO_2A info = {};
    info.pPrinterName = Text(printerName);
    info.pPortName = Text(port);
    info.pDriverName = Text(driverName);
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    HANDLE printer = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (!printer) return false;
    ClosePrinter(printer);
    return true;
}

bool AddEarlierInstall(const std::string& printerName) {
    HKEY key;
    const std::string path = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + printerName + " printer";
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return AddTestPrinter(printerName, printerName);
}

bool DeleteTestPrinter(const std::string& printerName) {
    HANDLE printer;
    PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterA(Text(printerName), &printer, &access)) return false;
    bool ok = DeletePrinter(printer);
    ClosePrinter(printer);
    return ok;
}

bool DeleteTestDriver(const std::string& driverName) {
    return DeletePrinterDriverA(nullptr, Environment(), Text(driverName));
}

void DeleteAllPrinters() {
    for (const std::string& name : ListPrinters()) DeleteTestPrinter(name);
}

std::vector<std::string> ListPrinters() {
    std::vector<std::string> names;
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) return names;
    std::vector<BYTE> block(needed);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, block.data(), needed, &needed, &count)) return names;
    auto* printers = reinterpret_cast<PRINTER_INFO_2A*>(block.data());
    for (DWORD i = 0; i < count; ++i) names.push_back(printers[i].pPrinterName ? printers[i].pPrinterName : "");
    return names;
}

std::string DriverOfPrinter(const std::string& printerName) {
    HANDLE printer;
    if (!OpenPrinterA(Text(printerName), &printer, nullptr)) return "";
    DWORD needed = 0;
    GetPrinterA(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> block(needed ? needed : 1);
    std::string driver;
    if (needed && GetPrinterA(printer, 2, block.data(), needed, &needed)) {
        auto* info = reinterpret_cast<PRINTER_INFO_2A*>(block.data());
        driver = info->pDriverName ? info->pDriverName : "";
    }
    ClosePrinter(printer);
    return driver;
}

std::vector<std::string> ListDrivers() {
    std::vector<std::string> names;
    DWORD needed = 0, count = 0;
    EnumPrinterDriversA(nullptr, Environment(), 1, nullptr, 0, &needed, &count);
    if (needed == 0) return names;
    std::vector<BYTE> block(needed);
    if (!EnumPrinterDriversA(nullptr, Environment(), 1, block.data(), needed, &needed, &count)) return names;
    auto* drivers = reinterpret_cast<DRIVER_INFO_1A*>(block.data());
    for (DWORD i = 0; i < count; ++i) names.push_back(drivers[i].pName ? drivers[i].pName : "");
    return names;
}

std::string DriverFiles(const std::string& driverName) {
    DWORD needed = 0, count = 0;
    EnumPrinterDriversA(nullptr, Environment(), 3, nullptr, 0, &needed, &count);
    std::vector<BYTE> block(needed ? needed : 1);
    if (!EnumPrinterDriversA(nullptr, Environment(), 3, block.data(), needed, &needed, &count)) return "";
    auto* drivers = reinterpret_cast<DRIVER_INFO_3A*>(block.data());
    for (DWORD i = 0; i < count; ++i)
        if (drivers[i].pName && driverName == drivers[i].pName)
            return std::string(drivers[i].pDriverPath) + "|" + drivers[i].pDataFile + "|" + drivers[i].pConfigFile;
    return "";
}

std::string DefaultPrinter() {
    char name[1024] = {};
    DWORD size = sizeof name;
    if (!GetDefaultPrinterA(name, &size)) return "";
    return name;
}

bool SetDefaultPrinterName(const std::string& printerName) { return SetDefaultPrinterA(printerName.c_str()); }

}  // namespace test
