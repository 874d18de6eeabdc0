#include "install_runner.h"
#include "printer_name_check.h"
#include "register_printer.h"
#include "../system/registry_key.h"
#include "earlier_install.h"
#include "../payload/install_plan.h"
#include "../payload/payload_resource.h"

namespace {

// Everything an install needs before its first step: the plan, built once
// with the driver folder asked for once, the installed drivers, read once,
// and the install's folders, held until the install ends.
class PreparedInstall {
public:
    explicit PreparedInstall(const InstallChoices& choices) : choices_(choices), used_(choices.printerName) {}

    bool Prepare(InstallOutcome& outcome) {
        char driverFolder[MAX_PATH];
        GetDriverDirectory(driverFolder);
        // The name forms file names, a registry key, driver and INF lines,
        // and must not take over a driver that another setup installed.
        if (!IsPrinterNameUsable(choices_.printerName) ||
            !BuildInstallPlan(choices_.osCode, choices_.systemLanguage, choices_.languageIndex, choices_.printerName,
                              driverFolder, plan_) ||
            NamesAnotherDriver()) {
            outcome.result = InstallResult::NameRefused;
            return false;
        }
        FolderCheck check = folders_.Hold(plan_.driverFolder, true, outcome.folder);
        if (check == FolderCheck::Link || check == FolderCheck::Permissions) {
            outcome.result = InstallResult::FolderRefused;
            outcome.refusal = check == FolderCheck::Link ? FolderRefusal::Link : FolderRefusal::Permissions;
            return false;
        }
        return true;
    }

    const InstallPlan& Plan() const { return plan_; }
    const InstallFolders& Folders() const { return folders_; }
    const UsedDriverFiles& Used() const { return used_; }

private:
    // A driver of the printer's name that no install of this setup
    // registered (it has no uninstall entry of ours) is someone else's.
    bool NamesAnotherDriver() const {
        return used_.Find(plan_.printer) && !RegistryKey::Exists(plan_.uninstallKey);
    }

    const InstallChoices& choices_;
    InstallPlan plan_;
    InstallFolders folders_;
    UsedDriverFiles used_;
};

// Applies the plan's steps in order. False, with the file and why in the
// outcome, when a file could not be written: nothing after it is done.
bool ApplySteps(const PreparedInstall& install, InstallOutcome& outcome) {
    const InstallPlan& plan = install.Plan();
    for (size_t i = 0; i < plan.stepCount; ++i) {
        const InstallStep& step = plan.steps[i];
        if (step.kind == StepKind::Delete) {
            RemovePlannedFile(install.Folders(), step.file, install.Used());
            continue;
        }
        // Nothing is done in a driver folder the spooler could not name.
        if (IsDriverPlace(step.file.place) && !plan.driverFolder[0]) continue;
        const HeldFolder& folder = install.Folders().Of(step.file.place);
        DWORD error = WritePayload(folder, step.file.name, step.id, step.rewrite, plan.printer);
        if (error == 0 || error == ERROR_RESOURCE_NAME_NOT_FOUND) continue;   // a file the program lacks is skipped
        char folderPath[MAX_PATH], path[MAX_PATH];
        if (!PlaceFolder(step.file.place, plan.driverFolder, folderPath))
            folderPath[0] = '\0';
        AfxFormat(path, "%s\\%s", folderPath, step.file.name);
        outcome.result = InstallResult::FileNotWritten;
        outcome.fileError = CFileException(CFileException::OsErrorToCause(error), static_cast<LONG>(error), path);
        return false;
    }
    return true;
}

}  // namespace

InstallOutcome RunInstall(const InstallChoices& choices, int waitAttempts) {
    InstallOutcome outcome;
    PreparedInstall install(choices);
    if (!install.Prepare(outcome)) return outcome;
    CleanUpBeforeInstall(install.Plan(), install.Folders(), install.Used());
    if (!ApplySteps(install, outcome)) return outcome;
    outcome.result = RegisterPrinter(install.Plan(), choices.setDefaultPrinter, waitAttempts) == PrinterWaitOutcome::Found
                         ? InstallResult::Installed
                         : InstallResult::PrinterNotCreated;
    return outcome;
}

void CleanUpEarlierInstall(const InstallChoices& choices) {
    InstallOutcome outcome;
    PreparedInstall install(choices);
    if (install.Prepare(outcome)) CleanUpBeforeInstall(install.Plan(), install.Folders(), install.Used());
}
