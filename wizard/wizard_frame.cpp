#include "wizard_frame.h"

BEGIN_MESSAGE_MAP(WizardFrameDialog, CDialog)
    ON_COMMAND(IDC_BACK, OnBack)
    ON_COMMAND(IDC_NEXT, OnNext)
    ON_COMMAND(IDC_FINISH, OnFinish)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

bool WizardFrameDialog::AddPage(WizardPage* page, int templateId) {
    if (pageCount_ == kMaxPages) return false;
    page->templateId = templateId;
    pages_[pageCount_++] = page;
    return true;
}

WizardPage* WizardFrameDialog::GetActivePage() const {
    for (int i = 0; i < pageCount_; ++i)
        if (pages_[i]->active) return pages_[i];
    return nullptr;
}

WizardPage* WizardFrameDialog::FindPageById(int id) const {
    for (int i = 0; i < pageCount_; ++i)
        if (pages_[i]->templateId == id) return pages_[i];
    return nullptr;
}

void WizardFrameDialog::EnableButton(int id, bool enable) {
    if (HWND button = GetDlgItem(id)) ::EnableWindow(button, enable);
}

bool WizardFrameDialog::ActivatePage(WizardPage* page) {
    if (!page->created) {
        if (!page->Create(static_cast<UINT>(page->templateId), this)) return false;
        page->created = 1;
        if (!page->OnPageCreate()) return false;
    }
    if (!DeactivateActivePage()) return false;

    // Pages sit at the top-left corner of the page area.
    if (HWND area = GetDlgItem(pageAreaId)) {
        RECT rect;
        ::GetWindowRect(area, &rect);
        ScreenToClient(&rect);
        page->SetWindowPos(nullptr, rect.left, rect.top, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    page->EnableWindow(true);
    page->ShowWindow(SW_SHOW);
    page->Invalidate(true);
    page->UpdateWindow();

    page->OnPageEnter();
    page->active = 1;
    return true;
}

bool WizardFrameDialog::DeactivateActivePage() {
    WizardPage* page = GetActivePage();
    if (!page) return true;
    if (!page->OnPageLeave()) return false;
    page->ShowWindow(SW_HIDE);
    page->active = 0;
    return true;
}

bool WizardFrameDialog::DestroyPage(WizardPage* page) {
    if (!page->created) return true;
    if (!page->OnPageLeave()) return false;
    page->OnPageDestroy();
    page->DestroyWindow();
    page->created = 0;
    page->active = 0;
    return true;
}

bool WizardFrameDialog::ShowFirstPage() {
    if (!DeactivateActivePage()) return false;
    EnableBack(false);
    if (pageCount_ > 1) {
        EnableFinish(false);
        EnableNext(true);
    } else {
        EnableFinish(true);
        EnableNext(false);
    }
    WizardPage* first = GetFirstPage();
    return first && ActivatePage(first);
}

bool WizardFrameDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    ModifyStyleEx(0, WS_EX_CONTROLPARENT);
    ShowFirstPage();
    return true;
}

WizardPage* WizardFrameDialog::TargetPage(int target, bool forward) const {
    WizardPage* active = GetActivePage();
    if (!active) return nullptr;
    if (target != 0) return FindPageById(target);
    for (int i = 0; i < pageCount_; ++i)
        if (pages_[i] == active) return Page(forward ? i + 1 : i - 1);
    return nullptr;
}

void WizardFrameDialog::OnBack() {
    WizardPage* active = GetActivePage();
    if (!active) return;
    const int target = active->OnBackTarget();
    if (target == -1) return;
    WizardPage* page = TargetPage(target, false);
    if (!page || !ActivatePage(page)) return;
    if (page == GetFirstPage()) {
        EnableBack(false);
        EnableFinish(false);
    }
    EnableNext(true);
}

void WizardFrameDialog::OnNext() {
    WizardPage* active = GetActivePage();
    if (!active) return;
    const int target = active->OnNextTarget();
    if (target == -1) return;
    WizardPage* page = TargetPage(target, true);
    if (!page || !ActivatePage(page)) return;
    if (page == GetLastPage()) {
        EnableNext(false);
        EnableFinish(true);
    }
    EnableBack(true);
}

void WizardFrameDialog::OnFinish() {
    WizardPage* active = GetActivePage();
    if (active && !active->OnPageLeave()) return;
    for (int i = 0; i < pageCount_; ++i)
        if (pages_[i]->created && !pages_[i]->OnFinishQuery()) return;
    UpdateData(true);
    EndDialog(IDC_FINISH);
}

void WizardFrameDialog::OnCancel() {
    for (int i = 0; i < pageCount_; ++i)
        if (pages_[i]->created && !pages_[i]->OnCancelQuery()) return;
    EndDialog(IDCANCEL);
}

void WizardFrameDialog::OnDestroy() {
    for (int i = 0; i < pageCount_; ++i) DestroyPage(pages_[i]);
    Default();
}
