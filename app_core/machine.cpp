#include "machine.h"
#include "../framework/afx.h"

#ifndef IMAGE_FILE_MACHINE_ARM64
#define IMAGE_FILE_MACHINE_ARM64 0xAA64
#endif
#ifndef PROCESSOR_ARCHITECTURE_ARM64
#define PROCESSOR_ARCHITECTURE_ARM64 12
#endif

namespace {

// GetNativeSystemInfo's architectures as the machines IsWow64Process2 names.
const struct {
    WORD architecture;
    USHORT machine;
    const char* name;
} kMachines[] = {
    {PROCESSOR_ARCHITECTURE_INTEL, IMAGE_FILE_MACHINE_I386, "x86"},
    {PROCESSOR_ARCHITECTURE_AMD64, IMAGE_FILE_MACHINE_AMD64, "x64"},
    {PROCESSOR_ARCHITECTURE_ARM64, IMAGE_FILE_MACHINE_ARM64, "ARM64"},
    {PROCESSOR_ARCHITECTURE_IA64, IMAGE_FILE_MACHINE_IA64, "Itanium"},
    {PROCESSOR_ARCHITECTURE_ARM, IMAGE_FILE_MACHINE_ARMNT, "ARM"},
};

}  // namespace

USHORT NativeMachineFrom(const MachineFacts& facts, USHORT ownMachine) {
    // It alone tells an x86 program under emulation on ARM64 from one on x64.
    if (facts.haveIsWow64Process2 && facts.nativeMachine != IMAGE_FILE_MACHINE_UNKNOWN) return facts.nativeMachine;
    if (!facts.haveIsWow64Process || !facts.wow64) return ownMachine;
    for (const auto& known : kMachines)
        if (known.architecture == facts.nativeArchitecture) return known.machine;
    return IMAGE_FILE_MACHINE_UNKNOWN;
}

USHORT OwnMachine() {
#ifdef _WIN64
    return IMAGE_FILE_MACHINE_AMD64;
#else
    return IMAGE_FILE_MACHINE_I386;
#endif
}

Machine MachineOf(USHORT imageMachine) {
    return imageMachine == IMAGE_FILE_MACHINE_I386    ? Machine::X86
           : imageMachine == IMAGE_FILE_MACHINE_AMD64 ? Machine::X64
                                                      : Machine::Other;
}

void MachineName(USHORT imageMachine, char (&name)[32]) {
    for (const auto& known : kMachines)
        if (known.machine == imageMachine) {
            AfxFormat(name, "%s", known.name);
            return;
        }
    AfxFormat(name, "machine 0x%04X", static_cast<unsigned>(imageMachine));
}
