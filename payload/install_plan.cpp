#include "install_plan.h"
#include "payload_resource.h"
#include "../app/os_version.h"
#include "../app/text_language.h"
#include "../framework/afx.h"
#include <cstring>
#include <initializer_list>

const char kStagingFolder[] = "C:\\TEMP";
const char kScratchFileName[] = "temp.txt";

namespace {

using R = PayloadRole;
using V = PayloadVariant;

// The payload set of an operating system: XP and 2000 have their own.
PayloadSet SetFor(int osCode) {
    if (osCode == OS_WINXP) return PayloadSet::XP;
    if (osCode == OS_WIN2000) return PayloadSet::Win2000;
    return PayloadSet::General;
}

// The eleven driver files, in the order the install clears them; the model
// files among them are also kept by the platform in the driver's folder 3.
const R kStagedRoles[] = {R::StandardNames, R::ModelGpd,  R::PluginIni, R::RenderPlugin,
                          R::UiPlugin,      R::FontMetrics, R::ResourceDll, R::UnidrvDll,
                          R::UnidrvHelp,    R::UnidrvUi,  R::UnidrvResources};
bool IsModelFile(R role) {
    return role == R::ModelGpd || role == R::PluginIni || role == R::RenderPlugin || role == R::UiPlugin ||
           role == R::ResourceDll;
}
// The model files an earlier install of the printer leaves.
const R kEarlierInstallRoles[] = {R::ModelGpd, R::PluginIni, R::ResourceDll, R::RenderPlugin, R::UiPlugin};

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
const CopyCase kModelDllCopies[] = {
    {PayloadSet::XP, {"%sRES.DLL", "%sD.dll", "%sF.dll"}},
    {PayloadSet::Win2000, {"%sRES.DLL", "%sD.DLL", "%sF.DLL"}},
    {PayloadSet::General, {"%sRES.dll", "%sD.dll", "%sF.dll"}},
};

class PlanBuilder {
public:
    PlanBuilder(int osCode, LANGID systemLanguage, short languageIndex, const char* printer, InstallPlan& plan)
        : plan_(plan), printer_(printer), set_(SetFor(osCode)) {
        core_ = IsChineseLanguage(systemLanguage) ? V::ChineseCore : V::OtherCore;
        switch (LanguageOfChoice(languageIndex, systemLanguage)) {
        case TextLanguage::Simplified: plugins_ = V::Simplified; break;
        case TextLanguage::Traditional: plugins_ = V::Traditional; break;
        default: plugins_ = V::English;
        }
    }

