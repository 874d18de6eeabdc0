// What an install does, as plain data, computed once from the install's
// choices and the driver folder: the removal of an earlier install, the
// uninstall entry, every file it writes and removes, the printer
// installer's and the default printer's command lines and the printer it
// waits for. The install applies it step by step, and the uninstaller reads
// from it what an install leaves.
#pragma once
#include "catalogue.h"
#include <windows.h>

// The staging folder the install writes into first (it holds I386 and x86).
extern const char kStagingFolder[];
// The rewrite's scratch copy, a file of the staging folder.
extern const char kScratchFileName[];

// The folders an install puts files into, in the order they are taken.
enum class Place { Staging, StagingI386, StagingX86, DriverFolder, DriverVersion3 };
const int kPlaceCount = 5;
inline bool IsDriverPlace(Place place) { return place == Place::DriverFolder || place == Place::DriverVersion3; }

struct PlannedFile {
    Place place;
    char name[MAX_PATH];
    bool shared;   // a name every install writes, not named after the printer
};

enum class StepKind {
    Delete,   // an earlier run's file; in the driver folders only if no other driver uses it
    Write,    // embedded file `id` to `file`, rewritten as `rewrite` says
};
struct InstallStep {
    StepKind kind;
    PlannedFile file;
    unsigned short id;
    unsigned char rewrite;   // a PayloadRewrite
};

const size_t kMaxInstallSteps = 80;
const size_t kEarlierInstallFiles = 15;

struct InstallPlan {
    // The printer, the driver model its INF names, and the printer the
    // install waits for: all the printer name.
    char printer[MAX_PATH];
    // The spooler's driver folder; "" when it could not be had, and then
    // nothing is done there and the uninstall entry names no uninstaller.
    char driverFolder[MAX_PATH];
    // An earlier install's model files in the driver folder, its folder 3
    // and the staging folder, removed first when exactly one printer carries
    // the printer name.
    PlannedFile earlierInstall[kEarlierInstallFiles];
    // The install itself, in order: cleanup, then the writes.
    InstallStep steps[kMaxInstallSteps];
    size_t stepCount;
    // The uninstall entry under HKEY_LOCAL_MACHINE and its four texts.
    char uninstallKey[MAX_PATH];
    char displayName[MAX_PATH];
    char uninstallString[MAX_PATH];   // "" without a driver folder
    char displayIcon[MAX_PATH];       // likewise
    char publisher[MAX_PATH];
    // What the printer installer is started with: creating the printer from
    // the INF, and making it the default printer.
    char installCommand[MAX_PATH];
    char defaultCommand[MAX_PATH];
};

// False when a name, path or text would not fit its buffer with this
// driver folder ("" for none), or a model file would take the name of a
// shared one (UNI, STDNAMES).
bool BuildInstallPlan(int osCode, LANGID systemLanguage, short languageIndex, const char* printerName,
                      const char* driverFolder, InstallPlan& plan);

// The full path of a folder of the install; false when it does not fit,
// or lies in the driver folder and that is not known ("").
bool PlaceFolder(Place place, const char* driverFolder, char (&folder)[MAX_PATH]);
// The uninstall entry's key for a printer name.
bool UninstallKeyFor(const char* printerName, char (&key)[MAX_PATH]);

// Every file an install of the printer name may leave on any system: the
// files of the plans of every payload set (in the letter case the first
// names them) and the scratch file. Returns how many were stored.
const size_t kMaxInstalledFiles = 48;
size_t FilesOfAnyInstall(const char* printerName, PlannedFile (&files)[kMaxInstalledFiles]);
