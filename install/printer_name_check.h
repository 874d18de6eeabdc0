// Whether a printer name can stand in what the install forms from it: file
// names, rewritten driver lines and the lines of the INF. Whether the paths
// and the uninstall entry it forms fit their buffers is the install plan's
// to say (BuildInstallPlan, PlanFits).
#pragma once

// The first rule a name breaks, in the order they are checked.
enum class NameRule {
    Usable,
    Empty,
    NotInCodePage,   // bytes the system's ANSI code page cannot read, or reads as other bytes
    BlankAtEnd,
    Forbidden,       // \ / : * ? " < > | ; , = % [ ] or a control character
    DeviceName,
    TooLong,         // a rewritten model line, a path or the printer installer's command does not fit
    SharedFileName,  // a model file would take the name of a file shared with the driver core
    AnotherDriver,   // a driver of that name that another program installed
};

// The rules of the name's own bytes: not empty; bytes of the system's code
// page; neither beginning nor ending with a blank; no character that cannot
// stand in a file name or an INF line (the trail bytes of double-byte
// characters do not count); no device name (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, COM or LPT with a superscript 1 to 3, with any extension); its
// rewritten model lines fit. Too long a path and the names of shared files
// (UNI, STDNAMES) are the install plan's to find.
NameRule CheckPrinterName(const char* name);
inline bool IsPrinterNameUsable(const char* name) { return CheckPrinterName(name) == NameRule::Usable; }
