// Whether a printer name can stand in what the install forms from it: file
// names, rewritten driver lines and the lines of the INF. Whether the paths
// and the uninstall entry it forms fit their buffers is the install plan's
// to say (BuildInstallPlan, PlanFits).
#pragma once

// True when the name is not empty, neither begins nor ends with a blank,
// holds no character that cannot stand in a file name or an INF line
// (\ / : * ? " < > | ; , = % [ ] or a control character; the trail bytes of
// double-byte characters do not count), is no device name (CON, PRN, AUX,
// NUL, COM1-9, LPT1-9, COM or LPT with a superscript 1 to 3, with any
// extension) and its rewritten model lines fit. A name that would give a
// model file the name of a file shared with the driver core (UNI,
// STDNAMES) has no install plan.
bool IsPrinterNameUsable(const char* name);
