// Whether a printer name can be installed: it names files, a registry key
// and rewritten driver lines, all formed in 260-byte buffers.
#pragma once

// True when the name is not empty, holds no character that cannot stand in
// a file name (\ / : * ? " < > | or a control character; the trail bytes
// of double-byte characters do not count) and every text formed from it
// fits its buffer. `driverDirectory` is the spooler's driver folder, or ""
// when it cannot be had.
bool IsPrinterNameUsable(const char* name, const char* driverDirectory);
