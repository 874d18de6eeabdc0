// Third page: the printer series to install (one row) and whether the new
// printer becomes the default printer, which goes into the install's
// choices. Next waits for the row to be chosen.
#pragma once
#include "wizard_page.h"
#include "../app_core/install_choices.h"
#include "../framework/controls.h"

class PrinterSeriesPage : public WizardPage {
public:
    explicit PrinterSeriesPage(InstallChoices& choices);
    bool OnInitDialog() override;

    CListBox seriesList;
    int setDefaultPrinter = 1;          // check box "Default Printer"
    char seriesName[MAX_PATH] = {};     // read-only name field

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnSeriesSelected();
    void OnShowWindow(BOOL show, UINT status);
    void EnableFrameNext(bool enable);

    DECLARE_MESSAGE_MAP()

private:
    InstallChoices& choices_;
};
