#include "install_runner.h"
#include "install_steps.h"
#include "printer_name_check.h"
#include "../app_core/start_checks.h"
#include "../payload/install_plan.h"
#include "../payload/test_receipt.h"
#include "../system/registry_key.h"
#include "../system/spooler.h"

namespace {

// A driver of the printer's name that no install of this setup registered
// (it has no uninstall entry of ours) is someone else's.
bool NamesAnotherDriver(const InstallPlan& plan) {
    return UsedDriverFiles(plan.environment, "").Find(plan.printer) && !RegistryKey::Exists(plan.uninstallKey);
}

}  // namespace

bool NewerVersionInstalled(const char* printerName, char (&version)[MAX_PATH]) {
    char key[MAX_PATH];
    int order = 0;
    return UninstallKeyFor(printerName, key) && RegistryKey::ReadText(key, "DisplayVersion", version) &&
           CompareVersions(version, kDriverVersion, order) && order > 0;
}

InstallOutcome RunInstall(const InstallChoices& choices, int waitAttempts) {
    // The name forms file names, a registry key, driver and INF lines, and
    // must not take over a driver that another setup installed.
    char driverFolder[MAX_PATH];
    GetDriverDirectory(DriverEnvironmentOf(choices.machine), driverFolder);
    InstallPlan plan;
    if (!IsPrinterNameUsable(choices.printerName) || !BuildInstallPlan(choices, driverFolder, plan) ||
        NamesAnotherDriver(plan))
        return MakeOutcome(InstallResult::NameRefused, choices.printerName);
    char installed[MAX_PATH];
    if (!choices.installOverNewer && NewerVersionInstalled(choices.printerName, installed))
        return MakeOutcome(InstallResult::NewerInstalled, installed);
    // Whether there is an install to come back to, should this one fail.
    const bool earlierInstall =
        RegistryKey::Exists(plan.uninstallKey) || UsedDriverFiles(plan.environment, "").Find(plan.printer);

    InstallSteps steps(plan, waitAttempts);
    InstallOutcome outcome = MakeOutcome(InstallResult::Installed, plan.printer);
    for (size_t i = 0; i < plan.stepCount; ++i) {
        if (steps.Apply(plan.steps[i], outcome)) continue;
        const bool whole = steps.Undo();
        // A refused port or folders: nothing was done yet.
        if (plan.steps[i].kind != StepKind::MakePort && plan.steps[i].kind != StepKind::HoldFolders)
            outcome.rollback = !whole ? Rollback::Incomplete : earlierInstall ? Rollback::EarlierKept : Rollback::NothingLeft;
        return outcome;
    }
    steps.Commit();
    return outcome;
}
