// The driver install from end to end: it applies the install plan (cleanup,
// staging, extraction, copies into the driver folder) and hands over to the
// printer registration. No step's result stops the sequence, except a
// staging folder that turns out to lead elsewhere and a failed write of
// payload bytes, which stops it with the framework's file exception pending
// for the caller's message handling to report.
#include "install_driver.h"
#include "messages.h"
#include "printer_name_check.h"
#include "register_printer.h"
#include "spooler.h"
#include "staging.h"
#include "../app/app_state.h"
#include "../app/setup_app.h"
#include "../framework/file_exception.h"
#include "../payload/install_plan.h"
#include <initializer_list>

namespace {

// Anyone may create C:\TEMP and its folders before the install runs. One
// that is a junction or symbolic link would send the install's writes and
// deletions elsewhere: the install says so and stops, touching nothing.
bool IsSafeStagingFolder(const char* folder, LANGID systemLanguage) {
    if (!LeadsElsewhere(folder)) return true;
    char text[1024];
    if (AfxFormat(text, ChooseText(kStagingLinkedText, g_LanguageIndex, systemLanguage), folder))
        AfxMessageBox(text, MB_OK | MB_ICONSTOP);
    return false;
}

bool StagingFoldersAreSafe(LANGID systemLanguage) {
    for (Place place : {Place::Staging, Place::StagingI386, Place::StagingX86}) {
        char folder[MAX_PATH];
        if (PlannedPath({place, {}, false}, "", folder) && !IsSafeStagingFolder(folder, systemLanguage)) return false;
    }
    return true;
}

}  // namespace

void CopyToDriverDirectory(const char* fileName, BOOL failIfExists) {
    char folder[MAX_PATH], source[MAX_PATH], destination[MAX_PATH];
    if (AfxFormat(source, "%s\\%s", kStagingFolder, fileName) && GetDriverDirectory(folder) &&
        AfxFormat(destination, "%s\\%s", folder, fileName))
        CopyFileA(source, destination, failIfExists);
}

bool ApplyInstallSteps(SetupWizardApp& app, const InstallPlan& plan, LANGID systemLanguage) {
    // Without a driver folder its steps are skipped. A file there that a
    // driver other than the one being replaced uses stays.
    char driverFolder[MAX_PATH];
    GetDriverDirectory(driverFolder);
    UsedDriverFiles used(plan.model);
    for (size_t i = 0; i < plan.stepCount; ++i) {
        const InstallStep& step = plan.steps[i];
        char path[MAX_PATH];
        if (!PlannedPath(step.file, driverFolder, path)) continue;
        switch (step.kind) {
        case StepKind::CreateFolder:
            CreateDirectoryA(path, nullptr);
            // A folder made a link meanwhile stops the install before
            // anything is written into it.
            if (!IsSafeStagingFolder(path, systemLanguage)) return false;
            break;
        case StepKind::Delete:
            if (step.file.place == Place::DriverFolder || step.file.place == Place::DriverVersion3)
                DeleteUnusedDriverFile(path, used);
            else
                DeleteFileA(path);
            break;
        case StepKind::Write:
            app.ExtractPayload(step.id, path, step.rewrite);
            if (CFileException::IsPending()) return false;
            break;
        case StepKind::Copy: CopyToDriverDirectory(step.file.name, FALSE); break;
        }
    }
    return true;
}

void SetupWizardApp::InstallDriver() {
    LANGID systemLanguage = GetSystemDefaultLangID();

    // The name forms file names, a registry key, driver and INF lines: a
    // name that cannot is refused before anything is touched.
    char driverFolder[MAX_PATH];
    GetDriverDirectory(driverFolder);
    InstallPlan plan;
    if (!IsPrinterNameUsable(g_PrinterName) ||
        !BuildInstallPlan(g_OSVersion, systemLanguage, g_LanguageIndex, g_PrinterName, plan) ||
        !PlanFits(plan, driverFolder)) {
        AfxMessageBox(ChooseText(kPrinterNameRefusedText, g_LanguageIndex, systemLanguage), MB_OK | MB_ICONSTOP);
        return;
    }
    if (!StagingFoldersAreSafe(systemLanguage)) return;

    Delete();
    if (!ApplyInstallSteps(*this, plan, systemLanguage)) return;
    RegisterPrinter(plan, systemLanguage);
}
