// What an install leaves on the machine, made directly with the spooler and
// file API so the uninstaller can be tested on its own, and a snapshot of
// everything it could touch.
#pragma once
#include <windows.h>
#include <set>
#include <string>
#include <vector>

namespace uninstall_test {

std::string DriverDir();
const char* const kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The files the install stages and copies for a printer name, and its
// uninstall entry: the general set's on 32-bit Windows, the x64 set's on
// 64-bit Windows.
void StageInstallFiles(const std::string& printerName);
// The x64 set's files in the x64 driver folder.
std::vector<std::string> X64DriverFiles(const std::string& printerName);
// All of StageInstallFiles, and the driver
// registered under `driverName` with its files in the version folder 3 and
// one printer per name in `printers` on that driver.
// The uninstaller copies are the build's real program.
void CreateInstall(const std::string& printerName, const std::string& driverName,
                   const std::vector<std::string>& printers);

// Things of others that must outlive every uninstall: printers (one with
// "KRX" in its name) on another driver, files in C:\TEMP and the driver
// folder, another uninstall entry.
void CreateUnrelatedThings();

// Every file under a folder, as full paths, upper-cased.
std::set<std::string> FilesUnder(const std::string& folder);

// Everything the uninstaller might change.
struct MachineState {
    std::set<std::string> printers;   // "name|driver"
    std::set<std::string> drivers;
    std::set<std::string> files;      // under C:\TEMP and the driver folder
    std::set<std::string> uninstallKeys;
    bool operator==(const MachineState& o) const {
        return printers == o.printers && drivers == o.drivers && files == o.files &&
               uninstallKeys == o.uninstallKeys;
    }
};
MachineState Snapshot();
// Elements of `a` that are not in `b`.
std::set<std::string> Minus(const std::set<std::string>& a, const std::set<std::string>& b);
std::string Upper(std::string s);

// The build's uninstaller copied to `path`.
std::string CopyUninstaller(const std::string& path);
// The files Windows deletes at the next restart (upper-cased, without "\??\").
std::set<std::string> PendingDeletions();

}  // namespace uninstall_test
