// Finding and removing what the install of one printer name left on this
// computer: its printers, its driver, its files and its uninstall entry.
#pragma once
#include "install/spooler.h"
#include "payload/install_plan.h"
#include <windows.h>

enum class ItemKind { Printer, Driver, File, RegistryKey };

// A path or name, bounded as everywhere in this program.
struct ItemName {
    char text[MAX_PATH];
};

// Something the uninstaller found and could not remove.
struct RemainingItem {
    ItemKind kind;
    ItemName name;   // registry keys without the HKEY_LOCAL_MACHINE root
    DWORD error;     // Win32 error of the failed removal
};

// More items than the outcome message can list: each of its lines takes at
// least 18 of its 4096 bytes.
const size_t kMaxListedItems = 256;

struct RemovalReport {
    // Adds an item; one beyond the first kMaxListedItems is only counted.
    void Add(ItemKind kind, const char* name, DWORD error);
    bool Complete() const { return remaining == 0; }
    size_t ListedCount() const { return remaining < kMaxListedItems ? remaining : kMaxListedItems; }

    RemainingItem listed[kMaxListedItems];   // the first items, in the order found
    size_t remaining = 0;                    // every item, listed or not
    bool ownCopyScheduled = false;           // deleted by Windows at the next restart
};

// A file the install writes for a printer name. A shared one has a name
// every install writes (UNIDRV.DLL, STDNAMES.GPD, the scratch file ...),
// not one of the printer's own.
struct InstalledFile {
    ItemName path;
    bool shared;
};
// Full paths of every file an install of the printer name may leave, on
// any system (see FilesOfAnyInstall); returns how many. An empty
// `driverDir` (the spooler did not say) leaves out the driver folder.
size_t InstalledFiles(const char* printerName, const char* driverDir, InstalledFile (&files)[kMaxInstalledFiles]);

// The driver counts as "named after the printer name" when its name equals
// the printer name (the spooler compares names without regard to letter
// case); the printers removed are the local printers that use that driver.
class DriverRemoval {
public:
    // `ownProgramPath` is the running program, which cannot delete itself and
    // is therefore scheduled for deletion at the next restart.
    DriverRemoval(const char* printerName, const char* ownProgramPath);

    // True when anything of the installation is present, the running
    // program itself aside.
    bool FindsInstallation();
    // Removes everything that is present; what could not be removed is
    // listed in the report.
    RemovalReport Remove();

private:
    void RemovePrinters(RemovalReport& report);
    void RemoveDriver(RemovalReport& report);
    void RemoveFile(const char* path, const UsedDriverFiles& used, RemovalReport& report);
    void ScheduleOwnProgram(RemovalReport& report);
    // The install's files that are here, the running program aside; returns
    // how many. A shared name counts only in a folder that also holds one of
    // the printer's own files: a user's own c:\temp\temp.txt, or another
    // printer's UNIDRV.DLL, is not this install's.
    size_t FilesOfThisInstall(ItemName (&paths)[kMaxInstalledFiles]) const;
    void RemoveUninstallEntry(RemovalReport& report);
    bool IsOwnProgram(const char* path) const;
    // A local printer that uses the driver, with a name that fits an ItemName.
    bool UsesDriver(const PRINTER_INFO_2A& printer) const;
    bool AnyPrinterUsesDriver() const;
    bool IsThisDriver(const DRIVER_INFO_3A& driver) const;
    // A file the driver names that is the uninstaller's to delete: inside
    // the driver folder, with a path that fits an ItemName.
    bool IsDriverFileToRemove(const char* path) const;

    char printerName_[MAX_PATH] = {};
    char ownProgram_[MAX_PATH] = {};
    char driverDir_[MAX_PATH] = {};
};
