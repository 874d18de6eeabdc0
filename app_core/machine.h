// The processor architecture of the Windows the program runs on, as far as
// the driver goes: the 32-bit set serves x86 Windows, the x64 set 64-bit
// Windows on x64 processors; any other architecture (ARM64, Itanium) has
// no set of this driver.
#pragma once
#include <windows.h>

enum class Machine : unsigned char { X86, X64, Other };

// What the system says of this process and its machine, as read by
// DetectNativeMachine (app_core/start_checks.h): IsWow64Process2 where it
// exists, else IsWow64Process and GetNativeSystemInfo.
struct MachineFacts {
    bool haveIsWow64Process2;   // and it succeeded
    USHORT nativeMachine;       // its native machine (IMAGE_FILE_MACHINE_...)
    bool haveIsWow64Process;    // and it succeeded
    BOOL wow64;                 // a 32-bit process on 64-bit Windows
    WORD nativeArchitecture;    // GetNativeSystemInfo (PROCESSOR_ARCHITECTURE_...)
};

// The native machine (IMAGE_FILE_MACHINE_...) from those facts; a process
// that is not under WoW64 runs on its own machine, `ownMachine`.
USHORT NativeMachineFrom(const MachineFacts& facts, USHORT ownMachine);
// The machine of this process's build: the shipped program is 32-bit.
USHORT OwnMachine();

Machine MachineOf(USHORT imageMachine);
// How the messages and the log name an architecture: "x86", "x64",
// "ARM64", ..., "machine 0xNNNN" for one without a name.
void MachineName(USHORT imageMachine, char (&name)[32]);
