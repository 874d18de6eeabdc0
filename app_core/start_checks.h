// What setup.exe and the uninstaller check at start, before they write
// anything: which machine this Windows runs on, and whether another of
// them runs.
#pragma once
#include "machine.h"
#include <windows.h>

// The machine Windows runs on natively (IMAGE_FILE_MACHINE_...), which for
// this 32-bit program is not its own on 64-bit Windows.
USHORT DetectNativeMachine();

// The lock both programs share, whatever the printer name: one of them at
// a time on a computer.
enum class RunLock {
    Taken,          // this program holds it until the process ends
    AnotherSetup,   // a setup or uninstaller of ours holds it (or it could not be taken)
    HeldByOther,    // an object of the lock's name that no setup of ours made
};

// Takes the lock. From Vista on it is a mutex in a private namespace whose
// boundary only Administrators satisfy, which no other account can make,
// open or fake. Where the system has no private namespaces (Windows 2000
// and XP) or the namespace cannot be made or opened, it is a mutex of a
// Global name, and every failure to take that counts as busy: a mutex of
// the name that is not owned by Administrators or SYSTEM, or an object of
// another kind, as HeldByOther.
RunLock TakeRunLock();

// The messages, in the system's language: another setup or uninstaller
// running, the lock's name held by another program; RunLockText gives the
// one for a lock not taken (null for Taken).
const char* AnotherRunningText(LANGID systemLanguage);
const char* RunLockHeldByOtherText(LANGID systemLanguage);
const char* RunLockText(RunLock lock, LANGID systemLanguage);

// The SYSTEM account (S-1-5-18), as management tools and start-up scripts
// run the setup. Its default printer is nobody's, and its TEMP folder is
// not where administrators look.
bool IsLocalSystemSid(PSID sid);
// The process token's user is SYSTEM; false when the token cannot be read.
bool RunsAsSystem();

// Two versions "a.b.c.d" number by number, a missing number as 0: below 0
// when `a` is older, 0 when equal, above 0 when newer. False when `a` or
// `b` is no such version (empty, a number beyond 65535, other characters).
bool CompareVersions(const char* a, const char* b, int& order);
