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
#include "../system/run_log.h"
#include "../system/spooler.h"
#include <cstring>

namespace {

// The outcome's line, the last of the log: it gives the exit code.
void LogOutcome(RunLog& log, const InstallOutcome& outcome) {
    char line[3 * MAX_PATH];
    if (OutcomeLogLine(outcome, static_cast<unsigned long>(kPrinterWaitAttempts / 10), line, sizeof line))
        log.Line("%s", line);
}

// Which way the default printer is set, for the log.
const char* DefaultPrinterWay(const InstallChoices& choices) {
    if (choices.defaultForEveryUser)
        return choices.setDefaultPrinter ? "the printer made this user's default now and every user's at their next "
                                           "logon (Active Setup)"
                                         : "the printer made every user's default at their next logon (Active Setup)";
    return choices.setDefaultPrinter ? "the printer made this user's default" : "no user's default printer changed";
}

void LogStart(RunLog& log, const InstallChoices& choices) {
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
    char name[MAX_PATH];
    if (!AfxFormat(name, IsPrinterNameUsable(printerName) ? "%s printer setup.log" : "printer setup.log", printerName))
        return false;
    return RunLogPath(logSwitch, name, RunsAsSystem(), path);
}

void ShowUsage(const char* unknown) {
    const TextLanguage language = LanguageOfSystem(GetSystemDefaultLangID());
    char text[4096];
    if (AfxFormat(text, TextIn(kUnknownSwitchText, language), unknown) &&
        AfxFormat(text + strlen(text), sizeof text - strlen(text), "\r\n\r\n%s", TextIn(kUsageText, language)))
        AfxMessageBox(text, MB_OK | MB_ICONSTOP);
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
    RunLog log;
    const bool named = logSwitch[0] != '\0';
    const DWORD logError = LogPath(logSwitch, choices.printerName, path) ? log.Open(path, true) : ERROR_INVALID_NAME;
    LogStart(log, choices);
    // A log that was asked for and cannot be made ends the run before it
    // writes anything: an administrator would look for it in vain.
    if (named && logError) {
        const InstallOutcome noLog = MakeOutcome(InstallResult::LogNotMade, path, logError);
        LogOutcome(log, noLog);
        return ExitCodeOf(noLog.result);
    }
    if (refusal) {
        LogOutcome(log, *refusal);
        return ExitCodeOf(refusal->result);
    }
    // A switch it does not know may be one the administrator relies on.
    if (switches.unknown[0]) {
        const InstallOutcome unknown = MakeOutcome(InstallResult::UnknownSwitch, switches.unknown);
        LogOutcome(log, unknown);
        return ExitCodeOf(unknown.result);
    }
    // A port that cannot be used ends the run before anything is written.
    InstallOutcome portRefusal;
    if (!ChoosePort(switches, choices.port, portRefusal)) {
        LogOutcome(log, portRefusal);
        return ExitCodeOf(portRefusal.result);
    }
    choices.testReceipt = switches.testPrint;
    choices.installOverNewer = switches.force;
    // The default printer belongs to each user: SYSTEM's is nobody's, so
    // under SYSTEM, or with /ALLUSERS, every user gets it at their next logon.
    const bool system = RunsAsSystem();
    choices.defaultForEveryUser = !switches.noDefault && (system || switches.allUsers);
    choices.setDefaultPrinter = !switches.noDefault && !system;
    char network[kMaxHostName + 32] = {};
    if (IsNetworkPort(choices.port))
        AfxFormat(network, " (network: %s, TCP port %u)", choices.port.host, static_cast<unsigned>(choices.port.tcpPort));
    // The x64 set serves every version of 64-bit Windows, and the log says so.
    log.Line("install started: %slanguage choice %d (0 Chinese, 1 English, -1 none)%s, %s, on port %s%s%s",
             choices.machine == Machine::X64 ? "the 64-bit driver (x64 set), " : "", choices.languageIndex,
             system ? ", as the SYSTEM account" : "", DefaultPrinterWay(choices),
             choices.port.name, network, choices.testReceipt ? ", with a test receipt" : "");
    const InstallOutcome outcome = theApp.InstallDriver(choices);
    LogOutcome(log, outcome);
    return ExitCodeOf(outcome.result);
}
