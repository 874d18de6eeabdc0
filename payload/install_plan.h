// What an install puts where, as plain data. It is computed from the
// operating-system code, the system language, the language choice and the
// printer name alone: the install applies it step by step, the removal of
// an earlier install and the uninstall entry follow it, and the uninstaller
// reads from it what an install leaves.
#pragma once
#include "catalogue.h"
#include <windows.h>

// The staging folder the install writes into first (it holds I386 and x86).
extern const char kStagingFolder[];
// The rewrite's scratch copy, a file of the staging folder.
extern const char kScratchFileName[];

// The folders an install puts files into.
enum class Place { Staging, StagingI386, StagingX86, DriverFolder, DriverVersion3 };

struct PlannedFile {
    Place place;
    char name[MAX_PATH];   // "" for a folder itself
    bool shared;           // a name every install writes, not named after the printer
};

enum class StepKind {
    CreateFolder,   // the folder of `file`
    Delete,         // an earlier run's file; in the driver folders only if no other driver uses it
    Write,          // embedded file `id` to `file`, rewritten as `rewrite` says
    Copy,           // the staged file of that name into the driver folder, under `file`'s name
};
struct InstallStep {
    StepKind kind;
    PlannedFile file;
    unsigned short id;
    unsigned char rewrite;   // a PayloadRewrite
};

const size_t kMaxInstallSteps = 72;
const size_t kEarlierInstallFiles = 15;

struct InstallPlan {
    // An earlier install's model files in the driver folder, its folder 3
    // and the staging folder, removed first when exactly one printer carries
    // the printer name.
    PlannedFile earlierInstall[kEarlierInstallFiles];
    // The install itself, in order: folders, cleanup, writes and copies.
    InstallStep steps[kMaxInstallSteps];
    size_t stepCount;
    // The uninstall entry: its key under HKEY_LOCAL_MACHINE, two of its
    // texts and the uninstaller it starts, in the driver folder.
    char uninstallKey[MAX_PATH];
    char displayName[MAX_PATH];
    char publisher[MAX_PATH];
    PlannedFile uninstaller;
    // What the printer installer is given: the INF, and the model it names,
    // which is the printer name and so the new printer's name as well.
    PlannedFile inf;
    char model[MAX_PATH];
};

// False when a name or text would not fit its buffer, or a model file would
// take the name of a shared one (UNI, STDNAMES).
bool BuildInstallPlan(int osCode, LANGID systemLanguage, short languageIndex, const char* printerName,
                      InstallPlan& plan);

// The full path of a planned file; false when it does not fit, or lies in
// the driver folder and that is not known ("").
bool PlannedPath(const PlannedFile& file, const char* driverFolder, char (&path)[MAX_PATH]);
// True when every path the plan names, and the uninstall entry's texts,
// fit their buffers with this driver folder.
bool PlanFits(const InstallPlan& plan, const char* driverFolder);

// The uninstall entry's UninstallString, quoted when its path holds a
// blank, and its DisplayIcon (the path and ",-0").
bool UninstallCommand(const InstallPlan& plan, const char* driverFolder, char (&text)[MAX_PATH]);
bool UninstallIcon(const InstallPlan& plan, const char* driverFolder, char (&text)[MAX_PATH]);
// The uninstall entry's key for a printer name.
bool UninstallKeyFor(const char* printerName, char (&key)[MAX_PATH]);

// Every file an install of the printer name may leave on any system: the
// files of the plans of every payload set (in the letter case the first
// names them) and the scratch file. Returns how many were stored.
const size_t kMaxInstalledFiles = 48;
size_t FilesOfAnyInstall(const char* printerName, PlannedFile (&files)[kMaxInstalledFiles]);
