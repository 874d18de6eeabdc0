#include "install_plan.h"
#include "payload_resource.h"
#include "../app_core/os_version.h"
#include "../app_core/text_language.h"
#include "../framework/afx.h"
#include <cstring>
#include <initializer_list>

const char kStagingFolder[] = "C:\\TEMP";
const char kScratchFileName[] = "temp.txt";
const char kMadePortValue[] = "SetupMadePort";

namespace {

using R = PayloadRole;
using V = PayloadVariant;

// The payload set of an operating system: XP and 2000 have their own.
PayloadSet SetFor(int osCode) {
    if (osCode == OS_WINXP) return PayloadSet::XP;
    if (osCode == OS_WIN2000) return PayloadSet::Win2000;
    return PayloadSet::General;
}

// The model files, which the platform keeps in the driver's folder 3 too:
// an earlier run's go from there before the printer installer runs.
const R kVersion3Roles[] = {R::ModelGpd, R::PluginIni, R::RenderPlugin, R::UiPlugin, R::ResourceDll};

// The writes, in order; three places: the staging folder, its I386 and x86.
struct WriteRole {
    R role;
    int places;
    unsigned char rewrite;
};
const WriteRole kWriteRoles[] = {
    {R::StandardNames, 1, kWriteUnchanged}, {R::ModelGpd, 1, kRewriteModelLines}, {R::PluginIni, 1, kRewriteModelLines},
    {R::RenderPlugin, 3, kWriteUnchanged},  {R::FontMetrics, 1, kWriteUnchanged},  {R::UnidrvDll, 1, kWriteUnchanged},
    {R::UnidrvHelp, 1, kWriteUnchanged},    {R::UnidrvUi, 1, kWriteUnchanged},     {R::UnidrvResources, 1, kWriteUnchanged},
    {R::UiPlugin, 3, kWriteUnchanged},      {R::ResourceDll, 3, kWriteUnchanged},
};
const Place kStagingPlaces[] = {Place::Staging, Place::StagingI386, Place::StagingX86};

// The copies into the driver folder, in order; the three model DLLs last,
// under their set's letter case.
const R kCopiedRoles[] = {R::UnidrvDll, R::ModelGpd,    R::UnidrvUi, R::UnidrvHelp,
                          R::UnidrvResources, R::StandardNames, R::FontMetrics, R::PluginIni};
struct CopyCase {
    PayloadSet set;
    const char* formats[3];   // resource DLL, rendering plug-in, user-interface plug-in
};
const R kModelDllRoles[3] = {R::ResourceDll, R::RenderPlugin, R::UiPlugin};
const CopyCase kModelDllCopies[] = {
    {PayloadSet::XP, {"%sRES.DLL", "%sD.dll", "%sF.dll"}},
    {PayloadSet::Win2000, {"%sRES.DLL", "%sD.DLL", "%sF.DLL"}},
    {PayloadSet::General, {"%sRES.dll", "%sD.dll", "%sF.dll"}},
};

// What the printer installer is started with. It reads the INF the install
// wrote, the port, the new printer's name and the model the INF names; the
// install command's last blank is part of it.
const char kInstallCommand[] = "rundll32.exe printui.dll,PrintUIEntry /if /f %s /r \"%s\" /b \"%s\" /m \"%s\" ";
const char kDefaultCommand[] = "rundll32 printui.dll,PrintUIEntry /y /n \"%s\"";

// A path on a command line or in the uninstall entry: quoted when it holds
// a blank, which would otherwise end it (C:\TEMP\POS 80.INF would be read
// as C:\TEMP\POS, a file anyone may put there).
bool QuotedIfBlank(char (&text)[MAX_PATH], const char* path) {
    return AfxFormat(text, strchr(path, ' ') ? "\"%s\"" : "%s", path);
}

// The uninstall entry's values, in the order they are written.
const char* const kEntryValues[] = {"DisplayName", "UninstallString", "DisplayIcon", "Publisher"};
const char kPaperForm[] = "papersize(80x3275mm)";

class PlanBuilder {
public:
    PlanBuilder(const InstallChoices& choices, InstallPlan& plan)
        : plan_(plan), choices_(choices), printer_(choices.printerName), set_(SetFor(choices.osCode)) {
        core_ = IsChineseLanguage(choices.systemLanguage) ? V::ChineseCore : V::OtherCore;
        switch (LanguageOf(choices)) {
        case TextLanguage::Simplified: plugins_ = V::Simplified; break;
        case TextLanguage::Traditional: plugins_ = V::Traditional; break;
        default: plugins_ = V::English;
        }
    }

