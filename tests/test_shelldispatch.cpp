// The automation driver against a recording IDispatch (argument packing, results,
// errors, reference ownership) and the Shell.Application wrapper against both the
// recorder and the shell's own object.
#include "frames/ShellDispatch.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "shell/Wine.h"

namespace {

// {13709620-C279-11CE-A49E-444553540000}
const CLSID kClsidShell = {0x13709620, 0xC279, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

struct RecordedCall {
    DISPID dispid = 0;
    WORD wFlags = 0;
    std::vector<VARIANT> args;  // copies, in DISPPARAMS order (last argument first)
    std::vector<DISPID> named;
    bool bWantedResult = false;
};

// Records every Invoke and answers with a programmed result or failure.
class CRecordingDispatch : public IDispatch {
public:
    LONG m_cRef = 1;
    std::vector<RecordedCall> m_calls;
    HRESULT m_hrAnswer = S_OK;
    VARIANT m_result;
    // For DISP_E_EXCEPTION answers.
    std::wstring m_description, m_source;
    WORD m_wCode = 0;
    SCODE m_scode = 0;
    bool m_bDeferred = false;

    CRecordingDispatch() { VariantInit(&m_result); }
    ~CRecordingDispatch()
    {
        VariantClear(&m_result);
        for (auto& c : m_calls)
            for (auto& v : c.args) VariantClear(&v);
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_cRef); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--m_cRef); }
    STDMETHODIMP GetTypeInfoCount(UINT* pc) override
    {
        *pc = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD wFlags, DISPPARAMS* pdp, VARIANT* pResult,
                        EXCEPINFO* pExcepInfo, UINT*) override
    {
        RecordedCall call;
        call.dispid = dispid;
        call.wFlags = wFlags;
        call.bWantedResult = pResult != nullptr;
        for (UINT i = 0; i < pdp->cArgs; ++i) {
            VARIANT v;
            VariantInit(&v);
            VariantCopy(&v, &pdp->rgvarg[i]);
            call.args.push_back(v);
        }
        for (UINT i = 0; i < pdp->cNamedArgs; ++i) call.named.push_back(pdp->rgdispidNamedArgs[i]);
        m_calls.push_back(call);

        if (m_hrAnswer == DISP_E_EXCEPTION) {
            *pExcepInfo = EXCEPINFO{};
            pExcepInfo->wCode = m_wCode;
            pExcepInfo->scode = m_scode;
            pExcepInfo->bstrSource = SysAllocString(m_source.c_str());
            if (m_bDeferred) {
                pExcepInfo->pfnDeferredFillIn = &FillIn;
                s_pDeferredFrom = this;
            } else {
                pExcepInfo->bstrDescription = SysAllocString(m_description.c_str());
            }
            return DISP_E_EXCEPTION;
        }
        if (FAILED(m_hrAnswer)) return m_hrAnswer;
        if (pResult) VariantCopy(pResult, &m_result);
        return S_OK;
    }

    void AnswerString(const wchar_t* psz)
    {
        VariantClear(&m_result);
        m_result.vt = VT_BSTR;
        m_result.bstrVal = SysAllocString(psz);
    }
    // An object-valued member that returns no object.
    void AnswerNoObject()
    {
        VariantClear(&m_result);
        m_result.vt = VT_DISPATCH;
        m_result.pdispVal = nullptr;
    }
    const RecordedCall& Last() const { return m_calls.back(); }

private:
    static CRecordingDispatch* s_pDeferredFrom;
    static HRESULT STDAPICALLTYPE FillIn(EXCEPINFO* p)
    {
        p->bstrDescription = SysAllocString(s_pDeferredFrom->m_description.c_str());
        return S_OK;
    }
};

CRecordingDispatch* CRecordingDispatch::s_pDeferredFrom = nullptr;

std::wstring Wide(const VARIANT& v)
{
    return v.vt == VT_BSTR && v.bstrVal ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring();
}

