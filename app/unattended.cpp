#include "unattended.h"
#include "setup_app.h"
#include "../app_core/app_state.h"
#include "../app_core/start_checks.h"
#include "app_core/texts.h"
#include "../install/install_runner.h"
#include "../install/printer_name_check.h"
#include "../payload/catalogue.h"
#include "../payload/payload_resource.h"
#include "../system/held_folder.h"
#include "../system/spooler.h"
#include <cstring>

namespace {

// "C:\logs\till.log" with a number in it: "C:\logs\till 1234.log".
bool NumberedPath(const char* path, unsigned long number, char (&numbered)[MAX_PATH]) {
    const size_t length = strlen(path);
    const bool log = length > 4 && SameName(path + length - 4, ".log");
    return AfxFormat(numbered, "%.*s %lu.log", static_cast<int>(log ? length - 4 : length), path, number);
}

// One line a step, each with its local time. The log is made new: a file
// or link someone put at its name goes first, and a folder that leads
// elsewhere takes none.
class SetupLog {
public:
    ~SetupLog() {
        if (file_) file_->Close();   // kept: a file not closed would go
        delete file_;
    }

    // Makes the log at `path`; when that name cannot be made new (a folder
    // of that name, the log of a setup still running), `orBeside` makes it
    // under a fresh name beside it. 0, or why the log at `path` was not
    // made.
    DWORD Open(const char* path, bool orBeside) {
        DWORD error = Make(path);
        char numbered[MAX_PATH];
        for (unsigned long attempt = 0; error && orBeside && attempt < 3; ++attempt)
            if (NumberedPath(path, GetCurrentProcessId() + attempt * 65536, numbered) && Make(numbered) == 0) break;
        return error;
    }

    template <typename... Args>
    void Line(const char* format, Args... args) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        char text[3 * MAX_PATH], line[3 * MAX_PATH + 32];
        if (file_ && AfxFormat(text, format, args...) &&
            AfxFormat(line, "%04u-%02u-%02u %02u:%02u:%02u %s\r\n", now.wYear, now.wMonth, now.wDay, now.wHour,
                      now.wMinute, now.wSecond, text))
            file_->Write(line, static_cast<DWORD>(strlen(line))) && file_->Flush();   // each line as it happens
    }
    void Outcome(const InstallOutcome& outcome) {
        char line[3 * MAX_PATH];
        if (OutcomeLogLine(outcome, static_cast<unsigned long>(kPrinterWaitAttempts / 10), line, sizeof line))
            Line("%s", line);
    }

private:
    DWORD Make(const char* path) {
        const char* name = AfxFindFileName(path);
        char folderPath[MAX_PATH];
        if (!AfxFormat(folderPath, "%.*s", static_cast<int>(name - path), path) || !name[0])
            return ERROR_INVALID_NAME;
        folder_.Hold(folderPath, false, false);
        delete file_;
        file_ = new NewFile(folder_, name);
        const DWORD error = file_->Error();
        if (error) {
            delete file_;
            file_ = nullptr;
        }
        return error;
    }

    HeldFolder folder_;
    NewFile* file_ = nullptr;
};

void LogStart(SetupLog& log, const InstallChoices& choices) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    log.Line("setup.exe /S started: Windows %lu.%lu build %lu (code %d), system language 0x%04X, printer %s",
             version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber, choices.osCode,
             static_cast<unsigned>(choices.systemLanguage), choices.printerName);
}

// Whether the program carries a driver set for the machine: the 32-bit
// sets always, the x64 set unless the build left it out (then it lacks the
// set's INF).
bool CarriesDriverFor(Machine machine) {
    if (machine == Machine::X86) return true;
    const CatalogueEntry* inf = FindCatalogueEntry(PayloadRole::Inf, PayloadSet::X64);
    PayloadBytes bytes;
    return machine == Machine::X64 && inf && FindPayload(inf->id, bytes);
}

}  // namespace

