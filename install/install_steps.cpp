#include "install_steps.h"
#include "../payload/payload_resource.h"
#include "../payload/test_receipt.h"
#include "../system/registry_key.h"
#include "../framework/system_files.h"
#include "../framework/winapp.h"

namespace {

const DWORD kWaitPauseMs = 100;
// How long a printer may take to show once its installer has ended.
const int kSettleAttempts = 10;

// The name a file that was there is kept under until the install is done.
bool BackupName(const char* name, char (&backup)[MAX_PATH]) { return AfxFormat(backup, "%s~", name); }

// The printer installer's rundll32 for the machine's driver set, by its
// full path. The 32-bit program on 64-bit Windows starts the 64-bit one
// through Sysnative: its own system folder is the 32-bit one, whose
// printer installer cannot install an x64 driver. A 64-bit build takes its
// own system folder's.
bool PrinterInstallerProgram(Machine machine, char (&program)[MAX_PATH]) {
    if (machine != Machine::X64 || MachineOf(OwnMachine()) == Machine::X64)
        return AfxSystemPath(program, "rundll32.exe");
    char windows[MAX_PATH];
    const UINT length = GetSystemWindowsDirectoryA(windows, sizeof windows);
    program[0] = '\0';
    return length > 0 && length < sizeof windows && AfxFormat(program, "%s\\Sysnative\\rundll32.exe", windows);
}

// Runs a command of the printer installer's rundll32, hidden, by its full
// path and in the system folder (which a 64-bit one sees as its own): a
// rundll32.exe beside this program, or a file in the staging folder, is
// never taken for it. Waits for its end with the windows painting: 0 when
// it ended, ERROR_TIMEOUT when it did not end within `milliseconds` of
// taking input (and then it is ended), else why it did not start.
DWORD RunSystemCommand(Machine machine, const char* commandLine, DWORD milliseconds) {
    char program[MAX_PATH], folder[MAX_PATH], line[MAX_PATH];
    if (!PrinterInstallerProgram(machine, program) || !AfxSystemPath(folder, "") || !AfxFormat(line, "%s", commandLine))
        return ERROR_FILENAME_EXCED_RANGE;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &process))
        return GetLastError();
    CloseHandle(process.hThread);
    // Its start is not its work: the wait runs from when it takes input,
    // at most 30 s after it was started.
    WaitForInputIdle(process.hProcess, 30000);
    const bool ended = AfxPumpMessagesUntil(process.hProcess, milliseconds);
    if (!ended) {
        // Half an install must not go on behind the undo.
        TerminateProcess(process.hProcess, ERROR_TIMEOUT);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hProcess);
    return ended ? 0 : ERROR_TIMEOUT;
}

bool DriverExists(const char* environment, const char* name) {
    return UsedDriverFiles(environment, "").Find(name) != nullptr;
}

bool DigestOf(HANDLE file, FileDigest& digest) {
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
        if (read == 0) return true;
        digest.Add(buffer, read);
    }
    return false;
}

}  // namespace

InstallSteps::InstallSteps(const InstallPlan& plan, int waitAttempts)
    : plan_(plan), waitAttempts_(waitAttempts), used_(plan.environment, plan.printer) {}

InstallSteps::~InstallSteps() { folders_.Release(); }

bool InstallSteps::Apply(const InstallStep& step, InstallOutcome& outcome) {
    // Recorded before it acts: a step that fails half-way is undone too.
    Done& done = done_[doneCount_++];
    done = Done();
    done.step = &step;
    switch (step.kind) {
    case StepKind::MakePort: return MakePort(done, outcome);
    case StepKind::HoldFolders: return HoldFolders(done, outcome);
    case StepKind::WriteFile: return WriteFile(done, outcome);
    case StepKind::RemoveFile: return RemoveFile(done);
    case StepKind::DeleteForm: form_.Delete(step.text); return true;
    case StepKind::RunInstaller: return RunInstaller(done, step.text, outcome);
    case StepKind::CheckPrinter: return CheckPrinter(outcome);
    case StepKind::SetValue: return SetValue(done, outcome);
    case StepKind::SetDefault: RunSystemCommand(plan_.machine, step.text, waitAttempts_ * kWaitPauseMs); return true;
    case StepKind::PrintReceipt: PrintReceipt(outcome); return true;
    }
    return true;
}

