// The install sequence's own helpers.
#pragma once
#include <windows.h>

// Copies C:\TEMP\<fileName> into the spooler's driver folder under exactly
// that name; `failIfExists` goes to CopyFileA. Nothing happens when the
// driver folder cannot be had.
void CopyToDriverDirectory(const char* fileName, BOOL failIfExists);
