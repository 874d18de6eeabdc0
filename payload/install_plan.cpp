#include "install_plan.h"
#include "payload_resource.h"
#include "../app_core/os_version.h"
#include "../app_core/text_language.h"
#include "../framework/afx.h"
#include "../system/spooler.h"
#include <cstring>
#include <initializer_list>

const char kStagingFolder[] = "C:\\TEMP";
const char kScratchFileName[] = "temp.txt";

namespace {

using R = PayloadRole;
using V = PayloadVariant;

// The payload set of a machine and operating system: 64-bit Windows has
// the x64 set whatever its version; of the 32-bit ones XP and 2000 have
// their own.
PayloadSet SetFor(Machine machine, int osCode) {
    if (machine == Machine::X64) return PayloadSet::X64;
    if (osCode == OS_WINXP) return PayloadSet::XP;
    if (osCode == OS_WIN2000) return PayloadSet::Win2000;
    return PayloadSet::General;
}

// The model files, which the platform keeps in the driver's folder 3 too:
// an earlier run's go from there before the printer installer runs.
const R kVersion3Roles[] = {R::ModelGpd, R::PluginIni, R::RenderPlugin, R::UiPlugin, R::ResourceDll};

// The writes into the staging folders, in order, of the roles the set has;
// the model DLLs go to the machine's DLL places, the others to the staging
// folder.
struct WriteRole {
    R role;
    bool modelDll;
    unsigned char rewrite;
};
const WriteRole kWriteRoles[] = {
    {R::StandardNames, false, kWriteUnchanged}, {R::ModelGpd, false, kRewriteModelLines},
    {R::PluginIni, false, kRewriteModelLines},  {R::RenderPlugin, true, kWriteUnchanged},
    {R::FontMetrics, false, kWriteUnchanged},   {R::UnidrvDll, false, kWriteUnchanged},
    {R::UnidrvHelp, false, kWriteUnchanged},    {R::UnidrvUi, false, kWriteUnchanged},
    {R::UnidrvResources, false, kWriteUnchanged}, {R::UiPlugin, true, kWriteUnchanged},
    {R::ResourceDll, true, kWriteUnchanged},    {R::Catalog, false, kWriteUnchanged},
};
// Where the model DLLs are staged: on x86 in three places, the staging
// folder, its I386 and x86 (the INF reads the plug-ins from x86, the
// resource DLL from the staging folder); on x64 in amd64 alone, where its
// INF reads all three.
struct MachinePlaces {
    Machine machine;
    Place places[kPlaceCount];   // taken in this order
    size_t count;
    Place modelDllPlaces[3];
    size_t modelDllCount;
};
const MachinePlaces kMachinePlaces[] = {
    {Machine::X86,
     {Place::Staging, Place::StagingI386, Place::StagingX86, Place::DriverFolder, Place::DriverVersion3},
     5,
     {Place::Staging, Place::StagingI386, Place::StagingX86},
     3},
    {Machine::X64, {Place::Staging, Place::StagingAmd64, Place::DriverFolder, Place::DriverVersion3}, 4,
     {Place::StagingAmd64}, 1},
};
// Any other machine has no set; the x86 folders stand for it.
const MachinePlaces& PlacesFor(Machine machine) {
    return machine == Machine::X64 ? kMachinePlaces[1] : kMachinePlaces[0];
}

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
    {PayloadSet::X64, {"%sRES.dll", "%sD.dll", "%sF.dll"}},
};

// What the printer installer is started with. It reads the INF the install
// wrote, the port, the new printer's name and the model the INF names; the
// install command's last blank is part of it.
const char kInstallCommand[] = "rundll32.exe printui.dll,PrintUIEntry /if /f %s /r \"%s\" /b \"%s\" /m \"%s\" ";
const char kDefaultCommand[] = "rundll32 printui.dll,PrintUIEntry /y /n \"%s\"";
const char kPrinterPort[] = "LPT1:";

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
        : plan_(plan), choices_(choices), printer_(choices.printerName), set_(SetFor(choices.machine, choices.osCode)),
          places_(PlacesFor(choices.machine)) {
        core_ = IsChineseLanguage(choices.systemLanguage) ? V::ChineseCore : V::OtherCore;
        switch (LanguageOf(choices)) {
        case TextLanguage::Simplified: plugins_ = V::Simplified; break;
        case TextLanguage::Traditional: plugins_ = V::Traditional; break;
        default: plugins_ = V::English;
        }
    }

    bool Build(const char* driverFolder) {
        plan_.stepCount = 0;
        plan_.machine = choices_.machine;
        plan_.environment = DriverEnvironmentOf(choices_.machine);
        plan_.placeCount = PlacesOf(choices_.machine, plan_.places);
        ok_ = AfxFormat(plan_.printer, "%s", printer_) && AfxFormat(plan_.driverFolder, "%s", driverFolder) &&
              UninstallKeyFor(printer_, plan_.uninstallKey);
        Add(StepKind::HoldFolders);
        // Everything new is written first; the driver folder's copies are
        // written from the program's own bytes, never read back from the
        // staging folder, which others may change.
        const CatalogueEntry* uninstaller = Entry(R::Uninstaller);
        const CatalogueEntry* inf = Entry(R::Inf);
        Write(uninstaller, uninstaller->fileName, Place::Staging, kWriteUnchanged);
        Write(inf, inf->fileName, Place::Staging, kReplaceModelName);
        Write(uninstaller, uninstaller->fileName, Place::DriverFolder, kWriteUnchanged);
        for (const WriteRole& write : kWriteRoles) {
            const CatalogueEntry* entry = Entry(write.role);
            const size_t count = write.modelDll ? places_.modelDllCount : 1;
            for (size_t place = 0; entry && place < count; ++place) {
                // The rewrite's scratch copy stays in the staging folder as
                // it always has; the rewrite itself is made in memory.
                if (write.rewrite == kRewriteModelLines) Write(entry, kScratchFileName, Place::Staging, kWriteUnchanged);
                Write(entry, entry->fileName, write.modelDll ? places_.modelDllPlaces[place] : Place::Staging,
                      write.rewrite);
            }
        }
        for (R role : kCopiedRoles)
            if (const CatalogueEntry* entry = Entry(role)) Write(entry, entry->fileName, Place::DriverFolder, RewriteOf(role));
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
        Text(StepKind::RunInstaller, kInstallCommand, path, kPrinterPort, printer_, printer_);
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
        if (choices_.setDefaultPrinter) Text(StepKind::SetDefault, kDefaultCommand, printer_);
        for (size_t i = 0; ok_ && i < plan_.stepCount; ++i) ok_ = Fits(plan_.steps[i]);
        return ok_ && !ModelFileTakesASharedName();
    }