bool InstallSteps::MakePort(Done& done, InstallOutcome& outcome) {
    const PortChoice& port = plan_.port;
    const DWORD error = AddNetworkPort(port.name, port.host, port.tcpPort, done.portMade);
    portMade_ = done.portMade;
    if (error) outcome = MakeOutcome(InstallResult::PortNotMade, port.name, error);
    return error == 0;
}

void InstallSteps::PrintReceipt(InstallOutcome& outcome) const {
    // The install is done whatever the spooler says: the outcome tells it.
    ReceiptFacts facts = {plan_.printer, plan_.port.name, {}, plan_.language};
    GetLocalTime(&facts.printedAt);
    char receipt[kMaxReceiptSize];
    size_t size = 0;
    const char* failedCall = "";
    DWORD error = ERROR_INSUFFICIENT_BUFFER;
    if (BuildTestReceipt(facts, receipt, size))
        error = PrintRaw(plan_.printer, "Test receipt", receipt, static_cast<DWORD>(size), failedCall);
    NoteReceipt(outcome, plan_.port.name, failedCall, error);
}

bool InstallSteps::HoldFolders(Done& done, InstallOutcome& outcome) {
    for (size_t i = 0; i < plan_.placeCount; ++i) {
        const Place place = plan_.places[i];
        char folder[MAX_PATH];
        done.createdFolder[static_cast<int>(place)] = !IsDriverPlace(place) &&
                                                      PlaceFolder(place, plan_.driverFolder, folder) &&
                                                      GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES;
    }
    char refused[MAX_PATH];
    const FolderCheck check = folders_.Hold(plan_.places, plan_.placeCount, plan_.driverFolder, true, refused);
    if (check == FolderCheck::Link) outcome = MakeOutcome(InstallResult::FolderLinked, refused);
    if (check == FolderCheck::Permissions) outcome = MakeOutcome(InstallResult::FolderOpenToOthers, refused);
    return check != FolderCheck::Link && check != FolderCheck::Permissions;
}

bool InstallSteps::WroteBefore(const PlannedFile& file, const Done* before) const {
    for (const Done* done = done_; done < before; ++done)
        if (done->step->kind == StepKind::WriteFile && done->written && done->step->file.place == file.place &&
            SameName(done->step->file.name, file.name))
            return true;
    return false;
}

bool InstallSteps::PutAside(Done& done, DWORD& error) {
    const PlannedFile& file = done.step->file;
    const HeldFolder& folder = folders_.Of(file.place);
    char backup[MAX_PATH];
    error = 0;
    // Only a plain file can be an earlier install's: a link or a second
    // name of a file elsewhere is replaced when the file is written, and
    // nothing through it is kept or touched.
    if (!folder.HoldsPlain(file.name)) return true;
    if (!BackupName(file.name, backup)) error = ERROR_FILENAME_EXCED_RANGE;
    // A backup of that name is what a run that never ended left.
    if (!error) error = folder.Remove(backup);
    if (!error) error = folder.Rename(file.name, backup);
    done.putAside = error == 0;
    return done.putAside;
}

bool InstallSteps::FileFailure(const PlannedFile& file, DWORD error, InstallOutcome& outcome) const {
    char folder[MAX_PATH], path[MAX_PATH];
    if (!PlaceFolder(file.place, plan_.driverFolder, folder) || !AfxFormat(path, "%s\\%s", folder, file.name))
        path[0] = '\0';
    outcome = MakeOutcome(InstallResult::FileNotWritten, path, error);
    return false;
}

