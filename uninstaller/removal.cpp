#include "removal.h"
#include "framework/afx.h"
#include "install/staging.h"
#include <cstring>

namespace {

// The first `length` characters of both texts are the same, letter case aside.
bool SamePrefix(const char* a, const char* b, size_t length) {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a, static_cast<int>(length), b,
                          static_cast<int>(length)) == CSTR_EQUAL;
}

bool SameFolder(const char* a, const char* b) {
    size_t length = AfxFindFileName(a) - a;
    return length == static_cast<size_t>(AfxFindFileName(b) - b) && SamePrefix(a, b, length);
}

// True when `path` lies inside `folder` (at any depth).
bool IsInside(const char* path, const char* folder) {
    size_t length = strlen(folder);
    return length > 0 && strlen(path) > length && path[length] == '\\' && SamePrefix(path, folder, length);
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

void RemovalReport::Add(ItemKind kind, const char* name, DWORD error) {
    if (remaining < kMaxListedItems) {
        RemainingItem& item = listed[remaining];
        item.kind = kind;
        item.error = error;
        // Every name passed here lives in a buffer of this size already.
        AfxFormat(item.name.text, "%s", name);
    }
    ++remaining;
}

size_t InstalledFiles(const char* printerName, const char* driverDir, InstalledFile (&files)[kMaxInstalledFiles]) {
    size_t count = 0;
    PlannedFile planned[kMaxInstalledFiles];
    for (size_t i = 0, plannedCount = FilesOfAnyInstall(printerName, planned); i < plannedCount; ++i) {
        // Nothing is deleted through a staging folder that leads elsewhere.
        char folder[MAX_PATH];
        if (PlannedPath({planned[i].place, {}, false}, driverDir, folder) && LeadsElsewhere(folder)) continue;
        InstalledFile& file = files[count];
        file.shared = planned[i].shared;
        if (PlannedPath(planned[i], driverDir, file.path.text)) ++count;
    }
    return count;
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

bool DriverRemoval::UsesDriver(const PRINTER_INFO_2A& printer) const {
    // The spooler keeps printer names far below MAX_PATH.
    return printer.pDriverName && printer.pPrinterName && SameName(printer.pDriverName, printerName_) &&
           strlen(printer.pPrinterName) < MAX_PATH;
}

bool DriverRemoval::AnyPrinterUsesDriver() const {
    SpoolerList list = ReadPrinterList();
    for (DWORD i = 0; i < list.count; ++i)
        if (UsesDriver(list.Printers()[i])) return true;
    return false;
}

bool DriverRemoval::IsThisDriver(const DRIVER_INFO_3A& driver) const {
    return driver.pName && SameName(driver.pName, printerName_);
}

bool DriverRemoval::IsDriverFileToRemove(const char* path) const {
    return IsInside(path, driverDir_) && strlen(path) < MAX_PATH;
}

size_t DriverRemoval::FilesOfThisInstall(ItemName (&paths)[kMaxInstalledFiles]) const {
    InstalledFile files[kMaxInstalledFiles];
    const size_t fileCount = InstalledFiles(printerName_, driverDir_, files);
    auto present = [this](const InstalledFile& f) { return FileExists(f.path.text) && !IsOwnProgram(f.path.text); };
    size_t count = 0;
    for (size_t i = 0; i < fileCount; ++i) {
        if (!present(files[i])) continue;
        bool counts = !files[i].shared;
        for (size_t j = 0; j < fileCount && !counts; ++j)
            counts = !files[j].shared && SameFolder(files[j].path.text, files[i].path.text) && present(files[j]);
        if (counts) paths[count++] = files[i].path;
    }
    return count;
}

bool DriverRemoval::FindsInstallation() {
    if (AnyPrinterUsesDriver()) return true;
    SpoolerList drivers = ReadDriverList();
    for (DWORD i = 0; i < drivers.count; ++i)
        if (IsThisDriver(drivers.Drivers()[i])) return true;
    ItemName files[kMaxInstalledFiles];
    if (FilesOfThisInstall(files) > 0) return true;
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
    SpoolerList drivers = ReadDriverList();
    auto driverLists = [&](const char* path) {
        bool listed = false;
        for (DWORD i = 0; i < drivers.count; ++i)
            if (IsThisDriver(drivers.Drivers()[i]))
                ForEachFileOfDriver(drivers.Drivers()[i], [&](const char* f) {
                    listed = listed || (IsDriverFileToRemove(f) && SameName(f, path));
                });
        return listed;
    };
    ItemName ours[kMaxInstalledFiles];
    const size_t ourCount = FilesOfThisInstall(ours);
    RemovePrinters(report);
    RemoveDriver(report);

    // The driver's files first, then the install's files it does not list.
    UsedDriverFiles used("");
    for (DWORD i = 0; i < drivers.count; ++i)
        if (IsThisDriver(drivers.Drivers()[i]))
            ForEachFileOfDriver(drivers.Drivers()[i], [&](const char* f) {
                if (IsDriverFileToRemove(f)) RemoveFile(f, used, report);
            });
    for (size_t i = 0; i < ourCount; ++i) {
        bool listed = driverLists(ours[i].text);
        for (size_t j = 0; j < i && !listed; ++j) listed = SameName(ours[j].text, ours[i].text);
        if (!listed) RemoveFile(ours[i].text, used, report);
    }
    // The install created these two folders; they go when nothing else is in them.
    char folder[MAX_PATH];
    for (const char* platform : {"I386", "x86"})
        if (AfxFormat(folder, "%s\\%s", kStagingFolder, platform) && !LeadsElsewhere(folder)) RemoveDirectoryA(folder);

    // Only a complete removal takes the entry in the installed programs and
    // the program itself: after an incomplete one the user can close what
    // held a file and run it again from there.
    if (report.Complete()) ScheduleOwnProgram(report);
    if (report.Complete()) RemoveUninstallEntry(report);
    return report;
}

void DriverRemoval::RemovePrinters(RemovalReport& report) {
    SpoolerList list = ReadPrinterList();
    for (DWORD i = 0; i < list.count; ++i) {
        const PRINTER_INFO_2A& found = list.Printers()[i];
        if (!UsesDriver(found)) continue;
        PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE printer = nullptr;
        if (!OpenPrinterA(found.pPrinterName, &printer, &access)) {
            report.Add(ItemKind::Printer, found.pPrinterName, GetLastError());
            continue;
        }
        if (!DeletePrinter(printer)) report.Add(ItemKind::Printer, found.pPrinterName, GetLastError());
        ClosePrinter(printer);
    }
}

void DriverRemoval::RemoveDriver(RemovalReport& report) {
    bool present = false;
    SpoolerList drivers = ReadDriverList();
    for (DWORD i = 0; i < drivers.count; ++i)
        if (IsThisDriver(drivers.Drivers()[i])) present = true;
    if (!present) return;
    // A driver that a remaining printer still uses must stay, or that printer
    // would be left without one.
    if (AnyPrinterUsesDriver()) {
        report.Add(ItemKind::Driver, printerName_, ERROR_PRINTER_DRIVER_IN_USE);
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
    if (error != ERROR_UNKNOWN_PRINTER_DRIVER) report.Add(ItemKind::Driver, printerName_, error);
}

void DriverRemoval::RemoveFile(const char* path, const UsedDriverFiles& used, RemovalReport& report) {
    if (!FileExists(path) || IsOwnProgram(path)) return;
    if (!used.Known() && IsInside(path, driverDir_)) {
        report.Add(ItemKind::File, path, used.Error());
        return;
    }
    if (used.Lists(path)) return;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!DeleteFileA(path)) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) report.Add(ItemKind::File, path, error);
    }
}

void DriverRemoval::ScheduleOwnProgram(RemovalReport& report) {
    // A running program cannot delete its own file; Windows does it at the
    // next restart. Only a copy the install put there is the install's.
    InstalledFile files[kMaxInstalledFiles];
    for (size_t i = 0, count = InstalledFiles(printerName_, driverDir_, files); i < count; ++i) {
        const char* path = files[i].path.text;
        if (!IsOwnProgram(path)) continue;
        if (MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
            report.ownCopyScheduled = true;
        else
            report.Add(ItemKind::File, path, GetLastError());
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
        report.Add(ItemKind::RegistryKey, key, static_cast<DWORD>(result));
}
