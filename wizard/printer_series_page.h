// Third page: the printer series to install (one row), the port the
// printer is created on (the spooler's ports, or a network printer's
// address), whether the new printer becomes the default printer and
// whether a test receipt is printed; the choices go into the install's
// choices. Next waits for the series row to be chosen, and for a valid
// address while the network entry is.
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

    // The port the page's choices name now: the chosen row, or the address
    // typed while the network entry is chosen; false for no valid choice.
    bool ChosenPort(PortChoice& port) const;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnSeriesSelected();
    void OnPortSelected();
    void OnAddressChanged();
    void OnShowWindow(BOOL show, UINT status);
    void EnableFrameNext(bool enable);
    bool IsFrameNextEnabled();
    // Next as the series row and the port allow.
    void UpdateNext();
    void FillPortList();
    bool NetworkEntryChosen() const;

    DECLARE_MESSAGE_MAP()

private:
    InstallChoices& choices_;
    CListBox portList_;
    // The series row was chosen, or the frame came back here with Next enabled.
    bool seriesAllowsNext_ = false;
};