bool InstallSteps::WriteFile(Done& done, InstallOutcome& outcome) {
    const InstallStep& step = *done.step;
    // Nothing is done in a driver folder the spooler could not name.
    if (IsDriverPlace(step.file.place) && !plan_.driverFolder[0]) return true;
    DWORD error = 0;
    if (!WroteBefore(step.file, &done) && !PutAside(done, error)) return FileFailure(step.file, error, outcome);
    error = WritePayload(folders_.Of(step.file.place), step.file.name, step.id, step.rewrite, plan_.printer,
                         &done.digest);
    if (error == ERROR_RESOURCE_NAME_NOT_FOUND) return true;   // a file the program lacks is skipped
    done.written = error == 0;
    return done.written || FileFailure(step.file, error, outcome);
}

bool InstallSteps::RemoveFile(Done& done) {
    const PlannedFile& file = done.step->file;
    const HeldFolder& folder = folders_.Of(file.place);
    char path[MAX_PATH];
    if ((IsDriverPlace(file.place) && !plan_.driverFolder[0]) || !folder.PathOf(file.name, path)) return true;
    // A file another driver uses stays, and so does every one of them when
    // the drivers cannot be listed.
    if (IsDriverPlace(file.place) && (!used_.Known() || used_.Lists(path))) return true;
    // One that cannot be put aside (in use) stays, as it always has.
    DWORD error;
    PutAside(done, error);
    return true;
}

bool InstallSteps::RunInstaller(Done& done, const char* commandLine, InstallOutcome& outcome) {
    done.printerWas = FindPrinter(plan_.printer);
    done.driverWas = DriverExists(plan_.environment, plan_.printer);
    const DWORD error = RunSystemCommand(plan_.machine, commandLine, waitAttempts_ * kWaitPauseMs);
    if (error == 0) return true;
    outcome = MakeOutcome(error == ERROR_TIMEOUT ? InstallResult::InstallerTimedOut : InstallResult::PrinterNotCreated,
                          plan_.printer);
    return false;
}

bool InstallSteps::CheckPrinter(InstallOutcome& outcome) {
    char driver[MAX_PATH] = {};
    bool found = false;
    for (int attempt = 0; attempt < kSettleAttempts; ++attempt) {
        found = FindPrinter(plan_.printer, &driver) && SameName(driver, plan_.printer);
        if (found) break;
        AfxPumpMessagesFor(kWaitPauseMs);
    }
    if (found && DriverFilesAreTheOnesWritten()) return true;
    outcome = MakeOutcome(InstallResult::PrinterNotCreated, plan_.printer);
    return false;
}

bool InstallSteps::DriverFilesAreTheOnesWritten() const {
    UsedDriverFiles drivers(plan_.environment, "");
    const DRIVER_INFO_3A* driver = drivers.Find(plan_.printer);
    if (!driver || !driver->pDataFile) return false;
    bool same = true, dataFileWritten = false;
    ForEachFileOfDriver(*driver, [&](const char* path) {
        // Only a file of the name the install wrote into the driver folder
        // counts; any other is the system's (the core of a driver it brings).
        const char* name = AfxFindFileName(path);
        const Done* written = nullptr;
        for (const Done* done = done_; done < done_ + doneCount_; ++done)
            if (done->step->kind == StepKind::WriteFile && done->written &&
                done->step->file.place == Place::DriverFolder && SameName(done->step->file.name, name))
                written = done;
        if (!written) return;
        // It must lie in the driver folder or its folder 3 and hold what was written.
        bool holds = false;
        for (Place place : {Place::DriverFolder, Place::DriverVersion3}) {
            const HeldFolder& folder = folders_.Of(place);
            char expected[MAX_PATH];
            if (!folder.PathOf(name, expected) || !SameName(expected, path)) continue;
            DWORD error;
            HANDLE file = folder.OpenExisting(name, error);
            FileDigest digest;
            holds = file != INVALID_HANDLE_VALUE && DigestOf(file, digest) && digest == written->digest;
            if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        }
        same = same && holds;
        if (path == driver->pDataFile) dataFileWritten = holds;
    });
    return same && dataFileWritten;
}

