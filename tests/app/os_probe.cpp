// Reports the operating-system code of the system it runs on as its exit
// code, so a test can set the version Wine reports to this program alone.
#include "app_core/os_version.h"

int main() { return DetectWindowsVersion(); }
