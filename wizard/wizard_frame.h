// The modal frame of the wizard: keeps the pages in order, creates each one
// the first time it is reached, shows one at a time over the page area and
// drives the Back, Next, Finish and Cancel buttons.
#pragma once
#include "wizard_page.h"
#include "../resources/resource.h"

class WizardFrameDialog : public CDialog {
public:
    explicit WizardFrameDialog(UINT templateId, CWnd* parent = nullptr)
        : CDialog(templateId, parent) {}

    // The frame does not own the pages: their creator keeps them alive for
    // as long as the frame window exists. False, and the page left out,
    // when the frame already holds kMaxPages.
    bool AddPage(WizardPage* page, int templateId);
    void SetPageAreaId(int id) { pageAreaId = id; }

    static constexpr int kMaxPages = 8;
    int PageCount() const { return pageCount_; }
    // The page at `index` in page order; null outside 0 to PageCount() - 1.
    WizardPage* Page(int index) const { return index >= 0 && index < pageCount_ ? pages_[index] : nullptr; }
    WizardPage* GetFirstPage() const { return Page(0); }
    WizardPage* GetLastPage() const { return Page(pageCount_ - 1); }
    WizardPage* GetActivePage() const;
    WizardPage* FindPageById(int id) const;

    void EnableBack(bool enable) { EnableButton(IDC_BACK, enable); }
    void EnableNext(bool enable) { EnableButton(IDC_NEXT, enable); }
    void EnableFinish(bool enable) { EnableButton(IDC_FINISH, enable); }

    bool ActivatePage(WizardPage* page);
    bool DeactivateActivePage();
    bool DestroyPage(WizardPage* page);
    bool ShowFirstPage();

    bool OnInitDialog() override;

    int pageAreaId = 0;

protected:
    void OnBack();
    void OnNext();
    void OnFinish();
    void OnCancel() override;
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    void EnableButton(int id, bool enable);
    // The neighbour of the active page for target 0, else the page named by
    // the target; null when there is none.
    WizardPage* TargetPage(int target, bool forward) const;

    WizardPage* pages_[kMaxPages] = {};
    int pageCount_ = 0;
};
