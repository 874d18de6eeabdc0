#include "removal.h"
#include "framework/afx.h"
#include "system/registry_key.h"
#include <cstring>

namespace {

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

// The name a file of the install has for a printer name, from the catalogue.
bool NameOf(PayloadRole role, PayloadVariant variant, const char* printerName, char (&name)[MAX_PATH]) {
    const CatalogueEntry* entry = FindCatalogueEntry(role, PayloadSet::General, variant);
    return entry && AfxFormat(name, entry->fileName, printerName);
}

bool NamesFile(const char* path, const char* name) { return path && SameName(AfxFindFileName(path), name); }

}  // namespace

void RemovalReport::Add(ItemKind kind, const char* name, DWORD error, bool goesAtRestart) {
    if (remaining + atRestart < kMaxListedItems) {
        RemainingItem& item = listed[remaining + atRestart];
        item.kind = kind;
        item.error = error;
        item.atRestart = goesAtRestart;
        // Every name passed here lives in a buffer of this size already.
        AfxFormat(item.name.text, "%s", name);
    }
    ++(goesAtRestart ? atRestart : remaining);
}

DriverRemoval::DriverRemoval(const char* printerName, const char* ownProgramPath, Machine machine)
    : machine_(machine), environment_(DriverEnvironmentOf(machine)) {
    AfxFormat(printerName_, "%s", printerName);
    CanonicalPath(ownProgramPath, ownProgram_, sizeof ownProgram_);
    GetDriverDirectory(environment_, driverDir_);
    Place places[kPlaceCount];
    char refused[MAX_PATH];
    folders_.Hold(places, PlacesOf(machine_, places), driverDir_, false, refused);
}

bool DriverRemoval::IsOwnProgram(const PlannedFile& file) const {
    char path[MAX_PATH], canonical[MAX_PATH];
    if (!folders_.Of(file.place).PathOf(file.name, path)) return false;
    CanonicalPath(path, canonical, sizeof canonical);
    return SameName(canonical, ownProgram_);
}

