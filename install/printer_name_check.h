// Whether a printer name can be installed: it names files, a registry key,
// rewritten driver lines and the lines of the INF, all formed in 260-byte
// buffers.
#pragma once

// True when the name is not empty, neither begins nor ends with a blank,
// holds no character that cannot stand in a file name or an INF line
// (\ / : * ? " < > | ; , = % [ ] or a control character; the trail bytes of
// double-byte characters do not count), is no device name (CON, PRN, AUX,
// NUL, COM1-9, LPT1-9, with any extension), gives no model file the name of
// a file shared with the driver core (UNI, STDNAMES) and every text formed
// from it fits its buffer. `driverDirectory` is the spooler's driver
// folder, or "" when it cannot be had.
bool IsPrinterNameUsable(const char* name, const char* driverDirectory);
