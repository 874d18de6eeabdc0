#include "removal.h"
#include "framework/afx.h"
#include <winspool.h>
#include <cstring>

const char kDriverEnvironment[] = "Windows NT x86";
const char kStagingDirectory[] = "C:\\TEMP";

namespace {

// Name formats of the files the install writes, "%s" being the printer name.
// Staged in the staging folder:
const char* const kStagedFiles[] = {
    "uninstall%s.exe", "%s.INF", "STDNAMES.GPD", "%s.GPD", "%s.INI", "ZIKU.UFM",
    "UNIDRV.DLL", "UNIDRV.HLP", "UNIDRVUI.DLL", "UNIRES.DLL",
    "%sD.dll", "%sF.dll", "%sRES.DLL", "temp.txt",
};
// Staged a second time in its I386 and x86 folders:
const char* const kPlatformStagedFiles[] = {"%sD.dll", "%sF.dll", "%sRES.DLL"};
// Copied into the driver folder (the install's letter case differs by
// system; file names are compared without regard to case):
const char* const kDriverFolderFiles[] = {
    "uninstall%s.exe", "UNIDRV.DLL", "%s.GPD", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL",
    "STDNAMES.GPD", "ZIKU.UFM", "%s.INI", "%sRES.dll", "%sD.dll", "%sF.dll",
};
// The model files the printer installer keeps in the version folder 3.
const char* const kVersion3Files[] = {"%s.GPD", "%s.INI", "%sD.dll", "%sF.dll", "%sRES.dll"};

// Adds folder\<name format filled with the printer name> when it fits.
void AddPath(std::vector<ItemName>& paths, const char* folder, const char* nameFormat,
             const char* printerName) {
    char name[MAX_PATH];
    ItemName path;
    if (AfxFormat(name, nameFormat, printerName) && AfxFormat(path.text, "%s\\%s", folder, name))
        paths.push_back(path);
}

bool SameText(const char* a, const char* b) {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

// The part after the last backslash, walking by characters (a GBK or Big5
// trail byte may be 0x5C).
const char* BaseName(const char* path) {
    const char* base = path;
    for (const char* p = path; *p; p = CharNextA(p))
        if (*p == '\\') base = p + 1;
    return base;
}

// True when `path` lies inside `folder` (at any depth).
bool IsInside(const char* path, const char* folder) {
    size_t length = strlen(folder);
    if (length == 0 || strlen(path) <= length || path[length] != '\\') return false;
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, static_cast<int>(length), folder,
                          static_cast<int>(length)) == CSTR_EQUAL;
}

// A spooler list, read into a block of the size the spooler asks for. The
// list may grow between the size query and the read: then read again.
struct SpoolerList {
    std::vector<BYTE> block;
    DWORD count = 0;
    bool ok = false;
    DWORD error = 0;
};

// Reads a spooler list into a block of the size the spooler asks for.
template <typename Enumerate>
SpoolerList ReadSpoolerList(Enumerate enumerate) {
    SpoolerList list;
    for (int attempt = 0; attempt < 3 && !list.ok; ++attempt) {
        DWORD needed = 0;
        list.count = 0;
        list.ok = enumerate(list.block.data(), static_cast<DWORD>(list.block.size()), &needed, &list.count);
        list.error = list.ok ? 0 : GetLastError();
        if (!list.ok && list.error != ERROR_INSUFFICIENT_BUFFER) break;
        if (!list.ok) list.block.assign(needed, 0);
    }
    if (!list.ok) list.count = 0;
    return list;
}

SpoolerList ReadDriverList() {
    return ReadSpoolerList([](BYTE* block, DWORD size, DWORD* needed, DWORD* count) {
        return EnumPrinterDriversA(nullptr, const_cast<char*>(kDriverEnvironment), 3, block, size, needed,
                                   count) != FALSE;
    });
}

SpoolerList ReadPrinterList() {
    return ReadSpoolerList([](BYTE* block, DWORD size, DWORD* needed, DWORD* count) {
        return EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, block, size, needed, count) != FALSE;
    });
}

const DRIVER_INFO_3A* Drivers(const SpoolerList& list) {
    return reinterpret_cast<const DRIVER_INFO_3A*>(list.block.data());
}
const PRINTER_INFO_2A* Printers(const SpoolerList& list) {
    return reinterpret_cast<const PRINTER_INFO_2A*>(list.block.data());
}

// Every file a driver names: its main files and its dependent files.
std::vector<const char*> FilesOfDriver(const DRIVER_INFO_3A& driver) {
    std::vector<const char*> files;
    for (const char* f : {driver.pDriverPath, driver.pDataFile, driver.pConfigFile, driver.pHelpFile})
        if (f && *f) files.push_back(f);
    for (const char* f = driver.pDependentFiles; f && *f; f += strlen(f) + 1) files.push_back(f);
    return files;
}

