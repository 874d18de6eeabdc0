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
