// Run once while the test prefix is made: gives it one ordinary printer,
// made the default, as a real system has. Its name holds no "KRX".
#include "spooler_support.h"

int main() {
    if (!test::AddTestPrinter("Office Laser", "Office Laser Driver")) return 1;
    return test::SetDefaultPrinterName("Office Laser") ? 0 : 2;
}
