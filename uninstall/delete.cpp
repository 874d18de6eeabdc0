#include "../app/setup_app.h"

// The removal of earlier installations is not built yet.
void SetupWizardApp::Delete() {}