// The shell's own automation object, or null where it cannot be created.
IDispatch* CreateShellApplication()
{
    IDispatch* p = nullptr;
    if (FAILED(CoCreateInstance(kClsidShell, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&p))))
        return nullptr;
    return p;
}

// The 23 members in the order of the interface, each called on the wrapper.
struct Member {
    const wchar_t* name;
    WORD wFlags;
    std::function<void(CShellDispatch&)> call;
};

std::vector<Member> AllMembers()
{
    VARIANT vDir;
    VariantInit(&vDir);
    vDir.vt = VT_I4;
    vDir.lVal = 0;  // the desktop
    auto release = [](LPDISPATCH p) {
        if (p) p->Release();
    };
    return {
        {L"Application", DISPATCH_PROPERTYGET, [=](CShellDispatch& s) { release(s.GetApplication()); }},
        {L"Parent", DISPATCH_PROPERTYGET, [=](CShellDispatch& s) { release(s.GetParent()); }},
        {L"NameSpace", DISPATCH_METHOD, [=](CShellDispatch& s) { release(s.NameSpace(vDir)); }},
        {L"BrowseForFolder", DISPATCH_METHOD,
         [=](CShellDispatch& s) { release(s.BrowseForFolder(0, "Pick", 0, vDir)); }},
        {L"Windows", DISPATCH_METHOD, [=](CShellDispatch& s) { release(s.Windows()); }},
        {L"Open", DISPATCH_METHOD, [=](CShellDispatch& s) { s.Open(vDir); }},
        {L"Explore", DISPATCH_METHOD, [=](CShellDispatch& s) { s.Explore(vDir); }},
        {L"MinimizeAll", DISPATCH_METHOD, [](CShellDispatch& s) { s.MinimizeAll(); }},
        {L"UndoMinimizeALL", DISPATCH_METHOD, [](CShellDispatch& s) { s.UndoMinimizeALL(); }},
        {L"FileRun", DISPATCH_METHOD, [](CShellDispatch& s) { s.FileRun(); }},
        {L"CascadeWindows", DISPATCH_METHOD, [](CShellDispatch& s) { s.CascadeWindows(); }},
        {L"TileVertically", DISPATCH_METHOD, [](CShellDispatch& s) { s.TileVertically(); }},
        {L"TileHorizontally", DISPATCH_METHOD, [](CShellDispatch& s) { s.TileHorizontally(); }},
        {L"ShutdownWindows", DISPATCH_METHOD, [](CShellDispatch& s) { s.ShutdownWindows(); }},
        {L"Suspend", DISPATCH_METHOD, [](CShellDispatch& s) { s.Suspend(); }},
        {L"EjectPC", DISPATCH_METHOD, [](CShellDispatch& s) { s.EjectPC(); }},
        {L"SetTime", DISPATCH_METHOD, [](CShellDispatch& s) { s.SetTime(); }},
        {L"TrayProperties", DISPATCH_METHOD, [](CShellDispatch& s) { s.TrayProperties(); }},
        {L"Help", DISPATCH_METHOD, [](CShellDispatch& s) { s.Help(); }},
        {L"FindFiles", DISPATCH_METHOD, [](CShellDispatch& s) { s.FindFiles(); }},
        {L"FindComputer", DISPATCH_METHOD, [](CShellDispatch& s) { s.FindComputer(); }},
        {L"RefreshMenu", DISPATCH_METHOD, [](CShellDispatch& s) { s.RefreshMenu(); }},
        {L"ControlPanelItem", DISPATCH_METHOD, [](CShellDispatch& s) { s.ControlPanelItem("desk.cpl"); }},
    };
}

}  // namespace

// ---- The driver ------------------------------------------------------------------------

