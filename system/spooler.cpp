#include "spooler.h"
#include "../framework/afx.h"
#include <cstring>

const char kX86Environment[] = "Windows NT x86";
const char kX64Environment[] = "Windows x64";

bool GetDriverDirectory(const char* environment, char (&folder)[MAX_PATH]) {
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, const_cast<char*>(environment), 1,
                                    reinterpret_cast<BYTE*>(folder), sizeof folder, &needed) ||
        !memchr(folder, '\0', sizeof folder) || !folder[0]) {
        folder[0] = '\0';
        return false;
    }
    return true;
}

namespace {

template <typename Enumerate>
SpoolerList ReadSpoolerList(Enumerate enumerate) {
    SpoolerList list;
    for (int attempt = 0; attempt < 3 && !list.ok; ++attempt) {
        DWORD needed = 0;
        list.count = 0;
        list.ok = enumerate(list.block.get(), list.size, &needed, &list.count);
        list.error = list.ok ? 0 : GetLastError();
        if (list.ok || list.error != ERROR_INSUFFICIENT_BUFFER) break;
        list.block.reset(static_cast<BYTE*>(calloc(needed, 1)));
        list.size = list.block ? needed : 0;
        if (needed > 0 && !list.block) {
            list.error = ERROR_NOT_ENOUGH_MEMORY;
            break;
        }
    }
    if (!list.ok) list.count = 0;
    return list;
}

}  // namespace

SpoolerList ReadPrinterList() {
    return ReadSpoolerList([](BYTE* block, DWORD size, DWORD* needed, DWORD* count) {
        return EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, block, size, needed, count) != FALSE;
    });
}

SpoolerList ReadDriverList(const char* environment) {
    return ReadSpoolerList([environment](BYTE* block, DWORD size, DWORD* needed, DWORD* count) {
        return EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 3, block, size, needed, count) != FALSE;
    });
}

int CountPrintersContaining(const char* text, int stopAt) {
    SpoolerList list = ReadPrinterList();
    if (!list.ok || list.count == 0) return -1;
    int count = 0;
    for (DWORD i = list.count; i-- > 0 && count < stopAt;) {
        const char* name = list.Printers()[i].pPrinterName;
        if (name && strstr(name, text)) ++count;
    }
    return count;
}

UsedDriverFiles::UsedDriverFiles(const char* environment, const char* exceptDriver)
    : drivers_(ReadDriverList(environment)) {
    AfxFormat(exceptDriver_, "%s", exceptDriver);
}

bool UsedDriverFiles::Lists(const char* path) const {
    const char* name = AfxFindFileName(path);
    for (DWORD i = 0; i < drivers_.count; ++i) {
        const DRIVER_INFO_3A& driver = drivers_.Drivers()[i];
        if (exceptDriver_[0] && driver.pName && SameName(driver.pName, exceptDriver_)) continue;
        bool listed = false;
        ForEachFileOfDriver(driver, [&](const char* file) {
            bool bare = AfxFindFileName(file) == file;
            listed = listed || SameName(file, bare ? name : path);
        });
        if (listed) return true;
    }
    return false;
}

const DRIVER_INFO_3A* UsedDriverFiles::Find(const char* driverName) const {
    for (DWORD i = 0; i < drivers_.count; ++i)
        if (drivers_.Drivers()[i].pName && SameName(drivers_.Drivers()[i].pName, driverName))
            return &drivers_.Drivers()[i];
    return nullptr;
}

bool FindPrinter(const char* printerName, char (*driver)[MAX_PATH]) {
    SpoolerList list = ReadPrinterList();
    for (DWORD i = 0; i < list.count; ++i) {
        const PRINTER_INFO_2A& printer = list.Printers()[i];
        if (!printer.pPrinterName || !SameName(printer.pPrinterName, printerName)) continue;
        if (driver) AfxFormat(*driver, "%s", printer.pDriverName ? printer.pDriverName : "");
        return true;
    }
    return false;
}

DWORD DeletePrinterNamed(const char* printerName) {
    PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(printerName), &printer, &access)) return GetLastError();
    const DWORD error = DeletePrinter(printer) ? 0 : GetLastError();
    ClosePrinter(printer);
    return error;
}

DWORD DeleteDriverNamed(const char* environment, const char* driverName) {
    char* name = const_cast<char*>(driverName);
    char* ofEnvironment = const_cast<char*>(environment);
    if (DeletePrinterDriverExA(nullptr, ofEnvironment, name, DPD_DELETE_UNUSED_FILES, 0)) return 0;
    DWORD error = GetLastError();
    // Spoolers that cannot delete files with the driver refuse the flag
    // (Wine's, also for a 32-bit program and the x64 environment).
    if (error == ERROR_INVALID_PARAMETER || error == ERROR_NOT_SUPPORTED)
        error = DeletePrinterDriverA(nullptr, ofEnvironment, name) ? 0 : GetLastError();
    return error == ERROR_UNKNOWN_PRINTER_DRIVER ? 0 : error;
}

bool SavedForm::Delete(const char* formName) {
    HANDLE server;
    if (!OpenPrinterA(nullptr, &server, nullptr)) return false;
    // The form as it is, to add it again should the install be undone.
    BYTE buffer[sizeof(FORM_INFO_1A) + MAX_PATH];
    DWORD needed = 0;
    if (AfxFormat(name_, "%s", formName) &&
        GetFormA(server, name_, 1, buffer, sizeof buffer, &needed)) {
        form_ = *reinterpret_cast<FORM_INFO_1A*>(buffer);
        form_.pName = name_;
    }
    deleted_ = DeleteFormA(server, const_cast<char*>(formName)) != FALSE && form_.pName;
    ClosePrinter(server);
    return deleted_;
}

