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

// The first rule the name breaks that the name itself and its plan with
// this driver folder ("" for none) tell; when none, `plan` is its install's.
NameRule RuleOf(const InstallChoices& choices, const char* driverFolder, InstallPlan& plan) {
    const NameRule own = CheckPrinterName(choices.printerName);
    if (own != NameRule::Usable) return own;
    if (!BuildInstallPlan(choices, driverFolder, plan))
        return ModelFileTakesASharedName(plan) ? NameRule::SharedFileName : NameRule::TooLong;
    return NameRule::Usable;
}

InstallResult RefusalOf(NameRule rule) {
    using R = InstallResult;
    switch (rule) {
    case NameRule::Usable: break;
    case NameRule::Empty: return R::NameEmpty;
    case NameRule::NotInCodePage: return R::NameNotInCodePage;
    case NameRule::BlankAtEnd: return R::NameBlankAtEnd;
    case NameRule::Forbidden: return R::NameForbidden;
    case NameRule::DeviceName: return R::NameDeviceName;
    case NameRule::TooLong: return R::NameTooLong;
    case NameRule::SharedFileName: return R::NameSharedFile;
    case NameRule::AnotherDriver: return R::NameOfAnotherDriver;
    }
    return R::Installed;
}

}  // namespace

bool NewerVersionInstalled(const char* printerName, char (&version)[MAX_PATH]) {
    char key[MAX_PATH];
    int order = 0;
    return UninstallKeyFor(printerName, key) && RegistryKey::ReadText(key, "DisplayVersion", version) &&
           CompareVersions(version, kDriverVersion, order) && order > 0;
}

bool IsNameRefused(const InstallChoices& choices, InstallOutcome& refusal) {
    // Without the spooler, which start-up does not load before the first
    // page: the driver folder's paths and the drivers are the install's.
    InstallPlan plan;
    const NameRule rule = RuleOf(choices, "", plan);
    if (rule == NameRule::Usable) return false;
    refusal = MakeOutcome(RefusalOf(rule), choices.printerName);
    return true;
}

InstallOutcome RunInstall(const InstallChoices& choices, int waitAttempts) {
    // Checked at start-up already, and again with the driver folder, the
    // spooler's drivers and the chosen port. The name forms file names, a
    // registry key, driver and INF lines, and must not take over a driver
    // that another setup installed.
    char driverFolder[MAX_PATH];
    GetDriverDirectory(DriverEnvironmentOf(choices.machine), driverFolder);
    InstallPlan plan;
    NameRule rule = RuleOf(choices, driverFolder, plan);
    if (rule == NameRule::Usable && NamesAnotherDriver(plan)) rule = NameRule::AnotherDriver;
    if (rule != NameRule::Usable) return MakeOutcome(RefusalOf(rule), choices.printerName);
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
