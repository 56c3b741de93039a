// Modal dialogs: ownership and modality, data exchange both ways, validation,
// control subclassing and the ways a dialog ends. Driven from inside the dialog's
// own modal loop by posted steps, on the Run dialog's template (static, edit, OK, Cancel).
#include "framework/Dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "res/resource.h"

namespace {

const UINT WM_STEP = WM_APP + 10;
const UINT WM_PROBE = WM_APP + 11;
const LRESULT kProbeAnswer = 0x5EED;
const INT_PTR kTimedOut = -2;

// A control class of the test's own, to see that subclassing routes the control's messages.
class CProbeEdit : public CWnd {
public:
    int m_nProbes = 0;
    LRESULT OnProbe(WPARAM, LPARAM)
    {
        ++m_nProbes;
        return kProbeAnswer;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeEdit, CWnd)
    ON_MESSAGE(WM_PROBE, &CProbeEdit::OnProbe)
END_MESSAGE_MAP()

// Runs its steps one after the other inside the modal loop; a step posts WM_STEP
// (Next) to have the next one run after the messages it posted itself.
class CScriptDlg : public CDialog {
public:
    explicit CScriptDlg(CWnd* pParent = nullptr) : CDialog(IDD_RUN, pParent) {}

    CString m_strCommandLine;
    CProbeEdit m_edit;
    bool m_bAttachControl = false;
    bool m_bRequireText = false;
    std::vector<std::function<void(CScriptDlg&)>> m_steps;

    void Next() { PostMessage(WM_STEP); }
    HWND Item(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    void Click(int nID) { PostMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(Item(nID))); }
    std::string EditText() const
    {
        char buf[260] = "";
        ::GetWindowTextA(Item(IDC_COMMAND_LINE), buf, sizeof(buf));
        return buf;
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        if (m_bAttachControl) DDX_Control(pDX, IDC_COMMAND_LINE, m_edit);
        DDX_Text(pDX, IDC_COMMAND_LINE, m_strCommandLine);
        if (pDX->m_bSaveAndValidate && m_bRequireText && m_strCommandLine.IsEmpty()) pDX->Fail();
    }

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_nextStep = 0;
        // A script that goes wrong must not leave the test in the modal loop.
        ::SetTimer(m_hWnd, 1, 10000, nullptr);
        RunStep();
        return TRUE;
    }

    LRESULT OnStep(WPARAM, LPARAM)
    {
        RunStep();
        return 0;
    }

    LRESULT OnTimer(WPARAM, LPARAM)
    {
        EndDialog(static_cast<int>(kTimedOut));
        return 0;
    }

