// What an install does, as plain data, computed once from the install's
// choices and the driver folder: the network port it makes, its folders,
// every file it writes and removes, the paper form, the printer
// installer's command line with the port, the printer it checks for, the
// uninstall entry's values, the default printer's command line (now, and
// for every user through Active Setup) and the test receipt. The install applies it step by step, and the
// uninstaller reads from it what an install leaves.
#pragma once
#include "catalogue.h"
#include "../app_core/install_choices.h"
#include <windows.h>

// The staging folder the install writes into first (it holds I386 and x86,
// or amd64 on 64-bit Windows).
extern const char kStagingFolder[];
// The rewrite's scratch copy, a file of the staging folder.
extern const char kScratchFileName[];
// The uninstall entry's value that names the network port this setup
// made, which the uninstaller deletes once no printer uses it.
extern const char kMadePortValue[];

// The folders an install puts files into. The driver folders are those of
// the plan's spooler environment.
enum class Place { Staging, StagingI386, StagingX86, DriverFolder, DriverVersion3, StagingAmd64 };
const int kPlaceCount = 6;
inline bool IsDriverPlace(Place place) { return place == Place::DriverFolder || place == Place::DriverVersion3; }

// The folders an install on the machine takes, in the order they are
// taken (a folder before those in it): the staging folder with I386 and
// x86 for the 32-bit sets, with amd64 for the x64 set, then the driver
// folder and its folder 3. Returns how many.
size_t PlacesOf(Machine machine, Place (&places)[kPlaceCount]);
// The spooler environment of the machine's driver set.
const char* DriverEnvironmentOf(Machine machine);
// Whether the machine's set brings its own Unidrv core (the 32-bit sets);
// the x64 set takes the system's, which is no file of the install's.
bool SetBringsUnidrvCore(Machine machine);

struct PlannedFile {
    Place place;
    char name[MAX_PATH];
    bool shared;   // a name every install writes, not named after the printer
};

// What an install does, step by step. The install applies them in this
// order and undoes what it did, last first, when a step fails; each kind
// has its undo (install/install_steps.cpp).
enum class StepKind {
    MakePort,       // the network port of the plan, made through the spooler's monitor or reused
    HoldFolders,    // makes and checks the plan's staging folders, holds its driver folders
    WriteFile,      // embedded file `id` to `file`, rewritten as `rewrite` says; a file of that name goes first
    RemoveFile,     // an earlier run's file; in the driver folders only if no other driver uses it
    DeleteForm,     // the print server's form named `text`
    RunInstaller,   // the printer installer of the plan's machine with the command line `text`, awaited
    CheckPrinter,   // the printer `text` on the driver of that name, whose files are the ones written
    SetValue,       // the value `value` of the key `key`: the text `text`, or with `isNumber` the
                    // DWORD `number`; with `onlyIfPortMade` only when the MakePort step made the port
    SetDefault,     // the default-printer command line `text`, by the same installer, awaited
    PrintReceipt,   // the test receipt to the printer, on the port `text`; never fails the install
};
// The keys the SetValue steps write under HKEY_LOCAL_MACHINE.
enum class EntryKey { Uninstall, ActiveSetup };
struct InstallStep {
    StepKind kind;
    PlannedFile file;        // WriteFile, RemoveFile
    unsigned short id;       // WriteFile: the embedded file
    unsigned char rewrite;   // WriteFile: a PayloadRewrite
    const char* value;       // SetValue: the value's name
    bool onlyIfPortMade;     // SetValue
    EntryKey key;            // SetValue
    bool isNumber;           // SetValue: a REG_DWORD, `number`
    DWORD number;
    char text[MAX_PATH];
};

const size_t kMaxInstallSteps = 80;

struct InstallPlan {
    // The printer, the driver model its INF names, and the printer the
    // install checks for: all the printer name.
    char printer[MAX_PATH];
    // The machine whose driver set the plan installs, and its spooler
    // environment.
    Machine machine;
    const char* environment;
    // The folders it takes, in order (PlacesOf).
    Place places[kPlaceCount];
    size_t placeCount;
    // The environment's driver folder; "" when it could not be had, and
    // then nothing is done there and the uninstall entry names no uninstaller.
    char driverFolder[MAX_PATH];
    // The uninstall entry's key under HKEY_LOCAL_MACHINE.
    char uninstallKey[MAX_PATH];
    // The Active Setup component that makes the printer each user's
    // default at their next logon.
    char activeSetupKey[MAX_PATH];
    // The port the printer is created on, and for a network port where it leads.
    PortChoice port;
    // The language of the install's texts, the test receipt's among them.
    TextLanguage language;
    InstallStep steps[kMaxInstallSteps];
    size_t stepCount;
};

// False when a name, path or text would not fit its buffer with this
// driver folder ("" for none; the one of the choices' machine), a model
// file would take the name of a shared one (UNI, STDNAMES), or the port's
// name cannot be used.
bool BuildInstallPlan(const InstallChoices& choices, const char* driverFolder, InstallPlan& plan);
// A step that writes or removes a file.
bool IsFileStep(const InstallStep& step);
// True when a file the plan names after the printer is one of the files
// shared with the driver core; such a plan is not built.
bool ModelFileTakesASharedName(const InstallPlan& plan);

// The full path of a folder of the install; false when it does not fit,
// or lies in the driver folder and that is not known ("").
bool PlaceFolder(Place place, const char* driverFolder, char (&folder)[MAX_PATH]);
// The uninstall entry's key for a printer name.
bool UninstallKeyFor(const char* printerName, char (&key)[MAX_PATH]);
// The Active Setup component's key for a printer name.
bool ActiveSetupKeyFor(const char* printerName, char (&key)[MAX_PATH]);
// The key a SetValue step writes.
inline const char* KeyOf(const InstallPlan& plan, const InstallStep& step) {
    return step.key == EntryKey::ActiveSetup ? plan.activeSetupKey : plan.uninstallKey;
}

// Every file an install of the printer name may leave on a machine: the
// files of the plans of every payload set of the machine (on x86 all three,
// in the letter case the first names them) and the scratch file. Returns
// how many were stored.
const size_t kMaxInstalledFiles = 48;
size_t FilesOfAnyInstall(const char* printerName, Machine machine, PlannedFile (&files)[kMaxInstalledFiles]);