// Files that the installed drivers name; a file any of them names stays.
// Read after the driver's removal, this keeps the files of other drivers,
// and those of the driver itself when the spooler would not remove it.
class UsedFiles {
public:
    UsedFiles() {
        SpoolerList list = ReadDriverList();
        known_ = list.ok;
        error_ = list.error;
        for (DWORD i = 0; i < list.count; ++i) {
            for (const char* f : FilesOfDriver(Drivers(list)[i])) {
                ItemName name;
                if (AfxFormat(name.text, "%s", f)) files_.push_back(name);
            }
        }
    }
    // Without the list nothing can be said; the caller keeps driver files.
    bool Known() const { return known_; }
    DWORD Error() const { return error_; }
    // A listed file matches by full path, a bare listed name by file name.
    bool Lists(const char* path) const {
        for (const ItemName& f : files_) {
            bool bare = BaseName(f.text) == f.text;
            if (SameText(f.text, bare ? BaseName(path) : path)) return true;
        }
        return false;
    }

private:
    std::vector<ItemName> files_;
    bool known_ = false;
    DWORD error_ = 0;
};

void AddRemaining(RemovalReport& report, ItemKind kind, const char* name, DWORD error) {
    RemainingItem item = {kind, {}, error};
    // Every name passed here lives in a buffer of this size already.
    AfxFormat(item.name.text, "%s", name);
    report.remaining.push_back(item);
}

bool FileExists(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The full, long form of a path, so that two spellings of one file compare
// equal; the path itself when it cannot be resolved.
void CanonicalPath(const char* path, char* out, size_t size) {
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (n == 0 || n >= sizeof full) {
        AfxFormat(out, size, "%s", path);
        return;
    }
    n = GetLongPathNameA(full, out, static_cast<DWORD>(size));
    if (n == 0 || n >= size) AfxFormat(out, size, "%s", full);
}

}  // namespace

std::vector<ItemName> InstalledFilePaths(const char* printerName, const char* driverDir,
                                         const char* stagingDir) {
    std::vector<ItemName> paths;
    char folder[MAX_PATH];
    for (const char* f : kStagedFiles) AddPath(paths, stagingDir, f, printerName);
    for (const char* platform : {"I386", "x86"})
        if (AfxFormat(folder, "%s\\%s", stagingDir, platform))
            for (const char* f : kPlatformStagedFiles) AddPath(paths, folder, f, printerName);
    if (driverDir[0]) {
        for (const char* f : kDriverFolderFiles) AddPath(paths, driverDir, f, printerName);
        if (AfxFormat(folder, "%s\\3", driverDir))
            for (const char* f : kVersion3Files) AddPath(paths, folder, f, printerName);
    }
    return paths;
}

bool UninstallKeyPath(const char* printerName, char* keyPath, size_t size) {
    return AfxFormat(keyPath, size, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s printer",
                     printerName);
}

DriverRemoval::DriverRemoval(const char* printerName, const char* ownProgramPath) {
    AfxFormat(printerName_, "%s", printerName);
    CanonicalPath(ownProgramPath, ownProgram_, sizeof ownProgram_);
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(kDriverEnvironment), 1,
                                    reinterpret_cast<BYTE*>(driverDir_), sizeof driverDir_, &needed))
        driverDir_[0] = '\0';
}

bool DriverRemoval::IsOwnProgram(const char* path) const {
    char canonical[MAX_PATH];
    CanonicalPath(path, canonical, sizeof canonical);
    return SameText(canonical, ownProgram_);
}

std::vector<ItemName> DriverRemoval::PrintersUsingDriver() const {
    std::vector<ItemName> names;
    SpoolerList list = ReadPrinterList();
    for (DWORD i = 0; i < list.count; ++i) {
        const PRINTER_INFO_2A& printer = Printers(list)[i];
        if (!printer.pDriverName || !printer.pPrinterName || !SameText(printer.pDriverName, printerName_))
            continue;
        ItemName name;
        // The spooler keeps printer names far below MAX_PATH.
        if (AfxFormat(name.text, "%s", printer.pPrinterName)) names.push_back(name);
    }
    return names;
}

bool DriverRemoval::FindsInstallation() {
    if (!PrintersUsingDriver().empty()) return true;
    SpoolerList drivers = ReadDriverList();
    for (DWORD i = 0; i < drivers.count; ++i)
        if (Drivers(drivers)[i].pName && SameText(Drivers(drivers)[i].pName, printerName_)) return true;
    for (const ItemName& path : InstalledFilePaths(printerName_, driverDir_, kStagingDirectory))
        if (FileExists(path.text) && !IsOwnProgram(path.text)) return true;
    char key[MAX_PATH];
    HKEY handle;
    if (UninstallKeyPath(printerName_, key, sizeof key) &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) == ERROR_SUCCESS) {
        RegCloseKey(handle);
        return true;
    }
    return false;
}

