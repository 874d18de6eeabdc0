// Printers and printer drivers through the real spooler API, for the tests
// and the test tools (the prefix tool, the printer-installer stand-in); the
// one place in them that asks the spooler. Under Wine a printer needs a
// registered driver, and a driver needs its files in the driver folder.
#pragma once
#include <string>
#include <vector>

namespace test {

// 64-bit Windows: its drivers are those of "Windows x64", whatever the
// process's own bits; every function below works in that environment there,
// in "Windows NT x86" on 32-bit Windows.
bool OnWindows64();

// The spooler's driver folder (no trailing backslash).
std::string PrinterDriverDirectory();

// Registers a driver (level 3) whose driver, data and config file is one
// placeholder file in the driver folder; an existing driver is kept.
bool AddTestDriver(const std::string& driverName);
// Registers a driver whose first four files are its driver, data, config
// and help file and the rest its dependent files (full paths of existing
// files, or names of files in the driver folder); its files in the version
// folder 3 are those it lists there.
bool AddDriverWithFiles(const std::string& driverName, const std::vector<std::string>& paths);
// A driver that lists the given files of the version folder 3 (at least
// four), each created there when absent.
bool AddDriverUsing(const std::string& driverName, const std::vector<std::string>& version3Files);
// Adds a local printer on the port with the given driver, registering a
// placeholder driver of that name first when there is none.
bool AddTestPrinter(const std::string& printerName, const std::string& driverName = "Test Printer Driver",
                    const std::string& port = "LPT1:");
// What an earlier install of this setup left: a printer of that name on the
// driver of that name, and the setup's uninstall entry, which tells the
// driver from one that another program installed.
bool AddEarlierInstall(const std::string& printerName);
bool DeleteTestPrinter(const std::string& printerName);
bool DeleteTestDriver(const std::string& driverName);
// Deletes every local printer (for an empty printer list).
void DeleteAllPrinters();

// Names of the local printers (level 2), in the spooler's order.
std::vector<std::string> ListPrinters();
// The driver of a local printer; "" when there is no such printer.
std::string DriverOfPrinter(const std::string& printerName);
// Names of the installed drivers (level 1).
std::vector<std::string> ListDrivers();
// A driver's driver, data and configuration file, "|" between; "" when absent.
std::string DriverFiles(const std::string& driverName);

std::string DefaultPrinter();   // "" when there is none
bool SetDefaultPrinterName(const std::string& printerName);

}  // namespace test
