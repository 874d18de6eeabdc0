// The install's last phase: the platform's printer installer creates the
// printer, the spooler is polled for it, it becomes the default printer and
// the user is told; then the program is asked to end.
#pragma once
#include <windows.h>

// `systemLanguage` is the system default language the install read first.
void RegisterPrinter(LANGID systemLanguage);
// Polls the local printers for one whose name holds "KRX": up to 300
// attempts, each after a 100 ms pause. False when it gives up, at once when
// there are no local printers or the list cannot be read.
bool PrinterWait();