bool RefusedAtStart(InstallOutcome& refusal) {
    const USHORT machine = DetectNativeMachine();
    char name[32];
    MachineName(machine, name);
    if (!CarriesDriverFor(MachineOf(machine))) {
        refusal = MakeOutcome(InstallResult::Windows64, name);
        return true;
    }
    const RunLock lock = TakeRunLock();
    if (lock == RunLock::Taken) return false;
    refusal = MakeOutcome(lock == RunLock::HeldByOther ? InstallResult::LockHeldByOther : InstallResult::AnotherRunning, "");
    return true;
}

void ShowUsage() {
    AfxMessageBox(TextIn(kUsageText, LanguageOfSystem(GetSystemDefaultLangID())), MB_OK | MB_ICONINFORMATION);
}

bool LogPath(const char* logSwitch, const char* printerName, char (&path)[MAX_PATH]) {
    if (logSwitch[0]) {
        const DWORD length = GetFullPathNameA(logSwitch, MAX_PATH, path, nullptr);
        return length > 0 && length < MAX_PATH;
    }
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp) return false;
    if (!IsPrinterNameUsable(printerName)) return AfxFormat(path, "%sprinter setup.log", temp);
    return AfxFormat(path, "%s%s printer setup.log", temp, printerName);
}

bool ChoosePort(const CommandLineSwitches& switches, PortChoice& port, InstallOutcome& refusal) {
    using PortSwitch = CommandLineSwitches::PortSwitch;
    if (switches.portSwitch == PortSwitch::Address) {
        if (ParseNetworkAddress(switches.port, port)) return true;
        refusal = MakeOutcome(InstallResult::AddressInvalid, switches.port);
        return false;
    }
    const PortNames ports = ReadPortNames();
    if (switches.portSwitch == PortSwitch::None) return ListedPortChoice(DefaultPortName(ports.names, ports.count), port);
    // As the spooler spells it.
    const char* listed = IsUsablePortName(switches.port) ? FindPort(ports, switches.port) : nullptr;
    if (listed && ListedPortChoice(listed, port)) return true;
    refusal = MakeOutcome(InstallResult::PortNotListed, switches.port);
    return false;
}

int RunUnattended(const InstallOutcome* refusal, InstallChoices choices, const CommandLineSwitches& switches) {
    const char* logSwitch = switches.logPath;
    char path[MAX_PATH];
    SetupLog log;
    const bool named = logSwitch[0] != '\0';
    const DWORD logError = LogPath(logSwitch, choices.printerName, path) ? log.Open(path, true) : ERROR_INVALID_NAME;
    LogStart(log, choices);
    // A log that was asked for and cannot be made ends the run before it
    // writes anything: an administrator would look for it in vain.
    if (named && logError) {
        const InstallOutcome noLog = MakeOutcome(InstallResult::LogNotMade, path, logError);
        log.Outcome(noLog);
        return ExitCodeOf(noLog.result);
    }
    if (refusal) {
        log.Outcome(*refusal);
        return ExitCodeOf(refusal->result);
    }
    // A port that cannot be used ends the run before anything is written.
    InstallOutcome portRefusal;
    if (!ChoosePort(switches, choices.port, portRefusal)) {
        log.Outcome(portRefusal);
        return ExitCodeOf(portRefusal.result);
    }
    choices.testReceipt = switches.testPrint;
    char network[kMaxHostName + 32] = {};
    if (IsNetworkPort(choices.port))
        AfxFormat(network, " (network: %s, TCP port %u)", choices.port.host, static_cast<unsigned>(choices.port.tcpPort));
    // The x64 set serves every version of 64-bit Windows, and the log says so.
    log.Line("install started: %slanguage choice %d (0 Chinese, 1 English, -1 none), the printer made the default, "
             "on port %s%s%s",
             choices.machine == Machine::X64 ? "the 64-bit driver (x64 set), " : "", choices.languageIndex,
             choices.port.name, network, choices.testReceipt ? ", with a test receipt" : "");
    const InstallOutcome outcome = theApp.InstallDriver(choices);
    log.Outcome(outcome);
    return ExitCodeOf(outcome.result);
}
