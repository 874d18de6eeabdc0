#include "run_wizard.h"

// The wizard window is not built yet: start-up ends after reading the settings.
void RunWizard() {}
