// The printer wait's bound, compiled into each program rather than into the
// install layer, so that a build for the tests only may wait less.
#include "install_runner.h"

#ifndef PRINTER_WAIT_ATTEMPTS
#define PRINTER_WAIT_ATTEMPTS 300   // 30 s
#endif

const int kPrinterWaitAttempts = PRINTER_WAIT_ATTEMPTS;
