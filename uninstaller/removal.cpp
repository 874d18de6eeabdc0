#include "removal.h"
#include "framework/afx.h"
#include "install/spooler.h"
#include "install/staging.h"
#include "payload/install_plan.h"
#include <cstring>

namespace {

bool SameFolder(const char* a, const char* b) {
    size_t lengthA = AfxFindFileName(a) - a, lengthB = AfxFindFileName(b) - b;
    return lengthA == lengthB && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a, static_cast<int>(lengthA),
                                                b, static_cast<int>(lengthB)) == CSTR_EQUAL;
}

// True when `path` lies inside `folder` (at any depth).
bool IsInside(const char* path, const char* folder) {
    size_t length = strlen(folder);
    if (length == 0 || strlen(path) <= length || path[length] != '\\') return false;
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, static_cast<int>(length), folder,
                          static_cast<int>(length)) == CSTR_EQUAL;
}

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

std::vector<InstalledFile> InstalledFiles(const char* printerName, const char* driverDir) {
    std::vector<InstalledFile> files;
    PlannedFile planned[kMaxInstalledFiles];
    for (size_t i = 0, count = FilesOfAnyInstall(printerName, planned); i < count; ++i) {
        // Nothing is deleted through a staging folder that leads elsewhere.
        char folder[MAX_PATH];
        if (PlannedPath({planned[i].place, {}, false}, driverDir, folder) && LeadsElsewhere(folder)) continue;
        InstalledFile file = {{}, planned[i].shared};
        if (PlannedPath(planned[i], driverDir, file.path.text)) files.push_back(file);
    }
    return files;
}

DriverRemoval::DriverRemoval(const char* printerName, const char* ownProgramPath) {
    AfxFormat(printerName_, "%s", printerName);
    CanonicalPath(ownProgramPath, ownProgram_, sizeof ownProgram_);
    GetDriverDirectory(driverDir_);
}

bool DriverRemoval::IsOwnProgram(const char* path) const {
    char canonical[MAX_PATH];
    CanonicalPath(path, canonical, sizeof canonical);
    return SameName(canonical, ownProgram_);
}

std::vector<ItemName> DriverRemoval::PrintersUsingDriver() const {
    std::vector<ItemName> names;
    SpoolerList list = ReadPrinterList();
    for (DWORD i = 0; i < list.count; ++i) {
        const PRINTER_INFO_2A& printer = list.Printers()[i];
        if (!printer.pDriverName || !printer.pPrinterName || !SameName(printer.pDriverName, printerName_))
            continue;
        ItemName name;
        // The spooler keeps printer names far below MAX_PATH.
        if (AfxFormat(name.text, "%s", printer.pPrinterName)) names.push_back(name);
    }
    return names;
}

std::vector<ItemName> DriverRemoval::FilesOfThisInstall() const {
    std::vector<InstalledFile> files = InstalledFiles(printerName_, driverDir_);
    auto present = [this](const InstalledFile& f) { return FileExists(f.path.text) && !IsOwnProgram(f.path.text); };
    std::vector<ItemName> ours;
    for (const InstalledFile& file : files) {
        if (!present(file)) continue;
        bool counts = !file.shared;
        for (const InstalledFile& own : files)
            counts = counts || (!own.shared && SameFolder(own.path.text, file.path.text) && present(own));
        if (counts) ours.push_back(file.path);
    }
    return ours;
}

bool DriverRemoval::FindsInstallation() {
    if (!PrintersUsingDriver().empty()) return true;
    SpoolerList drivers = ReadDriverList();
    for (DWORD i = 0; i < drivers.count; ++i)
        if (drivers.Drivers()[i].pName && SameName(drivers.Drivers()[i].pName, printerName_)) return true;
    if (!FilesOfThisInstall().empty()) return true;
    char key[MAX_PATH];
    HKEY handle;
    if (UninstallKeyFor(printerName_, key) &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) == ERROR_SUCCESS) {
        RegCloseKey(handle);
        return true;
    }
    return false;
}

RemovalReport DriverRemoval::Remove() {
    RemovalReport report;
    // What belongs to the install is settled before anything goes: the
    // driver's own list of files, taken while it is still registered (only
    // files inside the driver folder are ever deleted from it), and the
    // install's files that are here.
    std::vector<ItemName> files;
    SpoolerList drivers = ReadDriverList();
    for (DWORD i = 0; i < drivers.count; ++i) {
        const DRIVER_INFO_3A& driver = drivers.Drivers()[i];
        if (!driver.pName || !SameName(driver.pName, printerName_)) continue;
        for (const char* f : FilesOfDriver(driver)) {
            ItemName name;
            if (IsInside(f, driverDir_) && AfxFormat(name.text, "%s", f)) files.push_back(name);
        }
    }
    for (const ItemName& path : FilesOfThisInstall()) {
        bool listed = false;
        for (const ItemName& p : files) listed = listed || SameName(p.text, path.text);
        if (!listed) files.push_back(path);
    }
    RemovePrinters(report);
    RemoveDriver(report);
    RemoveFiles(files, report);
    // Only a complete removal takes the entry in the installed programs and
    // the program itself: after an incomplete one the user can close what
    // held a file and run it again from there.
    if (report.remaining.empty()) ScheduleOwnProgram(report);
    if (report.remaining.empty()) RemoveUninstallEntry(report);
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
        if (drivers.Drivers()[i].pName && SameName(drivers.Drivers()[i].pName, printerName_)) present = true;
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

void DriverRemoval::RemoveFiles(const std::vector<ItemName>& paths, RemovalReport& report) {
    UsedDriverFiles used("");
    for (const ItemName& path : paths) {
        const char* p = path.text;
        if (!FileExists(p) || IsOwnProgram(p)) continue;
        if (!used.Known() && IsInside(p, driverDir_)) {
            AddRemaining(report, ItemKind::File, p, used.Error());
            continue;
        }
        if (used.Lists(p)) continue;
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
        if (AfxFormat(folder, "%s\\%s", kStagingFolder, platform) && !LeadsElsewhere(folder)) RemoveDirectoryA(folder);
}

void DriverRemoval::ScheduleOwnProgram(RemovalReport& report) {
    // A running program cannot delete its own file; Windows does it at the
    // next restart. Only a copy the install put there is the install's.
    for (const InstalledFile& file : InstalledFiles(printerName_, driverDir_)) {
        if (!IsOwnProgram(file.path.text)) continue;
        if (MoveFileExA(file.path.text, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
            report.ownCopyScheduled = true;
        else
            AddRemaining(report, ItemKind::File, file.path.text, GetLastError());
        return;
    }
}

void DriverRemoval::RemoveUninstallEntry(RemovalReport& report) {
    char key[MAX_PATH];
    HKEY handle;
    if (!UninstallKeyFor(printerName_, key) ||
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return;
    RegCloseKey(handle);
    LONG result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        AddRemaining(report, ItemKind::RegistryKey, key, static_cast<DWORD>(result));
}