    bool Build(const char* driverFolder) {
        plan_.stepCount = 0;
        ok_ = AfxFormat(plan_.printer, "%s", printer_) && AfxFormat(plan_.driverFolder, "%s", driverFolder) &&
              UninstallKeyFor(printer_, plan_.uninstallKey) && IsUsablePortName(choices_.port.name);
        plan_.port = choices_.port;
        plan_.language = LanguageOf(choices_);
        const char* port = plan_.port.name;
        // A network port comes first: one the monitor refuses ends the
        // install before anything is written.
        if (IsNetworkPort(plan_.port)) Text(StepKind::MakePort, "%s", port);
        Add(StepKind::HoldFolders);
        // Everything new is written first; the driver folder's copies are
        // written from the program's own bytes, never read back from the
        // staging folder, which others may change.
        const CatalogueEntry* uninstaller = Entry(R::Uninstaller);
        const CatalogueEntry* inf = Entry(R::Inf);
        Write(uninstaller, uninstaller->fileName, Place::Staging, kWriteUnchanged);
        Write(inf, inf->fileName, Place::Staging, kReplaceModelName);
        Write(uninstaller, uninstaller->fileName, Place::DriverFolder, kWriteUnchanged);
        for (const WriteRole& write : kWriteRoles)
            for (int place = 0; place < write.places; ++place) {
                const CatalogueEntry* entry = Entry(write.role);
                // The rewrite's scratch copy stays in the staging folder as
                // it always has; the rewrite itself is made in memory.
                if (write.rewrite == kRewriteModelLines) Write(entry, kScratchFileName, Place::Staging, kWriteUnchanged);
                Write(entry, entry->fileName, kStagingPlaces[place], write.rewrite);
            }
        for (R role : kCopiedRoles) Write(Entry(role), Entry(role)->fileName, Place::DriverFolder, RewriteOf(role));
        for (const CopyCase& copies : kModelDllCopies)
            if (copies.set == set_)
                for (int i = 0; i < 3; ++i) Write(Entry(kModelDllRoles[i]), copies.formats[i], Place::DriverFolder, 0);
        // An earlier run's model files in folder 3, where the printer
        // installer puts the new ones.
        for (R role : kVersion3Roles) NameFile(Add(StepKind::RemoveFile), Entry(role)->fileName, Place::DriverVersion3);

        char infPath[MAX_PATH], path[MAX_PATH];
        PlannedFile file;
        ok_ = ok_ && Name(inf->fileName, Place::Staging, file) && Path(file, infPath) && QuotedIfBlank(path, infPath);
        Text(StepKind::DeleteForm, "%s", kPaperForm);
        Text(StepKind::RunInstaller, kInstallCommand, path, port, printer_, printer_);
        Text(StepKind::CheckPrinter, "%s", printer_);
        // Without a driver folder there is no uninstaller to point at.
        char command[MAX_PATH] = {};
        if (ok_ && driverFolder[0])
            ok_ = Name(uninstaller->fileName, Place::DriverFolder, file) && Path(file, path) &&
                  QuotedIfBlank(command, path);
        Value(kEntryValues[0], "%s printer driver uninstall", printer_);
        if (command[0]) {
            Value(kEntryValues[1], "%s", command);
            Value(kEntryValues[2], "%s,-0", path);
        }
        Value(kEntryValues[3], "%s printer", printer_);
        if (IsNetworkPort(plan_.port)) {
            Value(kMadePortValue, "%s", port);
            if (ok_) plan_.steps[plan_.stepCount - 1].onlyIfPortMade = true;
        }
        if (choices_.setDefaultPrinter) Text(StepKind::SetDefault, kDefaultCommand, printer_);
        // Last: the receipt shows the finished install, and cannot fail it.
        if (choices_.testReceipt) Text(StepKind::PrintReceipt, "%s", port);
        for (size_t i = 0; ok_ && i < plan_.stepCount; ++i) ok_ = Fits(plan_.steps[i]);
        return ok_ && !ModelFileTakesASharedName();
    }

private:
    // UNI would name the model's resource DLL UNIRES.DLL and STDNAMES its
    // GPD STDNAMES.GPD: one file would overwrite the other.
    bool ModelFileTakesASharedName() const {
        for (size_t i = 0; i < plan_.stepCount; ++i)
            for (size_t j = 0; j < plan_.stepCount; ++j) {
                const PlannedFile& own = plan_.steps[i].file;
                const PlannedFile& shared = plan_.steps[j].file;
                if (IsFileStep(plan_.steps[i]) && IsFileStep(plan_.steps[j]) && !own.shared && shared.shared &&
                    own.place == shared.place && SameName(own.name, shared.name))
                    return true;
            }
        return false;
    }

