// The print spooler as the install and the uninstaller see it: the driver
// folder, the local printers, the installed drivers and the files they use.
#pragma once
#include <windows.h>
#include <winspool.h>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>

// The spooler environments of the driver sets: the 32-bit one, and the
// x64 one, whose folder a 32-bit program on 64-bit Windows may ask for
// too (the spool folder is not redirected).
extern const char kX86Environment[];
extern const char kX64Environment[];

// The driver folder of an environment on this computer, asked for afresh;
// false (and an empty buffer) when the spooler cannot report it.
bool GetDriverDirectory(const char* environment, char (&folder)[MAX_PATH]);

// A spooler list, read into a zero-filled heap block of the size the
// spooler asks for, and read again when it grew between the size query and
// the read. A block that cannot be had leaves the list unread.
struct SpoolerList {
    struct FreeBlock {
        void operator()(BYTE* block) const { free(block); }
    };
    std::unique_ptr<BYTE, FreeBlock> block;
    DWORD size = 0;    // of the block
    DWORD count = 0;
    bool ok = false;
    DWORD error = 0;   // why it could not be read

    const PRINTER_INFO_2A* Printers() const { return reinterpret_cast<const PRINTER_INFO_2A*>(block.get()); }
    const DRIVER_INFO_3A* Drivers() const { return reinterpret_cast<const DRIVER_INFO_3A*>(block.get()); }
    const PORT_INFO_1A* Ports() const { return reinterpret_cast<const PORT_INFO_1A*>(block.get()); }
};
SpoolerList ReadPrinterList();   // the local printers, level 2
SpoolerList ReadDriverList(const char* environment);   // its drivers, level 3
SpoolerList ReadPortList();      // the ports of every port monitor, level 1

// The spooler's ports by name, for the choice of port; at most
// kMaxPortNames, in the spooler's order.
struct PortNames {
    static const size_t kMaxPortNames = 128;
    SpoolerList list;
    const char* names[kMaxPortNames] = {};
    size_t count = 0;
};
PortNames ReadPortNames();
// The port of that name (letter case aside) as the spooler spells it;
// null when it lists none.
const char* FindPort(const PortNames& ports, const char* name);

// The Standard TCP/IP Port monitor's ports: a raw TCP port `name` to
// `host`:`tcpPort`, SNMP off. One the spooler already lists is reused:
// `made` tells whether this call made it. 0, or why it could not be made.
DWORD AddNetworkPort(const char* name, const char* host, unsigned short tcpPort, bool& made);
// Deletes such a port: 0, or the Win32 error.
DWORD DeleteNetworkPort(const char* name);
// A local printer prints to that port (one of its ports).
bool PortInUse(const char* name);

// Sends `bytes` to the printer as they are, as one document of the RAW
// datatype. 0, or the Win32 error of the call that failed, whose name
// `failedCall` then gives.
DWORD PrintRaw(const char* printerName, const char* documentName, const void* bytes, DWORD size,
               const char*& failedCall);

// Counts, from the last local printer back, those whose name contains
// `text` (case-sensitive), stopping once `stopAt` are found. -1 when there
// are no local printers or the list cannot be read.
int CountPrintersContaining(const char* text, int stopAt);

// The local printer of exactly that name (letter case aside), with the
// driver it is on (`driver`, unless null, gets that name; "" for none).
// False when there is none or the list cannot be read.
bool FindPrinter(const char* printerName, char (*driver)[MAX_PATH] = nullptr);
// Deletes the local printer of that name: 0, or the Win32 error.
DWORD DeletePrinterNamed(const char* printerName);
// Deletes the driver of that name in the environment, and its files that
// no other driver uses: 0 when it is gone (or was not there), else the
// Win32 error. Spoolers that cannot delete files with the driver keep them.
DWORD DeleteDriverNamed(const char* environment, const char* driverName);

// The print server's form of a name, kept while it is deleted so that it
// can be added again.
class SavedForm {
public:
    // Deletes the form; false when there was none, or it could not be read or deleted.
    bool Delete(const char* formName);
    // Adds it again as it was read; nothing when none was deleted.
    void Restore();

private:
    FORM_INFO_1A form_ = {};
    char name_[MAX_PATH] = {};
    bool deleted_ = false;
};

// Calls `visit` with every file a driver names: its main files, then its
// dependent files.
template <typename Visit>
void ForEachFileOfDriver(const DRIVER_INFO_3A& driver, Visit visit) {
    for (const char* f : {driver.pDriverPath, driver.pDataFile, driver.pConfigFile, driver.pHelpFile})
        if (f && *f) visit(f);
    for (const char* f = driver.pDependentFiles; f && *f; f += strlen(f) + 1) visit(f);
}

// The installed drivers of an environment, read once, and the files they
// use, leaving out the driver named `exceptDriver` (the one being replaced
// or removed; "" for none). A file any of the others uses must stay.
class UsedDriverFiles {
public:
    UsedDriverFiles(const char* environment, const char* exceptDriver);
    // Without the list nothing can be said about the driver folder.
    bool Known() const { return drivers_.ok; }
    DWORD Error() const { return drivers_.error; }
    // A listed full path matches that path; a bare listed name, the file name.
    bool Lists(const char* path) const;
    // The installed driver of that name (letter case aside); null when none.
    const DRIVER_INFO_3A* Find(const char* driverName) const;

private:
    SpoolerList drivers_;
    char exceptDriver_[MAX_PATH] = {};
};