RemovalReport DriverRemoval::Remove() {
    RemovalReport report;
    // The driver's own list of files, taken while it is still registered;
    // only files inside the driver folder are ever deleted from it.
    std::vector<ItemName> driverFiles;
    SpoolerList drivers = ReadDriverList();
    for (DWORD i = 0; i < drivers.count; ++i) {
        const DRIVER_INFO_3A& driver = Drivers(drivers)[i];
        if (!driver.pName || !SameText(driver.pName, printerName_)) continue;
        for (const char* f : FilesOfDriver(driver)) {
            ItemName name;
            if (IsInside(f, driverDir_) && AfxFormat(name.text, "%s", f)) driverFiles.push_back(name);
        }
    }
    RemovePrinters(report);
    RemoveDriver(report);
    RemoveFiles(driverFiles, report);
    RemoveUninstallEntry(report);
    return report;
}

void DriverRemoval::RemovePrinters(RemovalReport& report) {
    for (const ItemName& name : PrintersUsingDriver()) {
        PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE printer = nullptr;
        if (!OpenPrinterA(const_cast<char*>(name.text), &printer, &access)) {
            AddRemaining(report, ItemKind::Printer, name.text, GetLastError());
            continue;
        }
        if (!DeletePrinter(printer)) AddRemaining(report, ItemKind::Printer, name.text, GetLastError());
        ClosePrinter(printer);
    }
}

void DriverRemoval::RemoveDriver(RemovalReport& report) {
    bool present = false;
    SpoolerList drivers = ReadDriverList();
    for (DWORD i = 0; i < drivers.count; ++i)
        if (Drivers(drivers)[i].pName && SameText(Drivers(drivers)[i].pName, printerName_)) present = true;
    if (!present) return;
    // A driver that a remaining printer still uses must stay, or that printer
    // would be left without one.
    if (!PrintersUsingDriver().empty()) {
        AddRemaining(report, ItemKind::Driver, printerName_, ERROR_PRINTER_DRIVER_IN_USE);
        return;
    }
    char* environment = const_cast<char*>(kDriverEnvironment);
    if (DeletePrinterDriverExA(nullptr, environment, printerName_, DPD_DELETE_UNUSED_FILES, 0)) return;
    DWORD error = GetLastError();
    // Spoolers that cannot delete files with the driver refuse the flag; the
    // files are then deleted below, one by one.
    if (error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED) {
        if (DeletePrinterDriverA(nullptr, environment, printerName_)) return;
        error = GetLastError();
    }
    if (error != ERROR_UNKNOWN_PRINTER_DRIVER) AddRemaining(report, ItemKind::Driver, printerName_, error);
}

void DriverRemoval::RemoveFiles(const std::vector<ItemName>& driverFiles, RemovalReport& report) {
    std::vector<ItemName> paths = driverFiles;
    for (const ItemName& path : InstalledFilePaths(printerName_, driverDir_, kStagingDirectory)) {
        bool listed = false;
        for (const ItemName& p : paths) listed = listed || SameText(p.text, path.text);
        if (!listed) paths.push_back(path);
    }
    UsedFiles used;
    for (const ItemName& path : paths) {
        const char* p = path.text;
        if (!FileExists(p)) continue;
        if (!used.Known() && IsInside(p, driverDir_)) {
            AddRemaining(report, ItemKind::File, p, used.Error());
            continue;
        }
        if (used.Lists(p)) continue;
        if (IsOwnProgram(p)) {
            // A running program cannot delete its own file; Windows does it
            // at the next restart.
            if (MoveFileExA(p, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
                report.ownCopyScheduled = true;
            else
                AddRemaining(report, ItemKind::File, p, GetLastError());
            continue;
        }
        DWORD attributes = GetFileAttributesA(p);
        if (attributes & FILE_ATTRIBUTE_READONLY)
            SetFileAttributesA(p, attributes & ~FILE_ATTRIBUTE_READONLY);
        if (!DeleteFileA(p)) {
            DWORD error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
                AddRemaining(report, ItemKind::File, p, error);
        }
    }
    // The install created these two folders; they go when nothing else is in them.
    char folder[MAX_PATH];
    for (const char* platform : {"I386", "x86"})
        if (AfxFormat(folder, "%s\\%s", kStagingDirectory, platform)) RemoveDirectoryA(folder);
}

void DriverRemoval::RemoveUninstallEntry(RemovalReport& report) {
    char key[MAX_PATH];
    HKEY handle;
    if (!UninstallKeyPath(printerName_, key, sizeof key) ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return;
    RegCloseKey(handle);
    LONG result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        AddRemaining(report, ItemKind::RegistryKey, key, static_cast<DWORD>(result));
}