private:
    // UNI would name the model's resource DLL UNIRES.DLL and STDNAMES its
    // GPD STDNAMES.GPD: one file would overwrite the other, this install's
    // or, where the set brings no core (x64), the system's.
    bool ModelFileTakesASharedName() const {
        for (size_t i = 0; i < plan_.stepCount; ++i) {
            const PlannedFile& own = plan_.steps[i].file;
            if (!IsFileStep(plan_.steps[i]) || own.shared) continue;
            for (size_t j = 0; j < plan_.stepCount; ++j) {
                const PlannedFile& shared = plan_.steps[j].file;
                if (IsFileStep(plan_.steps[j]) && shared.shared && own.place == shared.place &&
                    SameName(own.name, shared.name))
                    return true;
            }
            for (R role : {R::StandardNames, R::UnidrvDll, R::UnidrvHelp, R::UnidrvUi, R::UnidrvResources}) {
                const V variant = role == R::StandardNames ? V::None : V::OtherCore;
                const CatalogueEntry* core = FindCatalogueEntry(role, PayloadSet::General, variant);
                if (core && SameName(own.name, core->fileName)) return true;
            }
        }
        return false;
    }

    // The catalogue entry of a role for this set and its variants; null for
    // a role the set has not (the x64 set has no Unidrv core).
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
    const MachinePlaces& places_;
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

size_t PlacesOf(Machine machine, Place (&places)[kPlaceCount]) {
    const MachinePlaces& of = PlacesFor(machine);
    for (size_t i = 0; i < of.count; ++i) places[i] = of.places[i];
    return of.count;
}

const char* DriverEnvironmentOf(Machine machine) {
    return machine == Machine::X64 ? kX64Environment : kX86Environment;
}

bool SetBringsUnidrvCore(Machine machine) {
    return FindCatalogueEntry(PayloadRole::UnidrvDll, SetFor(machine, OS_WIN7), PayloadVariant::OtherCore) != nullptr;
}

bool PlaceFolder(Place place, const char* driverFolder, char (&folder)[MAX_PATH]) {
    switch (place) {
    case Place::Staging: return AfxFormat(folder, "%s", kStagingFolder);
    case Place::StagingI386: return AfxFormat(folder, "%s\\I386", kStagingFolder);
    case Place::StagingX86: return AfxFormat(folder, "%s\\x86", kStagingFolder);
    case Place::StagingAmd64: return AfxFormat(folder, "%s\\amd64", kStagingFolder);
    case Place::DriverFolder: return driverFolder[0] && AfxFormat(folder, "%s", driverFolder);
    case Place::DriverVersion3: return driverFolder[0] && AfxFormat(folder, "%s\\3", driverFolder);
    }
    return false;
}

bool UninstallKeyFor(const char* printerName, char (&key)[MAX_PATH]) {
    return AfxFormat(key, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s printer", printerName);
}

size_t FilesOfAnyInstall(const char* printerName, Machine machine, PlannedFile (&files)[kMaxInstalledFiles]) {
    size_t count = 0;
    auto add = [&](const PlannedFile& file) {
        for (size_t i = 0; i < count; ++i)
            if (files[i].place == file.place && SameName(files[i].name, file.name)) return;
        if (count < kMaxInstalledFiles) files[count++] = file;
    };
    InstallPlan plan;
    // The x64 set serves every version of 64-bit Windows.
    const bool x64 = machine == Machine::X64;
    for (int osCode : {OS_WINXP, OS_WIN2000, OS_WIN7}) {
        if (x64 && osCode != OS_WIN7) continue;
        InstallChoices choices = {};
        choices.machine = x64 ? Machine::X64 : Machine::X86;
        choices.osCode = osCode;
        choices.systemLanguage = 0x0409;
        choices.languageIndex = 1;
        if (!AfxFormat(choices.printerName, "%s", printerName) || !BuildInstallPlan(choices, "", plan)) continue;
        for (size_t i = 0; i < plan.stepCount; ++i)
            if (IsFileStep(plan.steps[i])) add(plan.steps[i].file);
    }
    PlannedFile scratch = {Place::Staging, {}, true};
    lstrcpynA(scratch.name, kScratchFileName, sizeof scratch.name);
    add(scratch);
    return count;
}