const DRIVER_INFO_3A* DriverRemoval::ThisDriver(const UsedDriverFiles& drivers) const {
    const DRIVER_INFO_3A* driver = drivers.Find(printerName_);
    char gpd[MAX_PATH], core[MAX_PATH], coreUi[MAX_PATH];
    bool ours = driver && NameOf(PayloadRole::ModelGpd, PayloadVariant::None, printerName_, gpd) &&
                NameOf(PayloadRole::UnidrvDll, PayloadVariant::OtherCore, printerName_, core) &&
                NameOf(PayloadRole::UnidrvUi, PayloadVariant::OtherCore, printerName_, coreUi) &&
                NamesFile(driver->pDataFile, gpd) && NamesFile(driver->pDriverPath, core) &&
                NamesFile(driver->pConfigFile, coreUi);
    return ours ? driver : nullptr;
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

bool DriverRemoval::PlaceOf(const char* path, PlannedFile& file) const {
    const char* name = AfxFindFileName(path);
    if (!SetBringsUnidrvCore(machine_)) {
        PlannedFile planned[kMaxInstalledFiles];
        bool written = false;
        for (size_t i = 0, count = FilesOfAnyInstall(printerName_, machine_, planned); i < count; ++i)
            written = written || SameName(planned[i].name, name);
        if (!written) return false;
    }
    const int folderLength = static_cast<int>(name - path) - 1;
    for (Place place : {Place::DriverFolder, Place::DriverVersion3}) {
        const char* folder = folders_.Of(place).Path();
        if (folders_.Of(place).IsHeld() && folderLength > 0 && static_cast<int>(strlen(folder)) == folderLength &&
            SameName(path, folder, folderLength) && AfxFormat(file.name, "%s", name)) {
            file.place = place;
            file.shared = false;
            return true;
        }
    }
    return false;
}

size_t DriverRemoval::FilesOfThisInstall(PlannedFile (&files)[kMaxInstalledFiles]) const {
    PlannedFile planned[kMaxInstalledFiles];
    bool present[kMaxInstalledFiles];
    const size_t plannedCount = FilesOfAnyInstall(printerName_, machine_, planned);
    // Each file is looked up once: every look-up opens it.
    for (size_t i = 0; i < plannedCount; ++i)
        present[i] = folders_.Of(planned[i].place).Holds(planned[i].name) && !IsOwnProgram(planned[i]);
    size_t count = 0;
    for (size_t i = 0; i < plannedCount; ++i) {
        if (!present[i]) continue;
        bool counts = !planned[i].shared;
        for (size_t j = 0; j < plannedCount && !counts; ++j)
            counts = !planned[j].shared && planned[j].place == planned[i].place && present[j];
        if (counts) files[count++] = planned[i];
    }
    return count;
}

bool DriverRemoval::FindsInstallation() {
    UsedDriverFiles drivers(environment_, "");
    PlannedFile files[kMaxInstalledFiles];
    char key[MAX_PATH];
    char everyUser[MAX_PATH];
    return ThisDriver(drivers) || FilesOfThisInstall(files) > 0 ||
           (UninstallKeyFor(printerName_, key) && RegistryKey::Exists(key)) ||
           (ActiveSetupKeyFor(printerName_, everyUser) && RegistryKey::Exists(everyUser));
}

RemovalReport DriverRemoval::Remove() {
    RemovalReport report;
    // What belongs to the install is settled before anything goes: the
    // driver's own files, taken while it is still registered, and the
    // install's files that are here.
    PlannedFile driverFiles[kMaxInstalledFiles];
    size_t driverFileCount = 0;
    bool ourDriver = false;
    {
        UsedDriverFiles drivers(environment_, "");
        if (const DRIVER_INFO_3A* driver = ThisDriver(drivers)) {
            ourDriver = true;
            ForEachFileOfDriver(*driver, [&](const char* f) {
                if (driverFileCount < kMaxInstalledFiles && PlaceOf(f, driverFiles[driverFileCount])) ++driverFileCount;
            });
        }
    }
    PlannedFile ours[kMaxInstalledFiles];
    const size_t ourCount = FilesOfThisInstall(ours);
    // A driver of the name that another program installed stays, and so do
    // its printers.
    if (ourDriver) {
        RemovePrinters(report);
        RemoveDriver(report);
    }
    RemoveNetworkPort(report);

    // The driver's files first, then the install's files it does not list;
    // a file that a remaining driver uses stays.
    UsedDriverFiles used(environment_, "");
    for (size_t i = 0; i < driverFileCount; ++i) RemoveFile(driverFiles[i], used, report);
    for (size_t i = 0; i < ourCount; ++i) RemoveFile(ours[i], used, report);
    // The install created the folders in the staging folder (I386 and x86,
    // or amd64); they go when nothing else is in them. Their parent is
    // held, so the names are the real ones.
    Place places[kPlaceCount];
    for (size_t i = 0, count = PlacesOf(machine_, places); i < count; ++i) {
        const Place place = places[i];
        char folder[MAX_PATH];
        if (place == Place::Staging || IsDriverPlace(place) || !folders_.Of(place).IsHeld() ||
            !AfxFormat(folder, "%s", folders_.Of(place).Path()))
            continue;
        folders_.Release(place);
        RemoveDirectoryA(folder);
    }

    // Only a complete removal (files that go at the restart count as gone)
    // takes the entry in the installed programs and the program itself:
    // after an incomplete one the user can close what held a file and run
    // it again from there.
    if (report.Complete()) ScheduleOwnProgram(report);
    if (report.Complete()) RemoveUninstallEntry(report);
    return report;
}

void DriverRemoval::RemovePrinters(RemovalReport& report) {
    SpoolerList list = ReadPrinterList();
    for (DWORD i = 0; i < list.count; ++i) {
        const PRINTER_INFO_2A& found = list.Printers()[i];
        if (!UsesDriver(found)) continue;
        if (DWORD error = DeletePrinterNamed(found.pPrinterName)) report.Add(ItemKind::Printer, found.pPrinterName, error);
    }
}

void DriverRemoval::RemoveDriver(RemovalReport& report) {
    // A driver that a remaining printer still uses must stay, or that printer
    // would be left without one.
    if (AnyPrinterUsesDriver()) {
        report.Add(ItemKind::Driver, printerName_, ERROR_PRINTER_DRIVER_IN_USE);
        return;
    }
    // Files a spooler keeps with the driver are deleted below, one by one.
    if (DWORD error = DeleteDriverNamed(environment_, printerName_)) report.Add(ItemKind::Driver, printerName_, error);
}

void DriverRemoval::RemoveNetworkPort(RemovalReport& report) {
    char key[MAX_PATH], port[MAX_PATH];
    if (!UninstallKeyFor(printerName_, key) || !RegistryKey::ReadText(key, kMadePortValue, port) ||
        !IsUsablePortName(port) || PortInUse(port) || !FindPort(ReadPortNames(), port))
        return;
    if (DWORD error = DeleteNetworkPort(port)) report.Add(ItemKind::Port, port, error);
}

void DriverRemoval::RemoveFile(const PlannedFile& file, const UsedDriverFiles& used, RemovalReport& report) {
    const HeldFolder& folder = folders_.Of(file.place);
    char path[MAX_PATH];
    if (!folder.Holds(file.name) || IsOwnProgram(file) || !folder.PathOf(file.name, path)) return;
    const DWORD error = RemovePlannedFile(folders_, file, used);
    if (!error) return;
    // Open in another program (a user's, or a DLL the spooler still has
    // loaded). A staged leftover may go at the restart under its own name:
    // nothing needs it after the install. A file of the driver folders must
    // be renamed aside first, so that an install before the restart keeps
    // the file it writes under that name; and where the drivers cannot be
    // listed, none of them is touched.
    const bool inUse = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                       error == ERROR_ACCESS_DENIED || error == ERROR_USER_MAPPED_FILE;
    const bool driverPlace = IsDriverPlace(file.place);
    if (inUse && (!driverPlace || (used.Known() && !used.Lists(path))) &&
        folder.RemoveAtRestart(file.name, !driverPlace) == 0)
        report.AddAtRestart(ItemKind::File, path, error);
    else
        report.Add(ItemKind::File, path, error);
}

void DriverRemoval::ScheduleOwnProgram(RemovalReport& report) {
    // A running program cannot delete its own file; Windows does it at the
    // next restart. Only a copy the install put there is the install's.
    PlannedFile planned[kMaxInstalledFiles];
    for (size_t i = 0, count = FilesOfAnyInstall(printerName_, machine_, planned); i < count; ++i) {
        if (!IsOwnProgram(planned[i])) continue;
        if (MoveFileExA(ownProgram_, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
            report.ownCopyScheduled = true;
        else
            report.Add(ItemKind::File, ownProgram_, GetLastError());
        return;
    }
}

void DriverRemoval::RemoveUninstallEntry(RemovalReport& report) {
    // The Active Setup component first: no user who logs on later is to get
    // a default printer that is gone.
    char keys[2][MAX_PATH];
    if (!ActiveSetupKeyFor(printerName_, keys[0]) || !UninstallKeyFor(printerName_, keys[1])) return;
    for (const char* key : keys) {
        if (!RegistryKey::Exists(key)) continue;
        LONG result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
        if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) continue;
        // The entry stays with it, to run the uninstaller again from.
        report.Add(ItemKind::RegistryKey, key, static_cast<DWORD>(result));
        return;
    }
}