    bool Build() {
        plan_.stepCount = 0;
        size_t earlier = 0;
        for (Place place : {Place::DriverFolder, Place::DriverVersion3, Place::Staging})
            for (R role : kEarlierInstallRoles)
                ok_ = ok_ && Name(Entry(role)->fileName, place, plan_.earlierInstall[earlier++]);

        CreateFolders(3);
        for (R role : kStagedRoles) {
            Add(StepKind::Delete, Entry(role)->fileName, Place::Staging);
            Add(StepKind::Delete, Entry(role)->fileName, Place::DriverFolder);
            if (IsModelFile(role)) Add(StepKind::Delete, Entry(role)->fileName, Place::DriverVersion3);
        }
        const CatalogueEntry* uninstaller = Entry(R::Uninstaller);
        const CatalogueEntry* inf = Entry(R::Inf);
        Add(StepKind::Write, uninstaller->fileName, Place::Staging, uninstaller->id, kWriteUnchanged);
        CreateFolders(3);
        Add(StepKind::Write, inf->fileName, Place::Staging, inf->id, kReplaceModelName);
        Add(StepKind::Copy, uninstaller->fileName, Place::DriverFolder);
        CreateFolders(1);
        for (const WriteRole& write : kWriteRoles)
            for (int place = 0; place < write.places; ++place)
                Add(StepKind::Write, Entry(write.role)->fileName, kStagingPlaces[place], Entry(write.role)->id,
                    write.rewrite);
        for (R role : kCopiedRoles) Add(StepKind::Copy, Entry(role)->fileName, Place::DriverFolder);
        for (const CopyCase& copies : kModelDllCopies)
            if (copies.set == set_)
                for (const char* format : copies.formats) Add(StepKind::Copy, format, Place::DriverFolder);

        ok_ = ok_ && Name(uninstaller->fileName, Place::DriverFolder, plan_.uninstaller) &&
              Name(inf->fileName, Place::Staging, plan_.inf) && AfxFormat(plan_.model, "%s", printer_) &&
              UninstallKeyFor(printer_, plan_.uninstallKey) &&
              AfxFormat(plan_.displayName, "%s printer driver uninstall", printer_) &&
              AfxFormat(plan_.publisher, "%s printer", printer_);
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
                if (!own.shared && shared.shared && own.place == shared.place && lstrcmpiA(own.name, shared.name) == 0)
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
    bool Name(const char* format, Place place, PlannedFile& file) const {
        file.place = place;
        file.shared = strstr(format, "%s") == nullptr;
        return AfxFormat(file.name, format, printer_);
    }
    void Add(StepKind kind, const char* format, Place place, unsigned short id = 0, unsigned char rewrite = 0) {
        if (plan_.stepCount == kMaxInstallSteps) {
            ok_ = false;
            return;
        }
        InstallStep& step = plan_.steps[plan_.stepCount++];
        step.kind = kind;
        step.id = id;
        step.rewrite = rewrite;
        ok_ = ok_ && Name(format, place, step.file);
    }
    void CreateFolders(int count) {
        for (int i = 0; i < count; ++i) Add(StepKind::CreateFolder, "", kStagingPlaces[i]);
    }

    InstallPlan& plan_;
    const char* printer_;
    PayloadSet set_;
    V core_ = V::OtherCore;
    V plugins_ = V::English;
    bool ok_ = true;
};

bool IsDriverPlace(Place place) { return place == Place::DriverFolder || place == Place::DriverVersion3; }

}  // namespace

bool BuildInstallPlan(int osCode, LANGID systemLanguage, short languageIndex, const char* printerName,
                      InstallPlan& plan) {
    return PlanBuilder(osCode, systemLanguage, languageIndex, printerName, plan).Build();
}

bool PlannedPath(const PlannedFile& file, const char* driverFolder, char (&path)[MAX_PATH]) {
    char folder[MAX_PATH];
    bool known = false;
    switch (file.place) {
    case Place::Staging: known = AfxFormat(folder, "%s", kStagingFolder); break;
    case Place::StagingI386: known = AfxFormat(folder, "%s\\I386", kStagingFolder); break;
    case Place::StagingX86: known = AfxFormat(folder, "%s\\x86", kStagingFolder); break;
    case Place::DriverFolder: known = driverFolder[0] && AfxFormat(folder, "%s", driverFolder); break;
    case Place::DriverVersion3: known = driverFolder[0] && AfxFormat(folder, "%s\\3", driverFolder); break;
    }
    if (!known) {
        path[0] = '\0';
        return false;
    }
    return file.name[0] ? AfxFormat(path, "%s\\%s", folder, file.name) : AfxFormat(path, "%s", folder);
}

bool PlanFits(const InstallPlan& plan, const char* driverFolder) {
    char text[MAX_PATH];
    auto fits = [&](const PlannedFile& file) {
        return (IsDriverPlace(file.place) && !driverFolder[0]) || PlannedPath(file, driverFolder, text);
    };
    for (size_t i = 0; i < plan.stepCount; ++i)
        if (!fits(plan.steps[i].file)) return false;
    for (const PlannedFile& file : plan.earlierInstall)
        if (!fits(file)) return false;
    return !driverFolder[0] ||
           (UninstallCommand(plan, driverFolder, text) && UninstallIcon(plan, driverFolder, text));
}

bool UninstallCommand(const InstallPlan& plan, const char* driverFolder, char (&text)[MAX_PATH]) {
    char path[MAX_PATH];
    if (!PlannedPath(plan.uninstaller, driverFolder, path)) return false;
    // Unquoted, a blank would let the installed-programs list start
    // C:\Program.exe for C:\Program Files\...
    return AfxFormat(text, strchr(path, ' ') ? "\"%s\"" : "%s", path);
}

bool UninstallIcon(const InstallPlan& plan, const char* driverFolder, char (&text)[MAX_PATH]) {
    char path[MAX_PATH];
    return PlannedPath(plan.uninstaller, driverFolder, path) && AfxFormat(text, "%s,-0", path);
}

bool UninstallKeyFor(const char* printerName, char (&key)[MAX_PATH]) {
    return AfxFormat(key, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s printer", printerName);
}

size_t FilesOfAnyInstall(const char* printerName, PlannedFile (&files)[kMaxInstalledFiles]) {
    size_t count = 0;
    auto add = [&](const PlannedFile& file) {
        for (size_t i = 0; i < count; ++i)
            if (files[i].place == file.place && lstrcmpiA(files[i].name, file.name) == 0) return;
        if (count < kMaxInstalledFiles) files[count++] = file;
    };
    InstallPlan plan;
    for (int osCode : {OS_WINXP, OS_WIN2000, OS_WIN7}) {
        if (!BuildInstallPlan(osCode, 0x0409, 1, printerName, plan)) continue;
        for (size_t i = 0; i < plan.stepCount; ++i)
            if (plan.steps[i].kind != StepKind::CreateFolder) add(plan.steps[i].file);
        for (const PlannedFile& file : plan.earlierInstall) add(file);
    }
    PlannedFile scratch = {Place::Staging, {}, true};
    lstrcpynA(scratch.name, kScratchFileName, sizeof scratch.name);
    add(scratch);
    return count;
}
