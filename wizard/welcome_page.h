// First page: the welcome picture and four lines of greeting.
#pragma once
#include "wizard_page.h"

class WelcomePage : public WizardPage {
public:
    WelcomePage();
    bool OnInitDialog() override;
};
