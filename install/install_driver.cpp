#include "../app/setup_app.h"

// The install sequence is not built yet.
void SetupWizardApp::InstallDriver() {}