    // The catalogue entry of a role for this set and its variants; every
    // role has one in every set.
    const CatalogueEntry* Entry(R role) const {
        V variant = role == R::UnidrvDll || role == R::UnidrvHelp || role == R::UnidrvUi || role == R::UnidrvResources
                        ? core_
                    : role == R::UiPlugin || role == R::ResourceDll ? plugins_
                                                                    : V::None;
        return FindCatalogueEntry(role, set_, variant);
    }
    static unsigned char RewriteOf(R role) {
        return role == R::ModelGpd || role == R::PluginIni ? kRewriteModelLines : kWriteUnchanged;
    }
    bool Name(const char* format, Place place, PlannedFile& file) const {
        file.place = place;
        file.shared = strstr(format, "%s") == nullptr;
        return AfxFormat(file.name, format, printer_);
    }
    bool Path(const PlannedFile& file, char (&path)[MAX_PATH]) const {
        char folder[MAX_PATH];
        return PlaceFolder(file.place, plan_.driverFolder, folder) && AfxFormat(path, "%s\\%s", folder, file.name);
    }
    // A file of the driver folders fits when there is none: nothing is done there.
    bool Fits(const InstallStep& step) const {
        char path[MAX_PATH];
        return !IsFileStep(step) || (IsDriverPlace(step.file.place) && !plan_.driverFolder[0]) || Path(step.file, path);
    }
    InstallStep* Add(StepKind kind) {
        if (plan_.stepCount == kMaxInstallSteps) {
            ok_ = false;
            return nullptr;
        }
        InstallStep& step = plan_.steps[plan_.stepCount++];
        step = InstallStep();
        step.kind = kind;
        return &step;
    }
    void NameFile(InstallStep* step, const char* format, Place place) {
        ok_ = ok_ && step && Name(format, place, step->file);
    }
    void Write(const CatalogueEntry* entry, const char* format, Place place, unsigned char rewrite) {
        InstallStep* step = Add(StepKind::WriteFile);
        NameFile(step, format, place);
        if (!step) return;
        step->id = entry->id;
        step->rewrite = rewrite;
    }
    template <typename... Args>
    InstallStep* Text(StepKind kind, const char* format, Args... args) {
        InstallStep* step = Add(kind);
        ok_ = ok_ && step && AfxFormat(step->text, format, args...);
        return step;
    }
    template <typename... Args>
    void Value(const char* name, const char* format, Args... args) {
        if (InstallStep* step = Text(StepKind::SetValue, format, args...)) step->value = name;
    }

    InstallPlan& plan_;
    const InstallChoices& choices_;
    const char* printer_;
    PayloadSet set_;
    V core_ = V::OtherCore;
    V plugins_ = V::English;
    bool ok_ = true;
};

}  // namespace

bool IsFileStep(const InstallStep& step) {
    return step.kind == StepKind::WriteFile || step.kind == StepKind::RemoveFile;
}

bool BuildInstallPlan(const InstallChoices& choices, const char* driverFolder, InstallPlan& plan) {
    return PlanBuilder(choices, plan).Build(driverFolder);
}

bool PlaceFolder(Place place, const char* driverFolder, char (&folder)[MAX_PATH]) {
    switch (place) {
    case Place::Staging: return AfxFormat(folder, "%s", kStagingFolder);
    case Place::StagingI386: return AfxFormat(folder, "%s\\I386", kStagingFolder);
    case Place::StagingX86: return AfxFormat(folder, "%s\\x86", kStagingFolder);
    case Place::DriverFolder: return driverFolder[0] && AfxFormat(folder, "%s", driverFolder);
    case Place::DriverVersion3: return driverFolder[0] && AfxFormat(folder, "%s\\3", driverFolder);
    }
    return false;
}

bool UninstallKeyFor(const char* printerName, char (&key)[MAX_PATH]) {
    return AfxFormat(key, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s printer", printerName);
}

size_t FilesOfAnyInstall(const char* printerName, PlannedFile (&files)[kMaxInstalledFiles]) {
    size_t count = 0;
    auto add = [&](const PlannedFile& file) {
        for (size_t i = 0; i < count; ++i)
            if (files[i].place == file.place && SameName(files[i].name, file.name)) return;
        if (count < kMaxInstalledFiles) files[count++] = file;
    };
    InstallPlan plan;
    for (int osCode : {OS_WINXP, OS_WIN2000, OS_WIN7}) {
        InstallChoices choices = {};
        choices.osCode = osCode;
        choices.systemLanguage = 0x0409;
        choices.languageIndex = 1;
        ListedPortChoice(kDefaultPortName, choices.port);
        if (!AfxFormat(choices.printerName, "%s", printerName) || !BuildInstallPlan(choices, "", plan)) continue;
        for (size_t i = 0; i < plan.stepCount; ++i)
            if (IsFileStep(plan.steps[i])) add(plan.steps[i].file);
    }
    PlannedFile scratch = {Place::Staging, {}, true};
    lstrcpynA(scratch.name, kScratchFileName, sizeof scratch.name);
    add(scratch);
    return count;
}