bool InstallSteps::SetValue(Done& done, InstallOutcome& outcome) {
    const InstallStep& step = *done.step;
    // A port that was there before is not this install's: what an earlier
    // install recorded stays as it was.
    done.valueLeft = step.onlyIfPortMade && !portMade_;
    if (done.valueLeft) return true;
    const char* key = KeyOf(plan_, step);
    done.keyWas = RegistryKey::Exists(key);
    done.earlierSize = sizeof done.earlier;
    done.valueWas = RegistryKey::ReadData(key, step.value, done.earlierType, done.earlier, done.earlierSize);
    RegistryKey().CreateKey(key);
    const LONG error = step.isNumber ? RegistryKey::SetData(key, step.value, REG_DWORD, &step.number, sizeof step.number)
                                     : RegistryKey::SetText(key, step.value, step.text);
    if (error == ERROR_SUCCESS) return true;
    char subject[MAX_PATH];
    AfxFormat(subject, "HKEY_LOCAL_MACHINE\\%s", key);
    outcome = MakeOutcome(InstallResult::FileNotWritten, subject, static_cast<DWORD>(error));
    return false;
}

bool InstallSteps::Undo() {
    bool whole = true;
    while (doneCount_ > 0) whole = UndoOne(done_[--doneCount_]) && whole;
    return whole;
}

bool InstallSteps::UndoOne(Done& done) {
    const InstallStep& step = *done.step;
    const HeldFolder& folder = folders_.Of(step.file.place);
    char backup[MAX_PATH];
    bool whole = true;
    switch (step.kind) {
    case StepKind::MakePort:
        // The printer on it went before, with the undo of the printer installer.
        if (done.portMade) whole = DeleteNetworkPort(plan_.port.name) == 0;
        break;
    case StepKind::WriteFile:
    case StepKind::RemoveFile: {
        // What the install (or the printer installer) put there goes, and
        // what was there comes back.
        if (done.written || done.putAside) whole = folder.Remove(step.file.name) == 0;
        if (done.putAside) whole = BackupName(step.file.name, backup) && folder.Rename(backup, step.file.name) == 0 && whole;
        // A staged copy someone holds open changes nothing of what is
        // installed; it goes at the next restart.
        char path[MAX_PATH];
        if (!whole && !IsDriverPlace(step.file.place) && folder.PathOf(step.file.name, path)) {
            MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
            whole = true;
        }
        break;
    }
    case StepKind::DeleteForm:
        form_.Restore();
        break;
    case StepKind::RunInstaller:
        if (!done.printerWas && FindPrinter(plan_.printer)) whole = DeletePrinterNamed(plan_.printer) == 0;
        if (!done.driverWas && DriverExists(plan_.environment, plan_.printer))
            whole = DeleteDriverNamed(plan_.environment, plan_.printer) == 0 && whole;
        break;
    case StepKind::SetValue:
        if (done.valueLeft) break;
        if (done.valueWas)
            whole = RegistryKey::SetData(KeyOf(plan_, step), step.value, done.earlierType, done.earlier,
                                         done.earlierSize) == ERROR_SUCCESS;
        else
            RegistryKey::DeleteValue(KeyOf(plan_, step), step.value);
        if (!done.keyWas) RegistryKey::DeleteKey(KeyOf(plan_, step));
        break;
    case StepKind::HoldFolders:
        folders_.Release();
        // Those in the staging folder before it.
        for (size_t i = plan_.placeCount; i-- > 0;) {
            const Place place = plan_.places[i];
            char path[MAX_PATH];
            if (done.createdFolder[static_cast<int>(place)] && PlaceFolder(place, plan_.driverFolder, path))
                RemoveDirectoryA(path);
        }
        break;
    case StepKind::CheckPrinter:
    case StepKind::SetDefault:
    case StepKind::PrintReceipt:
        break;
    }
    return whole;
}

void InstallSteps::Commit() {
    for (size_t i = 0; i < doneCount_; ++i) {
        const Done& done = done_[i];
        char backup[MAX_PATH], path[MAX_PATH];
        const HeldFolder& folder = folders_.Of(done.step->file.place);
        if (!done.putAside || !BackupName(done.step->file.name, backup) || folder.Remove(backup) == 0) continue;
        // A driver file still loaded somewhere goes at the next restart; the
        // driver folders are the administrators' alone.
        if (IsDriverPlace(done.step->file.place) && folder.PathOf(backup, path))
            MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    doneCount_ = 0;
}
