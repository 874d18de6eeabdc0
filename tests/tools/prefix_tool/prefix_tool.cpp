// Run once while the test prefix is made: gives it one ordinary printer,
// made the default, as a real system has. Its name holds no "KRX". On
// 64-bit Windows it also gives the prefix the system's Unidrv core, which
// every x64 Windows has and the x64 driver's INF takes from the system:
// stand-in files in the driver folder's 3, where an installed driver's lie
// and the printer installer stand-in takes them from.
#include "spooler_support.h"
#include <windows.h>
#include <string>

namespace {

bool PlaceSystemUnidrvCore() {
    const std::string folder = test::PrinterDriverDirectory();
    if (folder.empty()) return false;
    const std::string version3 = folder + "\\3";
    CreateDirectoryA(version3.c_str(), nullptr);
    for (const char* name : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL", "STDNAMES.GPD"}) {
        const std::string text = std::string("SYSTEM UNIDRV CORE STAND-IN: ") + name + "\r\n";
        HANDLE file = CreateFileA((version3 + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        const bool ok = file != INVALID_HANDLE_VALUE &&
                        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        if (!ok) return false;
    }
    return true;
}

}  // namespace

int main() {
    if (!test::AddTestPrinter("Office Laser", "Office Laser Driver")) return 1;
    if (test::OnWindows64() && !PlaceSystemUnidrvCore()) return 3;
    return test::SetDefaultPrinterName("Office Laser") ? 0 : 2;
}
