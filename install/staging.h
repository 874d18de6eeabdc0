// The staging folder C:\TEMP, which any user may create and fill before an
// install or an uninstall runs.
#pragma once

// True when the folder, or one above it, is a junction or symbolic link
// that leads somewhere else: nothing is to be written or deleted through
// it. A reparse point that resolves to the folder's own path (a volume
// mounted there) is no detour; systems that cannot resolve paths (before
// Vista) count every reparse point on the way.
bool LeadsElsewhere(const char* folder);