TEST(DispatchDriver, PacksArgumentsLastToFirstWithTheirAutomationTypes)
{
    CRecordingDispatch server;
    COleDispatchDriver driver(&server, FALSE);
    VARIANT vIn;
    VariantInit(&vIn);
    vIn.vt = VT_I4;
    vIn.lVal = 77;
    static const BYTE params[] = VTS_I2 VTS_BSTR VTS_BOOL VTS_R4 VTS_VARIANT VTS_DISPATCH VTS_I4;
    driver.InvokeHelper(0x42, DISPATCH_METHOD, VT_EMPTY, nullptr, params, static_cast<short>(-3),
                        "C:\\Some Folder", TRUE, 1.5f, &vIn, static_cast<LPDISPATCH>(&server), 123456789L);

    ASSERT_EQ(1u, server.m_calls.size());
    const RecordedCall& c = server.Last();
    EXPECT_EQ(0x42, c.dispid);
    EXPECT_EQ(DISPATCH_METHOD, c.wFlags);
    EXPECT_FALSE(c.bWantedResult);
    EXPECT_TRUE(c.named.empty());
    ASSERT_EQ(7u, c.args.size());
    EXPECT_EQ(VT_I4, c.args[0].vt);
    EXPECT_EQ(123456789, c.args[0].lVal);
    EXPECT_EQ(VT_DISPATCH, c.args[1].vt);
    EXPECT_EQ(static_cast<IDispatch*>(&server), c.args[1].pdispVal);
    EXPECT_EQ(VT_I4, c.args[2].vt);
    EXPECT_EQ(77, c.args[2].lVal);
    EXPECT_EQ(VT_R4, c.args[3].vt);
    EXPECT_EQ(1.5f, c.args[3].fltVal);
    EXPECT_EQ(VT_BOOL, c.args[4].vt);
    EXPECT_EQ(VARIANT_TRUE, c.args[4].boolVal);
    EXPECT_EQ(L"C:\\Some Folder", Wide(c.args[5]));
    EXPECT_EQ(VT_I2, c.args[6].vt);
    EXPECT_EQ(-3, c.args[6].iVal);
}

TEST(DispatchDriver, PropertiesAreReadAndAssignedByName)
{
    CRecordingDispatch server;
    COleDispatchDriver driver(&server, FALSE);
    server.AnswerString(L"Folvane");
    CString value;
    driver.GetProperty(7, VT_BSTR, &value);
    EXPECT_STREQ("Folvane", value);
    EXPECT_EQ(DISPATCH_PROPERTYGET, server.Last().wFlags);
    EXPECT_TRUE(server.Last().bWantedResult);
    EXPECT_TRUE(server.Last().args.empty());

    driver.SetProperty(7, VT_BSTR, "new value");
    const RecordedCall& put = server.Last();
    EXPECT_EQ(DISPATCH_PROPERTYPUT, put.wFlags);
    ASSERT_EQ(1u, put.args.size());
    EXPECT_EQ(L"new value", Wide(put.args[0]));
    ASSERT_EQ(1u, put.named.size());
    EXPECT_EQ(DISPID_PROPERTYPUT, put.named[0]);
}

TEST(DispatchDriver, ResultIsConvertedToTheAskedTypeOrTheCallFails)
{
    CRecordingDispatch server;
    COleDispatchDriver driver(&server, FALSE);
    server.AnswerString(L"42");
    long n = 0;
    driver.InvokeHelper(1, DISPATCH_METHOD, VT_I4, &n, nullptr);
    EXPECT_EQ(42, n);

    server.AnswerString(L"forty-two");
    n = -1;
    try {
        driver.InvokeHelper(1, DISPATCH_METHOD, VT_I4, &n, nullptr);
        ADD_FAILURE() << "a result that does not convert was taken as success";
    } catch (const COleException& e) {
        EXPECT_EQ(DISP_E_TYPEMISMATCH, e.m_sc);
    }
    EXPECT_EQ(-1, n);
}

