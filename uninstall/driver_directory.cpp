#include "driver_directory.h"
#include <winspool.h>
#include <cstdlib>
#include <cstring>

bool GetDriverDirectory(char (&folder)[MAX_PATH]) {
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, const_cast<char*>("Windows NT x86"), 1,
                                    reinterpret_cast<BYTE*>(folder), sizeof folder, &needed) ||
        !memchr(folder, '\0', sizeof folder) || !folder[0]) {
        folder[0] = '\0';
        return false;
    }
    return true;
}

int CountPrintersContaining(const char* text, int stopAt) {
    DWORD needed = 0, returned = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
    if (needed == 0) return -1;
    // The block is exactly the size the spooler asked for, zeroed first.
    BYTE* block = static_cast<BYTE*>(calloc(needed, 1));
    if (!block) return -1;
    int count = -1;
    if (EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, block, needed, &needed, &returned)) {
        count = 0;
        const PRINTER_INFO_2A* printers = reinterpret_cast<const PRINTER_INFO_2A*>(block);
        for (DWORD i = returned; i-- > 0 && count < stopAt;)
            if (printers[i].pPrinterName && strstr(printers[i].pPrinterName, text)) ++count;
    }
    free(block);
    return count;
}
