// The steps of an install plan as they are applied, and undone: each kind
// of step knows how to take back what it did.
#pragma once
#include "../app_core/install_outcome.h"
#include "../payload/install_folders.h"
#include "../system/spooler.h"

class InstallSteps {
public:
    // The plan's folders are held by the HoldFolders step, from then until
    // this object goes. `waitAttempts` bounds each wait for the printer
    // installer (100 ms each).
    InstallSteps(const InstallPlan& plan, int waitAttempts);
    ~InstallSteps();
    InstallSteps(const InstallSteps&) = delete;
    InstallSteps& operator=(const InstallSteps&) = delete;

    // Applies one step; false, with why in `outcome`, when it failed. A step
    // that failed half-way is undone with the others.
    bool Apply(const InstallStep& step, InstallOutcome& outcome);
    // Takes back every step applied, the last first; false when something
    // could not be put back.
    bool Undo();
    // Keeps what was applied: the files it put aside go.
    void Commit();

private:
    // What a step did, as far as it got: enough to take it back.
    struct Done {
        const InstallStep* step;
        bool putAside;           // WriteFile, RemoveFile: the file that was there is under its backup name
        bool written;            // WriteFile: the new file is there
        FileDigest digest;       // WriteFile: what it holds
        bool createdFolder[kPlaceCount];   // HoldFolders: the staging folders made by this run, by place
        bool printerWas;         // RunInstaller: the printer and the driver were there before
        bool driverWas;
        bool keyWas;             // SetValue: the key, and the value, were there before
        bool valueWas;
        DWORD earlierType;       // SetValue: the value that was there
        DWORD earlierSize;
        bool valueLeft;          // SetValue: left as it was (a port this install did not make)
        bool portMade;           // MakePort: this install made the port
        BYTE earlier[MAX_PATH];
    };
    bool MakePort(Done& done, InstallOutcome& outcome);
    void PrintReceipt(InstallOutcome& outcome) const;
    bool HoldFolders(Done& done, InstallOutcome& outcome);
    bool WriteFile(Done& done, InstallOutcome& outcome);
    bool RemoveFile(Done& done);
    bool RunInstaller(Done& done, const char* commandLine, InstallOutcome& outcome);
    bool CheckPrinter(InstallOutcome& outcome);
    bool SetValue(Done& done, InstallOutcome& outcome);
    bool PutAside(Done& done, DWORD& error);
    bool UndoOne(Done& done);
    // This run wrote the file before: it is its own, not the earlier install's.
    bool WroteBefore(const PlannedFile& file, const Done* before) const;
    bool DriverFilesAreTheOnesWritten() const;
    bool FileFailure(const PlannedFile& file, DWORD error, InstallOutcome& outcome) const;

    const InstallPlan& plan_;
    const int waitAttempts_;
    InstallFolders folders_;
    UsedDriverFiles used_;
    SavedForm form_;
    Done done_[kMaxInstallSteps];
    size_t doneCount_ = 0;
    bool portMade_ = false;
};