TEST(DispatchDriver, ServerExceptionIsThrownWithItsDescriptionAndCodes)
{
    for (bool bDeferred : {false, true}) {
        CRecordingDispatch server;
        server.m_hrAnswer = DISP_E_EXCEPTION;
        server.m_description = L"The drive is not ready.";
        server.m_source = L"Recorder";
        server.m_scode = E_FAIL;
        server.m_bDeferred = bDeferred;
        COleDispatchDriver driver(&server, FALSE);
        try {
            driver.InvokeHelper(5, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
            ADD_FAILURE() << "no exception";
        } catch (const COleDispatchException& e) {
            EXPECT_STREQ("The drive is not ready.", e.m_strDescription) << "deferred " << bDeferred;
            EXPECT_STREQ("Recorder", e.m_strSource);
            EXPECT_EQ(E_FAIL, e.m_scError);
            CString text;
            EXPECT_TRUE(e.GetErrorMessage(text));
            EXPECT_STREQ("The drive is not ready.", text);
        }
    }
}

TEST(DispatchDriver, OtherFailuresAndAMissingInterfaceThrowOleExceptions)
{
    CRecordingDispatch server;
    server.m_hrAnswer = DISP_E_MEMBERNOTFOUND;
    COleDispatchDriver driver(&server, FALSE);
    try {
        driver.InvokeHelper(5, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const COleException& e) {
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND, e.m_sc);
    }

    // A driver with nothing attached must not pass for a successful call.
    COleDispatchDriver empty;
    EXPECT_THROW(empty.InvokeHelper(5, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr), COleException);
}

TEST(DispatchDriver, ReleasesOnlyWhatItWasGivenToRelease)
{
    CRecordingDispatch server;
    server.AddRef();  // the reference a driver takes over
    {
        COleDispatchDriver owning(&server);
        COleDispatchDriver copy(owning);
        EXPECT_EQ(3, server.m_cRef);
    }
    EXPECT_EQ(1, server.m_cRef);

    {
        COleDispatchDriver borrowing(&server, FALSE);
    }
    EXPECT_EQ(1, server.m_cRef);

    server.AddRef();
    COleDispatchDriver driver(&server);
    LPDISPATCH p = driver.DetachDispatch();
    EXPECT_EQ(static_cast<LPDISPATCH>(&server), p);
    EXPECT_EQ(nullptr, driver.m_lpDispatch);
    EXPECT_EQ(2, server.m_cRef);

    // Attaching over a held interface releases the old one.
    driver.AttachDispatch(p);
    CRecordingDispatch other;
    driver.AttachDispatch(&other, FALSE);
    EXPECT_EQ(1, server.m_cRef);
    driver.ReleaseDispatch();
    EXPECT_EQ(1, other.m_cRef);
    EXPECT_EQ(nullptr, driver.m_lpDispatch);
}

// ---- The Shell.Application wrapper ------------------------------------------------------

// By default the wrapper takes over the reference it is given, constructed or attached, and
// lets it go when it is destroyed; its constructor passes on being told not to. (The driver's
// own handling of the reference is checked above.)
TEST(ShellDispatch, ReleasesTheReferenceItTookOverWhenDestroyed)
{
    CRecordingDispatch server;
    server.AddRef();  // the reference handed over
    { CShellDispatch s(&server); }
    EXPECT_EQ(1, server.m_cRef) << "constructed with the default";
    server.AddRef();
    {
        CShellDispatch s;
        s.AttachDispatch(&server);
    }
    EXPECT_EQ(1, server.m_cRef) << "attached with the default";
    { CShellDispatch s(&server, FALSE); }
    EXPECT_EQ(1, server.m_cRef) << "constructed not to release";
}

TEST(ShellDispatch, EachMemberCallsItsDispatchIdInTheInterfacesOrder)
{
    CRecordingDispatch server;
    server.AnswerNoObject();
    CShellDispatch shell(&server, FALSE);
    const std::vector<Member> members = AllMembers();
    ASSERT_EQ(23u, members.size());
    for (size_t i = 0; i < members.size(); ++i) {
        members[i].call(shell);
        ASSERT_EQ(i + 1, server.m_calls.size());
        EXPECT_EQ(static_cast<DISPID>(0x60020000 + i), server.Last().dispid) << "member " << i;
        EXPECT_EQ(members[i].wFlags, server.Last().wFlags) << "member " << i;
        if (members[i].name == std::wstring(L"MinimizeAll") || members[i].name == std::wstring(L"FileRun") ||
            members[i].name == std::wstring(L"FindFiles") || members[i].name == std::wstring(L"FindComputer")) {
            // The four the program uses: no arguments, no result asked for.
            EXPECT_TRUE(server.Last().args.empty()) << "member " << i;
            EXPECT_FALSE(server.Last().bWantedResult) << "member " << i;
        }
    }
}

TEST(ShellDispatch, ArgumentsGoInTheInterfacesOrder)
{
    CRecordingDispatch server;
    server.AnswerNoObject();
    CShellDispatch shell(&server, FALSE);
    VARIANT vRoot;
    VariantInit(&vRoot);
    vRoot.vt = VT_I4;
    vRoot.lVal = 17;
    LPDISPATCH p = shell.BrowseForFolder(0x1234, "Choose a folder", 0x41, vRoot);
    EXPECT_EQ(nullptr, p);
    const RecordedCall& c = server.Last();
    ASSERT_EQ(4u, c.args.size());
    EXPECT_EQ(17, c.args[0].lVal);
    EXPECT_EQ(0x41, c.args[1].lVal);
    EXPECT_EQ(L"Choose a folder", Wide(c.args[2]));
    EXPECT_EQ(0x1234, c.args[3].lVal);

    shell.ControlPanelItem("main.cpl");
    ASSERT_EQ(1u, server.Last().args.size());
    EXPECT_EQ(L"main.cpl", Wide(server.Last().args[0]));
}

TEST(ShellDispatch, DispatchIdsAreTheShellObjectsOwn)
{
    IDispatch* pShell = CreateShellApplication();
    if (!pShell) GTEST_SKIP() << "Shell.Application cannot be created here";
    const std::vector<Member> members = AllMembers();
    for (size_t i = 0; i < members.size(); ++i) {
        LPOLESTR name = const_cast<LPOLESTR>(members[i].name);
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(S_OK, pShell->GetIDsOfNames(IID_NULL, &name, 1, 0, &id)) << "member " << i;
        EXPECT_EQ(static_cast<DISPID>(0x60020000 + i), id) << "member " << i;
    }
    pShell->Release();
}

// Wine creates Shell.Application but implements none of the four calls.
TEST(ShellDispatch, WineLacksTheFourCommands_TheyThrowAndTheWrapperStaysUsable)
{
    if (!IsRunningUnderWine()) GTEST_SKIP() << "on Windows the four calls open the shell's own windows";
    IDispatch* pShell = CreateShellApplication();
    ASSERT_NE(nullptr, pShell);
    CShellDispatch shell(pShell);
    const std::vector<std::function<void()>> four = {
        [&] { shell.MinimizeAll(); }, [&] { shell.FileRun(); }, [&] { shell.FindFiles(); },
        [&] { shell.FindComputer(); }};
    for (size_t i = 0; i < four.size(); ++i) {
        try {
            four[i]();
            ADD_FAILURE() << "call " << i << " succeeded under Wine";
        } catch (const COleDispatchException& e) {
            EXPECT_EQ(E_NOTIMPL, e.m_scError) << "call " << i;
        }
        // Still usable: a call that Wine does implement goes through.
        VARIANT vDesktop;
        VariantInit(&vDesktop);
        vDesktop.vt = VT_I4;
        vDesktop.lVal = 0;
        LPDISPATCH pFolder = shell.NameSpace(vDesktop);
        EXPECT_NE(nullptr, pFolder) << "after call " << i;
        if (pFolder) pFolder->Release();
    }
}
