// The program's entry point hands over to the framework.
#include "system_files.h"
#include "winapp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    AfxRestrictDllSearch();
    return AfxWinMain(instance, showCommand);
}