void SavedForm::Restore() {
    HANDLE server;
    if (!deleted_ || !OpenPrinterA(nullptr, &server, nullptr)) return;
    AddFormA(server, 1, reinterpret_cast<BYTE*>(&form_));
    ClosePrinter(server);
    deleted_ = false;
}

SpoolerList ReadPortList() {
    return ReadSpoolerList([](BYTE* block, DWORD size, DWORD* needed, DWORD* count) {
        return EnumPortsA(nullptr, 1, block, size, needed, count) != FALSE;
    });
}

PortNames ReadPortNames() {
    PortNames ports;
    ports.list = ReadPortList();
    for (DWORD i = 0; i < ports.list.count && ports.count < PortNames::kMaxPortNames; ++i)
        if (const char* name = ports.list.Ports()[i].pName) ports.names[ports.count++] = name;
    return ports;
}

const char* FindPort(const PortNames& ports, const char* name) {
    for (size_t i = 0; i < ports.count; ++i)
        if (SameName(ports.names[i], name)) return ports.names[i];
    return nullptr;
}

namespace {

// What the Standard TCP/IP Port monitor takes with "AddPort" and
// "DeletePort" (the documented PORT_DATA_1 and DELETE_PORT_DATA_1, version 1).
const DWORD kRawProtocol = 1;
struct PortData1 {
    WCHAR portName[64];
    DWORD version;
    DWORD protocol;
    DWORD size;
    DWORD reserved;
    WCHAR hostAddress[49];
    WCHAR snmpCommunity[33];
    DWORD doubleSpool;
    WCHAR queue[33];
    WCHAR ipAddress[16];
    BYTE reserved2[540];
    DWORD portNumber;
    DWORD snmpEnabled;
    DWORD snmpDevIndex;
};
struct DeletePortData1 {
    WCHAR portName[64];
    BYTE reserved[98];
    DWORD version;
    DWORD reserved2;
};

template <size_t N>
bool Widened(const char* text, WCHAR (&wide)[N]) {
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, wide, static_cast<int>(N)) > 0;
}

// Sends one command to the monitor, opened for administration: 0, or why
// the spooler or the monitor refused it.
DWORD TellPortMonitor(const WCHAR* command, void* input, DWORD size) {
    PRINTER_DEFAULTSA access = {nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    HANDLE monitor = nullptr;
    if (!OpenPrinterA(const_cast<char*>(",XcvMonitor Standard TCP/IP Port"), &monitor, &access))
        return GetLastError();
    DWORD needed = 0, status = ERROR_SUCCESS;
    const DWORD error = XcvDataW(monitor, command, static_cast<BYTE*>(input), size, nullptr, 0, &needed, &status)
                            ? status
                            : GetLastError();
    ClosePrinter(monitor);
    return error;
}

}  // namespace

DWORD AddNetworkPort(const char* name, const char* host, unsigned short tcpPort, bool& made) {
    made = false;
    if (FindPort(ReadPortNames(), name)) return 0;
    PortData1 data = {};
    data.version = 1;
    data.protocol = kRawProtocol;
    data.size = sizeof data;
    data.portNumber = tcpPort;
    data.snmpEnabled = 0;
    if (!Widened(name, data.portName) || !Widened(host, data.hostAddress)) return ERROR_INVALID_PARAMETER;
    const DWORD error = TellPortMonitor(L"AddPort", &data, sizeof data);
    made = error == 0;
    // Made meanwhile by someone else: it is there, and not this call's.
    return error == ERROR_ALREADY_EXISTS ? 0 : error;
}

DWORD DeleteNetworkPort(const char* name) {
    DeletePortData1 data = {};
    data.version = 1;
    if (!Widened(name, data.portName)) return ERROR_INVALID_PARAMETER;
    return TellPortMonitor(L"DeletePort", &data, sizeof data);
}

bool PortInUse(const char* name) {
    SpoolerList list = ReadPrinterList();
    // A printer's ports are a list, "LPT1:,LPT2:" for a pool.
    const int length = static_cast<int>(strlen(name));
    for (DWORD i = 0; i < list.count; ++i)
        for (const char* p = list.Printers()[i].pPortName; p && *p;) {
            const char* end = strchr(p, ',');
            const int partLength = end ? static_cast<int>(end - p) : static_cast<int>(strlen(p));
            if (partLength == length && SameName(p, name, length)) return true;
            p = end ? end + 1 : p + partLength;
        }
    return false;
}

namespace {

// The error of the call that just failed; one that gives no reason still failed.
DWORD Failure(const char* call, const char*& failedCall) {
    const DWORD error = GetLastError();
    failedCall = call;
    return error ? error : ERROR_GEN_FAILURE;
}

}  // namespace

DWORD PrintRaw(const char* printerName, const char* documentName, const void* bytes, DWORD size,
               const char*& failedCall) {
    failedCall = "";
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char*>(printerName), &printer, nullptr)) return Failure("OpenPrinterA", failedCall);
    DOC_INFO_1A document = {const_cast<char*>(documentName), nullptr, const_cast<char*>("RAW")};
    DWORD error = 0, written = 0;
    if (StartDocPrinterA(printer, 1, reinterpret_cast<BYTE*>(&document)) == 0) {
        error = Failure("StartDocPrinterA", failedCall);
    } else {
        if (!WritePrinter(printer, const_cast<void*>(bytes), size, &written)) {
            error = Failure("WritePrinter", failedCall);
        } else if (written != size) {
            failedCall = "WritePrinter";
            error = ERROR_WRITE_FAULT;
        }
        // The document ends either way: its end hands it to the port.
        if (!EndDocPrinter(printer) && !error) error = Failure("EndDocPrinter", failedCall);
    }
    ClosePrinter(printer);
    return error;
}