    DECLARE_MESSAGE_MAP()

private:
    void RunStep()
    {
        if (m_nextStep < m_steps.size()) m_steps[m_nextStep++](*this);
    }
    size_t m_nextStep = 0;
};

BEGIN_MESSAGE_MAP(CScriptDlg, CDialog)
    ON_MESSAGE(WM_STEP, &CScriptDlg::OnStep)
    ON_MESSAGE(WM_TIMER, &CScriptDlg::OnTimer)
END_MESSAGE_MAP()

// A visible top-level window with a child, to own dialogs.
class COwner {
public:
    COwner()
    {
        m_hWnd = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        m_hChild = CreateWindowExA(0, "STATIC", "Child", WS_CHILD | WS_VISIBLE, 5, 5, 50, 20, m_hWnd, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    }
    ~COwner() { DestroyWindow(m_hWnd); }
    HWND m_hWnd;
    HWND m_hChild;
};

}  // namespace

TEST(Dialog, RunsModallyOwnedByTheTopLevelWindowOfItsParentWhichItDisables)
{
    COwner owner;
    CScriptDlg dlg(CWnd::FromHandle(owner.m_hChild));
    bool bAttached = false;
    HWND hOwnerSeen = nullptr;
    BOOL bOwnerEnabled = TRUE;
    dlg.m_steps.push_back([&](CScriptDlg& d) {
        bAttached = CWnd::FromHandlePermanent(d.m_hWnd) == &d;
        hOwnerSeen = ::GetWindow(d.m_hWnd, GW_OWNER);
        bOwnerEnabled = ::IsWindowEnabled(owner.m_hWnd);
        d.Click(IDOK);
    });

    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(bAttached);
    EXPECT_EQ(owner.m_hWnd, hOwnerSeen);
    EXPECT_FALSE(bOwnerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
}

TEST(Dialog, TextIsShownAtStartAndTakenBackOnlyOnOk)
{
    CScriptDlg dlg;
    dlg.m_strCommandLine = "notepad.exe readme.txt";
    std::string shown;
    dlg.m_steps.push_back([&](CScriptDlg& d) {
        shown = d.EditText();
        ::SetWindowTextA(d.Item(IDC_COMMAND_LINE), "calc.exe /x");
        d.Click(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ("notepad.exe readme.txt", shown);
    EXPECT_STREQ("calc.exe /x", dlg.m_strCommandLine);

    // Emptied text comes back empty, not as the old value.
    dlg.m_steps.assign(1, [](CScriptDlg& d) {
        ::SetWindowTextA(d.Item(IDC_COMMAND_LINE), "");
        d.Click(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_STREQ("", dlg.m_strCommandLine);
}

TEST(Dialog, CancelEscapeAndTheCloseBoxEndWithCancelAndKeepTheMember)
{
    const std::vector<std::function<void(CScriptDlg&)>> ends = {
        [](CScriptDlg& d) { d.Click(IDCANCEL); },
        [](CScriptDlg& d) {
            ::PostMessageA(d.Item(IDC_COMMAND_LINE), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        },
        [](CScriptDlg& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (size_t i = 0; i < ends.size(); ++i) {
        CScriptDlg dlg;
        dlg.m_strCommandLine = "original";
        dlg.m_steps.push_back([&](CScriptDlg& d) {
            ::SetWindowTextA(d.Item(IDC_COMMAND_LINE), "changed");
            ends[i](d);
        });
        EXPECT_EQ(IDCANCEL, dlg.DoModal()) << "way " << i;
        EXPECT_STREQ("original", dlg.m_strCommandLine) << "way " << i;
    }
}

TEST(Dialog, ControlIsSubclassedIntoItsMemberForTheDialogsLifeAndAgainNextTime)
{
    CScriptDlg dlg;
    dlg.m_bAttachControl = true;
    for (int run = 0; run < 2; ++run) {
        bool bPermanent = false;
        LRESULT answer = 0;
        std::string typed;
        dlg.m_strCommandLine = "ab";
        dlg.m_steps.assign(1, [&](CScriptDlg& d) {
            HWND hEdit = d.Item(IDC_COMMAND_LINE);
            bPermanent = CWnd::FromHandlePermanent(hEdit) == &d.m_edit && d.m_edit.m_hWnd == hEdit;
            answer = ::SendMessageA(hEdit, WM_PROBE, 0, 0);
            // The edit control's own behaviour is still there behind the member.
            ::SendMessageA(hEdit, EM_SETSEL, 2, 2);
            ::SendMessageA(hEdit, WM_CHAR, 'c', 0);
            typed = d.EditText();
            d.Click(IDOK);
        });
        EXPECT_EQ(IDOK, dlg.DoModal()) << "run " << run;
        EXPECT_TRUE(bPermanent) << "run " << run;
        EXPECT_EQ(kProbeAnswer, answer) << "run " << run;
        EXPECT_EQ("abc", typed) << "run " << run;
        EXPECT_STREQ("abc", dlg.m_strCommandLine) << "run " << run;
        EXPECT_EQ(nullptr, dlg.m_edit.m_hWnd) << "run " << run;
    }
    EXPECT_EQ(2, dlg.m_edit.m_nProbes);
}

TEST(Dialog, FailedValidationKeepsTheDialogOpenWithTheFocusOnTheControl)
{
    CScriptDlg dlg;
    dlg.m_bRequireText = true;
    dlg.m_strCommandLine = "old";
    bool bStillOpen = false;
    bool bFocusOnEdit = false;
    std::string keptWhileInvalid;
    dlg.m_steps.push_back([&](CScriptDlg& d) {
        ::SetWindowTextA(d.Item(IDC_COMMAND_LINE), "");
        ::SetFocus(d.Item(IDCANCEL));
        d.Click(IDOK);
        d.Next();
    });
    dlg.m_steps.push_back([&](CScriptDlg& d) {
        bStillOpen = ::IsWindow(d.m_hWnd) != FALSE;
        bFocusOnEdit = ::GetFocus() == d.Item(IDC_COMMAND_LINE);
        ::SetWindowTextA(d.Item(IDC_COMMAND_LINE), "ok.exe");
        d.Click(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(bStillOpen);
    EXPECT_TRUE(bFocusOnEdit);
    EXPECT_STREQ("ok.exe", dlg.m_strCommandLine);
}

TEST(Dialog, MissingTemplateFailsAndLeavesTheNextWindowAlone)
{
    CDialog dlg(0x7FFF);
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_EQ(nullptr, dlg.m_hWnd);

    // A window made without the framework must not be taken for the failed dialog.
    HWND hWnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    ASSERT_NE(nullptr, hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    DestroyWindow(hWnd);
}
