// Times the install sequence from its start to the start of the printer
// wait, or a plain program that writes and copies the same bytes to the
// same places. Prints the milliseconds. Run by run-benchmark.sh, each run in
// a fresh Wine prefix with the printer-installer stand-in.
//   bench_install install|plain|files
// "plain" also starts the printer installer's command, as the sequence does
// before its wait; "files" only writes and copies.
#include "app_core/app_state.h"
#include "app/setup_app.h"
#include "spooler_support.h"
#include "test_support.h"
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * count.QuadPart / frequency.QuadPart;
}

std::string Resource(unsigned id) {
    HRSRC r = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "OWNER_DATA");
    return std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, r))), SizeofResource(nullptr, r));
}

// The model-name lines as the install rewrites them for KRX, LF line ends.
std::string Rewritten(const std::string& text) {
    const char* const rules[][2] = {{"OEMDriverFile1=", "OEMDriverFile1=KRXD.DLL"},
                                    {"OEMConfigFile1=", "OEMConfigFile1=KRXF.DLL"},
                                    {"*GPDFileName:", "*GPDFileName: \"KRX.GPD\""},
                                    {"*ModelName:", "*ModelName: \"KRX\""},
                                    {"*ResourceDLL:", "*ResourceDLL: \"KRXRES.DLL\""}};
    std::string out, line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        for (const auto& rule : rules)
            if (line.find(rule[0]) != std::string::npos) {
                line = rule[1];
                break;
            }
        out += line + "\n";
        start = end + 1;
    }
    return out;
}

void Write(const char* path, const std::string& bytes) {
    HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
}

// General set, non-Chinese system, English, printer KRX: what the install
// writes, with the bytes made ready before the clock starts.
double Plain(bool startInstaller) {
    const std::pair<const char*, unsigned> raw[] = {
        {"C:\\TEMP\\uninstallKRX.exe", 255}, {"C:\\TEMP\\KRX.INF", 256},      {"C:\\TEMP\\STDNAMES.GPD", 186},
        {"C:\\TEMP\\KRXD.dll", 189},         {"C:\\TEMP\\I386\\KRXD.dll", 189}, {"C:\\TEMP\\x86\\KRXD.dll", 189},
        {"C:\\TEMP\\ZIKU.UFM", 154},         {"C:\\TEMP\\UNIDRV.DLL", 196},   {"C:\\TEMP\\UNIDRV.HLP", 197},
        {"C:\\TEMP\\UNIDRVUI.DLL", 198},     {"C:\\TEMP\\UNIRES.DLL", 199},   {"C:\\TEMP\\KRXF.dll", 200},
        {"C:\\TEMP\\I386\\KRXF.dll", 200},   {"C:\\TEMP\\x86\\KRXF.dll", 200}, {"C:\\TEMP\\KRXRES.DLL", 201},
        {"C:\\TEMP\\I386\\KRXRES.DLL", 201}, {"C:\\TEMP\\x86\\KRXRES.DLL", 201}};
    std::vector<std::pair<const char*, std::string>> files;
    for (const auto& f : raw) files.push_back({f.first, Resource(f.second)});
    std::string gpd = Resource(187), ini = Resource(188);
    std::string gpdOut = Rewritten(gpd), iniOut = Rewritten(ini);
    std::string driverDir = test::PrinterDriverDirectory();
    const char* const copies[] = {"uninstallKRX.exe", "UNIDRV.DLL", "KRX.GPD",  "UNIDRVUI.DLL", "UNIDRV.HLP",
                                  "UNIRES.DLL",       "STDNAMES.GPD", "ZIKU.UFM", "KRX.INI",    "KRXRES.dll",
                                  "KRXD.dll",         "KRXF.dll"};

    double start = Now();
    for (const char* folder : {"C:\\TEMP", "C:\\TEMP\\I386", "C:\\TEMP\\x86"}) CreateDirectoryA(folder, nullptr);
    for (const auto& f : files) Write(f.first, f.second);
    Write("c:\\temp\\temp.txt", gpd);
    Write("C:\\TEMP\\KRX.GPD", gpdOut);
    Write("c:\\temp\\temp.txt", ini);
    Write("C:\\TEMP\\KRX.INI", iniOut);
    for (const char* name : copies)
        CopyFileA((std::string("C:\\TEMP\\") + name).c_str(), (driverDir + "\\" + name).c_str(), FALSE);
    if (startInstaller)
        WinExec("rundll32.exe printui.dll,PrintUIEntry /if /f C:\\TEMP\\KRX.INF /r \"LPT1:\" /b \"KRX\" /m \"KRX\" ",
                SW_HIDE);
    return Now() - start;
}

// With no local printer the wait gives up after its first 100 ms pause and
// one list read, and says so; that pause is taken off. The stand-in is told to wait, so
// no printer comes while the clock runs.
void HoldBackThePrinter() {
    HKEY key;
    DWORD delay = 600000;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\PrintUIStandIn", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, "AddPrinterDelayMs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&delay), sizeof delay);
    RegCloseKey(key);
}

// The message that the wait gave up ends the clock when its window is
// made: a hook on this thread reads that moment and closes the message.
// Nothing polls while the clock runs.
double g_told = 0;

LRESULT CALLBACK OnWindowEvent(int code, WPARAM wParam, LPARAM lParam) {
    char className[16] = {};
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && !g_told && GetClassNameA(window, className, sizeof className) &&
        lstrcmpA(className, "#32770") == 0) {
        g_told = Now();
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

double Install() {
    test::DeleteAllPrinters();
    InstallChoices choices = PreselectedChoices("KRX");
    choices.osCode = 10;
    choices.languageIndex = 1;
    HHOOK hook = SetWindowsHookExA(WH_CBT, OnWindowEvent, nullptr, GetCurrentThreadId());
    double start = Now();
    ShowOutcome(theApp.InstallDriver(choices), LanguageOf(choices));
    UnhookWindowsHookEx(hook);
    return g_told - start - 100.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    HoldBackThePrinter();
    std::string mode = argv[1];
    double ms = mode == "plain" ? Plain(true) : mode == "files" ? Plain(false) : Install();
    printf("%.1f\n", ms);
    return 0;
}
