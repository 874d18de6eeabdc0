#include "printer_series_page.h"
#include "wizard_frame.h"
#include "../app_core/set_dialog_strings.h"
#include "../resources/resource.h"

namespace {
const char kSeries[] = "80mm series";
}

BEGIN_MESSAGE_MAP(PrinterSeriesPage, WizardPage)
    ON_LBN_SELCHANGE(IDC_SERIES_LIST, OnSeriesSelected)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

PrinterSeriesPage::PrinterSeriesPage(InstallChoices& choices)
    : WizardPage(IDD_PRINTER_SERIES), choices_(choices) {
    setDefaultPrinter = choices.setDefaultPrinter ? 1 : 0;
}

void PrinterSeriesPage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_SERIES_LIST, seriesList);
    DDX_Check(dx, IDC_DEFAULT_PRINTER, setDefaultPrinter);
    DDX_Text(dx, IDC_SERIES_NAME, seriesName);
}

void PrinterSeriesPage::EnableFrameNext(bool enable) {
    if (auto* frame = dynamic_cast<WizardFrameDialog*>(GetParent())) frame->EnableNext(enable);
}

bool PrinterSeriesPage::OnInitDialog() {
    WizardPage::OnInitDialog();
    UpdateData(true);
    seriesList.InsertString(-1, kSeries);
    EnableFrameNext(seriesList.GetCurSel() != LB_ERR);
    g_SetDialogStrings(this, IDD_PRINTER_SERIES);
    return true;
}

void PrinterSeriesPage::OnSeriesSelected() {
    EnableFrameNext(true);
    if (seriesList.GetCurSel() == 0) lstrcpynA(seriesName, kSeries, sizeof seriesName);
    // Writes the stored check state back too: a box cleared before the
    // selection is set again.
    UpdateData(false);
}

void PrinterSeriesPage::OnShowWindow(BOOL show, UINT status) {
    Default();
    UpdateData(true);
    // The check box decides whether the install makes the printer the default.
    choices_.setDefaultPrinter = setDefaultPrinter != 0;
}
