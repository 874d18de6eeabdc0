// The spooler's printer-driver folder and the local printer list, shared by
// the removal of earlier installations and the install sequence.
#pragma once
#include <windows.h>

// The driver folder of "Windows NT x86" on this computer, asked for afresh;
// false (and an empty buffer) when the spooler cannot report it.
bool GetDriverDirectory(char (&folder)[MAX_PATH]);

// Reads the local printers at level 2 and counts, from the last record back,
// those whose name contains `text` (case-sensitive), stopping once `stopAt`
// are found. -1 when the list is empty or cannot be read.
int CountPrintersContaining(const char* text, int stopAt);
