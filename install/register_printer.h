// The install's last phase: the platform's printer installer creates the
// printer from the INF the install wrote, the spooler is polled for it, and
// it becomes the default printer. It shows nothing itself.
#pragma once
#include "install_runner.h"

struct InstallPlan;

enum class PrinterWaitOutcome { Found, GivenUp };

// Starts the printer installer with the plan's install command, waits for
// the printer (up to `waitAttempts` attempts of 100 ms), and when it
// appears starts the default-printer command if `setDefault`.
PrinterWaitOutcome RegisterPrinter(const InstallPlan& plan, bool setDefault, int waitAttempts = kPrinterWaitAttempts);

// Polls the local printers for the new one: exactly that name, on the driver
// of that name (an unrelated printer whose name merely holds it does not
// count; one of that name left by an earlier install of this driver does).
// Up to `attempts` attempts, each after a 100 ms pause in which the windows keep
// painting; given up at once when there are no local printers or the list
// cannot be read.
PrinterWaitOutcome PrinterWait(const char* printerName, int attempts = kPrinterWaitAttempts);
