#include "printer_series_page.h"
#include "wizard_frame.h"
#include "../app_core/set_dialog_strings.h"
#include "app_core/texts.h"
#include "../resources/resource.h"
#include "../system/spooler.h"

namespace {
const char kSeries[] = "80mm series";
// The port list's row that stands for a network printer, not a port.
const LPARAM kNetworkEntry = 1;
}

BEGIN_MESSAGE_MAP(PrinterSeriesPage, WizardPage)
    ON_LBN_SELCHANGE(IDC_SERIES_LIST, OnSeriesSelected)
    ON_LBN_SELCHANGE(IDC_PORT_LIST, OnPortSelected)
    ON_CONTROL(EN_CHANGE, IDC_ADDRESS, OnAddressChanged)
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

bool PrinterSeriesPage::IsFrameNextEnabled() {
    CWnd* frame = GetParent();
    HWND next = frame ? frame->GetDlgItem(IDC_NEXT) : nullptr;
    return next && ::IsWindowEnabled(next);
}

bool PrinterSeriesPage::OnInitDialog() {
    WizardPage::OnInitDialog();
    UpdateData(true);
    seriesList.InsertString(-1, kSeries);
    EnableFrameNext(seriesList.GetCurSel() != LB_ERR);
    g_SetDialogStrings(this, IDD_PRINTER_SERIES);
    // The language file has no texts for these: they come in the language it shows.
    TextLanguage language;
    if (DialogTextLanguage(language)) {
        ::SetDlgItemTextA(m_hWnd, IDC_PORT_LABEL, TextIn(kPortLabelText, language));
        ::SetDlgItemTextA(m_hWnd, IDC_ADDRESS_LABEL, TextIn(kAddressLabelText, language));
        ::SetDlgItemTextA(m_hWnd, IDC_TEST_RECEIPT, TextIn(kTestReceiptBoxText, language));
    }
    ::SendDlgItemMessageA(m_hWnd, IDC_ADDRESS, EM_LIMITTEXT, kMaxHostName + 6, 0);   // host, ':' and the TCP port
    portList_.m_hWnd = GetDlgItem(IDC_PORT_LIST);   // of this window, should the page be made again
    FillPortList();
    return true;
}

void PrinterSeriesPage::FillPortList() {
    const PortNames ports = ReadPortNames();
    size_t order[kMaxListedPorts];
    const size_t count = OrderPorts(ports.names, ports.count, order);
    const char* chosen = DefaultPortName(ports.names, ports.count);
    int chosenRow = LB_ERR;
    for (size_t i = 0; i < count; ++i) {
        const int row = portList_.InsertString(-1, ports.names[order[i]]);
        if (row >= 0 && SameName(ports.names[order[i]], chosen)) chosenRow = row;
    }
    TextLanguage language = TextLanguage::Simplified;
    DialogTextLanguage(language);
    const int network = portList_.InsertString(-1, TextIn(kNetworkPortText, language));
    portList_.SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(network), kNetworkEntry);
    // The preselected port is the one /S would take: the first USB port, else LPT1:.
    if (chosenRow != LB_ERR) portList_.SendMessage(LB_SETCURSEL, static_cast<WPARAM>(chosenRow));
    PortChoice port;
    if (ChosenPort(port)) choices_.port = port;
}

bool PrinterSeriesPage::NetworkEntryChosen() const {
    const int row = portList_.GetCurSel();
    return row != LB_ERR && portList_.SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(row)) == kNetworkEntry;
}

bool PrinterSeriesPage::ChosenPort(PortChoice& port) const {
    const int row = portList_.GetCurSel();
    if (row == LB_ERR) return false;
    if (NetworkEntryChosen()) {
        char address[kMaxHostName + 8] = {};
        ::GetDlgItemTextA(m_hWnd, IDC_ADDRESS, address, sizeof address);
        return ParseNetworkAddress(address, port);
    }
    char name[kMaxPortName + 1] = {};
    // Rows hold only names that fit and can be used; a longer one is no row of ours.
    if (portList_.SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(row)) >= static_cast<LRESULT>(sizeof name))
        return false;
    portList_.SendMessage(LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(name));
    return ListedPortChoice(name, port);
}

void PrinterSeriesPage::UpdateNext() {
    PortChoice port;
    EnableFrameNext(seriesAllowsNext_ && (!NetworkEntryChosen() || ChosenPort(port)));
}

void PrinterSeriesPage::OnSeriesSelected() {
    seriesAllowsNext_ = true;
    UpdateNext();
    if (seriesList.GetCurSel() == 0) lstrcpynA(seriesName, kSeries, sizeof seriesName);
    // Writes the stored check state back too: a box cleared before the
    // selection is set again.
    UpdateData(false);
}

void PrinterSeriesPage::OnPortSelected() {
    const int show = NetworkEntryChosen() ? SW_SHOW : SW_HIDE;
    ::ShowWindow(GetDlgItem(IDC_ADDRESS_LABEL), show);
    ::ShowWindow(GetDlgItem(IDC_ADDRESS), show);
    UpdateNext();
}

void PrinterSeriesPage::OnAddressChanged() { UpdateNext(); }

void PrinterSeriesPage::OnShowWindow(BOOL show, UINT status) {
    Default();
    UpdateData(true);
    if (show) {
        // Coming back with Next enabled, the page keeps it so; an address
        // that is not valid disables it all the same.
        seriesAllowsNext_ = seriesAllowsNext_ || IsFrameNextEnabled();
        UpdateNext();
    }
    // The check boxes and the port decide the install.
    choices_.setDefaultPrinter = setDefaultPrinter != 0;
    choices_.testReceipt = ::IsDlgButtonChecked(m_hWnd, IDC_TEST_RECEIPT) == BST_CHECKED;
    PortChoice port;
    if (ChosenPort(port)) choices_.port = port;
}
