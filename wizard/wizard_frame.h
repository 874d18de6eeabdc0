// The modal frame of the wizard: keeps the pages in order, creates each one
// the first time it is reached, shows one at a time over the page area and
// drives the Back, Next, Finish and Cancel buttons.
#pragma once
#include "wizard_page.h"
#include "../resources/resource.h"
#include <list>

class WizardFrameDialog : public CDialog {
public:
    explicit WizardFrameDialog(UINT templateId, CWnd* parent = nullptr)
        : CDialog(templateId, parent) {}

    // The frame does not own the pages: their creator keeps them alive for
    // as long as the frame window exists.
    void AddPage(WizardPage* page, int templateId);
    void SetPageAreaId(int id) { pageAreaId = id; }

    WizardPage* GetFirstPage() const { return pageList.empty() ? nullptr : pageList.front(); }
    WizardPage* GetLastPage() const { return pageList.empty() ? nullptr : pageList.back(); }
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

    std::list<WizardPage*> pageList;
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
};
