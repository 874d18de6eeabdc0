// Finding and removing what the install of one printer name left on this
// computer: its printers, its driver, its files and its uninstall entry.
#pragma once
#include "payload/install_folders.h"
#include <windows.h>

enum class ItemKind { Printer, Driver, File, RegistryKey, Port };

// A path or name, bounded as everywhere in this program.
struct ItemName {
    char text[MAX_PATH];
};

// Something the uninstaller found and could not remove now.
struct RemainingItem {
    ItemKind kind;
    ItemName name;    // registry keys without the HKEY_LOCAL_MACHINE root
    DWORD error;      // Win32 error of the failed removal
    bool atRestart;   // Windows deletes it at the next restart
};

// More items than the outcome message can list: each of its lines takes at
// least 18 of its 4096 bytes.
const size_t kMaxListedItems = 256;

struct RemovalReport {
    // Adds an item that stays, or one that goes at the next restart; one
    // beyond the first kMaxListedItems is only counted.
    void Add(ItemKind kind, const char* name, DWORD error) { Add(kind, name, error, false); }
    void AddAtRestart(ItemKind kind, const char* name, DWORD error) { Add(kind, name, error, true); }
    // Nothing stays, though some of it may wait for the restart.
    bool Complete() const { return remaining == 0; }
    bool WaitsForRestart() const { return atRestart > 0; }
    size_t ListedCount() const {
        return remaining + atRestart < kMaxListedItems ? remaining + atRestart : kMaxListedItems;
    }

    RemainingItem listed[kMaxListedItems];   // the first items of either kind, in the order found
    size_t remaining = 0;                    // every item that stays, listed or not
    size_t atRestart = 0;                    // every item deleted at the next restart, listed or not
    bool ownCopyScheduled = false;           // deleted by Windows at the next restart

private:
    void Add(ItemKind kind, const char* name, DWORD error, bool atRestart);
};

// The driver counts as this setup's when its name equals the printer name
// (letter case aside) and it is made as this setup's INF makes it: the
// printer's GPD as its data file, the Unidrv core as its driver and
// configuration files. The printers removed are the local printers that use
// it; a driver of that name that another program installed, and its
// printers, stay. The driver and the files are those of the machine's set:
// on 64-bit Windows the x64 driver, whose Unidrv core is the system's and
// stays.
class DriverRemoval {
public:
    // `ownProgramPath` is the running program, which cannot delete itself and
    // is therefore scheduled for deletion at the next restart. `machine` is
    // the one Windows runs on.
    DriverRemoval(const char* printerName, const char* ownProgramPath, Machine machine);

    // True when anything of the installation is present, the running
    // program itself aside.
    bool FindsInstallation();
    // Removes everything that is present; what could not be removed is
    // listed in the report.
    RemovalReport Remove();

private:
    // This setup's driver among the installed ones; null when there is none.
    const DRIVER_INFO_3A* ThisDriver(const UsedDriverFiles& drivers) const;
    // A local printer that uses this setup's driver, with a name that fits an ItemName.
    bool UsesDriver(const PRINTER_INFO_2A& printer) const;
    bool AnyPrinterUsesDriver() const;
    // The printers on this setup's driver, then the driver; only when it is
    // this setup's (see ThisDriver).
    void RemovePrinters(RemovalReport& report);
    void RemoveDriver(RemovalReport& report);
    // The network port the uninstall entry says the setup made, once no
    // printer prints to it.
    void RemoveNetworkPort(RemovalReport& report);
    // The install's files that are here, the running program aside; returns
    // how many. A shared name counts only in a folder that also holds one of
    // the printer's own files: a user's own c:\temp\temp.txt, or another
    // printer's UNIDRV.DLL, is not this install's.
    size_t FilesOfThisInstall(PlannedFile (&files)[kMaxInstalledFiles]) const;
    // Where a file the driver lists lies among the install's folders; false
    // for a file elsewhere, which is not the uninstaller's to delete, and,
    // where the set brings no Unidrv core, for one no install writes (the
    // system's core).
    bool PlaceOf(const char* path, PlannedFile& file) const;
    // A file in use that no remaining driver lists is left for Windows to
    // delete at the next restart.
    void RemoveFile(const PlannedFile& file, const UsedDriverFiles& used, RemovalReport& report);
    void ScheduleOwnProgram(RemovalReport& report);
    // The Active Setup component of the printer, then the uninstall entry.
    void RemoveUninstallEntry(RemovalReport& report);
    bool IsOwnProgram(const PlannedFile& file) const;

    Machine machine_;
    const char* environment_;   // the spooler's, of the machine's set
    char printerName_[MAX_PATH] = {};
    char ownProgram_[MAX_PATH] = {};
    char driverDir_[MAX_PATH] = {};
    // Held from the start of the removal to its end; a staging folder that
    // leads elsewhere, or that others may change, is not held and nothing
    // in it is touched.
    InstallFolders folders_;
};
