// The uninstaller learns what it needs from how it was started: the printer
// name from its own file name, silence from the /S switch (ParseCommandLine,
// app/command_line.h, which setup.exe shares).
#pragma once
#include <cstddef>

// "C:\...\uninstallKRX.exe" gives "KRX" (the prefix and extension in any
// letter case). False, with an empty name, when the file name is not
// "uninstall<printer name>.exe" with a non-empty name, or the name does not
// fit into `size`.
bool PrinterNameFromProgramPath(const char* programPath, char* printerName, size_t size);
