// The install's last phase: the platform's printer installer creates the
// printer from the INF the install wrote, the spooler is polled for it, it
// becomes the default printer and the user is told; then the program is
// asked to end. A printer that never appears is told as well, and the
// wizard stays open so that the user can try again.
#pragma once
#include <windows.h>

struct InstallPlan;

// The wait's bound, in attempts of 100 ms each: every program links its
// own (install/printer_wait_bound.cpp), 300 unless its build says otherwise.
extern const int kPrinterWaitAttempts;

// The printer, its model and INF are those of the install's plan;
// `systemLanguage` is the system default language the install read first.
// Tests may give the wait a shorter bound.
void RegisterPrinter(const InstallPlan& plan, LANGID systemLanguage, int waitAttempts = kPrinterWaitAttempts);

enum class PrinterWaitOutcome { Found, GivenUp };
// Polls the local printers for the new one: exactly that name, on the driver
// of that name (an unrelated printer whose name merely holds it does not
// count; one of that name left by an earlier install of this driver does).
// Up to `attempts` attempts, each after a 100 ms pause in which the windows keep
// painting; given up at once when there are no local printers or the list
// cannot be read.
PrinterWaitOutcome PrinterWait(const char* printerName, int attempts = kPrinterWaitAttempts);
