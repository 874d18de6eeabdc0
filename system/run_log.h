// The log of an unattended run of setup.exe or the uninstaller: one line a
// step, each with its local time. It is made new: a file or link someone
// put at its name goes first, and a folder that leads elsewhere takes none.
#pragma once
#include "held_folder.h"
#include "../framework/afx.h"
#include <cstring>
#include <new>

class RunLog {
public:
    RunLog() = default;
    ~RunLog();
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    // Makes the log at `path`; when that name cannot be made new (a folder
    // of that name, the log of a run still going), `orBeside` makes it
    // under a fresh name beside it. 0, or why the log at `path` was not
    // made.
    DWORD Open(const char* path, bool orBeside);

    template <typename... Args>
    void Line(const char* format, Args... args) {
        char text[3 * MAX_PATH];
        if (file_ && AfxFormat(text, format, args...)) Write(text);
    }

private:
    DWORD Make(const char* path);
    void Write(const char* text);
    void Discard();

    HeldFolder folder_;
    // The file lives in this object, not on the heap: the programs link no
    // throwing operator new (and with it no exception runtime).
    union Slot {
        Slot() {}
        ~Slot() {}
        NewFile file;
    } slot_;
    NewFile* file_ = nullptr;   // &slot_.file while the log is open
};

// The log's path: `named` (from the current folder when relative), else
// `fileName` in the TEMP folder of the user, or for the SYSTEM account in
// the Temp folder of the Windows folder, where administrators look (its
// TEMP may be any folder the tool that started it had). False when it
// does not fit.
bool RunLogPath(const char* named, const char* fileName, bool asSystem, char (&path)[MAX_PATH]);
