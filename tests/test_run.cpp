// The Run command: offered for a file-system item selected on the right, its dialog proposing
// the item's name in the item's folder, and what OK starts there (a program of the test's own
// records where it started and with which command line), what the shell is handed when that
// fails, and what every invocation gives back.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "res/resource.h"
#include "shell/AnsiNames.h"
#include "shell/ComPtr.h"
#include "shell/IdListPtr.h"
#include "shell/ShellSelection.h"
#include "support/BuiltPrograms.h"
#include "support/FolvaneProcess.h"
#include "support/MallocSpy.h"
#include "support/ScratchFolder.h"
#include "support/TestShellFolder.h"
#include "support/TopLevelWindows.h"
#include "support/ViewTest.h"
#include "view/FolvaneView.h"
#include "view/RunCommand.h"

namespace {

// ---- The Run dialog, driven from a thread ---------------------------------------------------

// What the Run box showed before the driver ended it.
struct RunBox {
    bool shown = false;
    std::string caption, directoryLine, commandLine;
    int focusId = 0;
    HWND owner = nullptr;
    int otherBoxes = 0;  // boxes of any other kind, closed unread
};

enum class Ending { OK, Cancel, CloseBox };

// Answers the Run box while the command's modal loop holds the test's thread: reads it, puts
// in the text given (when one is), and ends it the given way. Every other box is cancelled,
// so that no box outlives a failing test.
class RunBoxDriver {
public:
    RunBoxDriver(Ending ending, const char* pszText) : m_ending(ending), m_bSetText(pszText != nullptr)
    {
        if (pszText) m_text = pszText;
        m_thread = std::thread([this] { Run(); });
    }
    ~RunBoxDriver() { Stop(); }
    // Stops the driver; what it saw.
    RunBox Result()
    {
        Stop();
        return m_box;
    }

private:
    void Stop()
    {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    void Run()
    {
        std::vector<HWND> answered;
        while (!m_stop) {
            for (HWND hBox : TopLevelWindowsOf(GetCurrentProcessId(), true, "#32770")) {
                bool known = false;
                for (HWND h : answered) known = known || h == hBox;
                if (known) continue;
                answered.push_back(hBox);
                Answer(hBox);
            }
            Sleep(10);
        }
    }
    void Answer(HWND hBox)
    {
        char text[MAX_PATH * 2] = "";
        GetWindowTextA(hBox, text, sizeof(text));
        if (m_box.shown || std::string(text) != "Run" || !GetDlgItem(hBox, IDC_COMMAND_LINE)) {
            m_box.otherBoxes++;
            PostMessageA(hBox, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        m_box.shown = true;
        m_box.caption = text;
        m_box.owner = GetWindow(hBox, GW_OWNER);
        GetDlgItemTextA(hBox, IDC_CURRENT_DIRECTORY, text, sizeof(text));
        m_box.directoryLine = text;
        GetDlgItemTextA(hBox, IDC_COMMAND_LINE, text, sizeof(text));
        m_box.commandLine = text;
        GUITHREADINFO gui = {};
        gui.cbSize = sizeof(gui);
        if (GetGUIThreadInfo(GetWindowThreadProcessId(hBox, nullptr), &gui) && gui.hwndFocus) {
            m_box.focusId = GetDlgCtrlID(gui.hwndFocus);
        }
        if (m_bSetText) SetDlgItemTextA(hBox, IDC_COMMAND_LINE, m_text.c_str());
        switch (m_ending) {
        case Ending::OK:
            PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hBox, IDOK)));
            break;
        case Ending::Cancel:
            PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(hBox, IDCANCEL)));
            break;
        case Ending::CloseBox:
            PostMessageA(hBox, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
    }

    Ending m_ending;
    bool m_bSetText;
    std::string m_text;
    RunBox m_box;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// ---- A folder of the test's own, standing between the tree and the shell -------------------

// Passes every call on to a real folder and counts its own references; the test owns it, so
// a release too many shows as a count below zero rather than as a crash.
class PassFolder : public CForwardingFolder {
public:
    explicit PassFolder(IShellFolder* pReal) : CForwardingFolder(pReal) {}

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_nRef); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--m_nRef); }

    LONG m_nRef = 1;
};

// How the folder on show misbehaves.
struct FolderFaults {
    bool bFailBind = false;         // it cannot be bound
    bool bFailDisplayName = false;  // it has no name for the item
    bool bNotFileSystem = false;    // its items are not part of the file system
};

// The folder on show as the Run command binds it: remembers the item lists it is asked about.
class ShownFolder : public PassFolder {
public:
    ShownFolder(IShellFolder* pReal, const FolderFaults& faults) : PassFolder(pReal), m_faults(faults) {}

    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT cidl, LPCITEMIDLIST* apidl, SFGAOF* rgf) override
    {
        if (cidl >= 1) Seen(apidl[0]);
        HRESULT hr = PassFolder::GetAttributesOf(cidl, apidl, rgf);
        if (m_faults.bNotFileSystem) *rgf &= ~static_cast<SFGAOF>(SFGAO_FILESYSTEM);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST pidl, SHGDNF flags, STRRET* pName) override
    {
        Seen(pidl);
        if (m_faults.bFailDisplayName) return E_FAIL;
        return PassFolder::GetDisplayNameOf(pidl, flags, pName);
    }

    struct SeenList {
        LPCITEMIDLIST pidl;
        ULONG nSerial;  // the allocator spy's, 0 for a block it did not know
    };
    std::vector<SeenList> m_seen;

private:
    void Seen(LPCITEMIDLIST pidl) { m_seen.push_back({pidl, CMallocSpy::Instance().SerialOf(pidl)}); }
    FolderFaults m_faults;
};

// Stands in a tree item's record for the folder that contains the item: every bind of the
// item's own folder goes through a ShownFolder that the test keeps.
class ContainingFolder : public PassFolder {
public:
    explicit ContainingFolder(IShellFolder* pReal) : PassFolder(pReal) {}

    HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST pidl, IBindCtx* pbc, REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        if (m_faults.bFailBind) return E_FAIL;
        CComPtr<IShellFolder> pReal;
        HRESULT hr = PassFolder::BindToObject(pidl, pbc, IID_IShellFolder, pReal.PutVoid());
        if (FAILED(hr) || !IsEqualIID(riid, IID_IShellFolder)) return FAILED(hr) ? hr : E_NOINTERFACE;
        m_bound.push_back(std::make_unique<ShownFolder>(pReal, m_faults));
        *ppv = static_cast<IShellFolder*>(m_bound.back().get());
        return S_OK;
    }

    FolderFaults m_faults;
    std::vector<std::unique_ptr<ShownFolder>> m_bound;
};

// Puts a ContainingFolder into the record of the tree's selected item for as long as it lives.
// The tree must keep that item meanwhile: no navigation while one is in place.
class FolderInterposer {
public:
    explicit FolderInterposer(CFolvaneView* pView)
    {
        m_pRecord = pView->m_tree.GetItemRecord(pView->m_tree.GetSelectedItem());
        if (!m_pRecord) return;
        m_pOriginal = m_pRecord->pFolder;
        m_pFolder = std::make_unique<ContainingFolder>(m_pOriginal);
        m_pRecord->pFolder = CComPtr<IShellFolder>(m_pFolder.get());
    }
    ~FolderInterposer()
    {
        if (m_pRecord) m_pRecord->pFolder = m_pOriginal;
    }
    FolderInterposer(const FolderInterposer&) = delete;
    FolderInterposer& operator=(const FolderInterposer&) = delete;

    bool Ready() const { return m_pFolder != nullptr; }
    ContainingFolder& Folder() { return *m_pFolder; }

    // Every bound folder released exactly once, and every item list it saw freed.
    void ExpectAllGivenBack(const std::string& context)
    {
        for (const auto& pBound : m_pFolder->m_bound) {
            EXPECT_EQ(0, pBound->m_nRef) << "the bound folder is released exactly once: " << context;
            for (const ShownFolder::SeenList& seen : pBound->m_seen) {
                EXPECT_NE(0u, seen.nSerial) << context;
                // Its address may hold a newer block by now.
                EXPECT_NE(seen.nSerial, CMallocSpy::Instance().SerialOf(seen.pidl)) << "the item's list is freed: " << context;
            }
        }
    }
    // How many times the item's folder was bound.
    size_t Binds() const { return m_pFolder->m_bound.size(); }

private:
    FolderItemData* m_pRecord = nullptr;
    CComPtr<IShellFolder> m_pOriginal;
    std::unique_ptr<ContainingFolder> m_pFolder;
};

// ---- Records of the program of the test's own -----------------------------------------------

struct StartRecord {
    std::string cwd, cmd, exe;
    bool console = false;
};

std::vector<StartRecord> ReadRecords(const std::string& path)
{
    std::vector<StartRecord> records;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    StartRecord current;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("cwd=", 0) == 0) current.cwd = line.substr(4);
        else if (line.rfind("cmd=", 0) == 0) current.cmd = line.substr(4);
        else if (line.rfind("exe=", 0) == 0) current.exe = line.substr(4);
        else if (line.rfind("console=", 0) == 0) current.console = line.substr(8) == "1";
        else if (line == "end") {
            records.push_back(current);
            current = StartRecord();
        }
    }
    return records;
}

std::string WithoutTrailingBackslash(std::string path)
{
    if (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

// A file type of the test's own whose "open" runs the recording program with the file's name.
// Registered for the user as on Windows; Wine's shell looks only at the machine's classes, so
// there too when the user's are not seen through HKEY_CLASSES_ROOT.
class TestFileType {
public:
    static constexpr const char* kExtension = ".folvrun";
    static constexpr const char* kClass = "Folvane.RunTestDocument";

    explicit TestFileType(const std::string& program)
    {
        const std::string command = "\"" + program + "\" \"%1\"";
        Write(HKEY_CURRENT_USER, command);
        HKEY hSeen = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kExtension, 0, KEY_READ, &hSeen) == ERROR_SUCCESS) {
            RegCloseKey(hSeen);
        } else {
            m_bMachine = Write(HKEY_LOCAL_MACHINE, command);
        }
    }
    ~TestFileType()
    {
        Remove(HKEY_CURRENT_USER);
        if (m_bMachine) Remove(HKEY_LOCAL_MACHINE);
    }

private:
    static bool SetDefault(HKEY hRoot, const std::string& key, const std::string& value)
    {
        HKEY h = nullptr;
        if (RegCreateKeyExA(hRoot, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS)
            return false;
        LONG r = RegSetValueExA(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1));
        RegCloseKey(h);
        return r == ERROR_SUCCESS;
    }
    static bool Write(HKEY hRoot, const std::string& command)
    {
        const std::string classes = "Software\\Classes\\";
        return SetDefault(hRoot, classes + kExtension, kClass) &&
               SetDefault(hRoot, classes + kClass + "\\shell\\open\\command", command);
    }
    static void Remove(HKEY hRoot)
    {
        const std::string classes = "Software\\Classes\\";
        RegDeleteTreeA(hRoot, (classes + kExtension).c_str());
        RegDeleteTreeA(hRoot, (classes + kClass).c_str());
    }
    bool m_bMachine = false;
};

// A folder window of the shell's own (another process) titled with a folder's name.
struct FolderWindowSearch {
    std::string title;
    HWND found;
};

BOOL CALLBACK FindFolderWindow(HWND h, LPARAM l)
{
    FolderWindowSearch* s = reinterpret_cast<FolderWindowSearch*>(l);
    char cls[64] = "", text[MAX_PATH] = "";
    GetClassNameA(h, cls, sizeof(cls));
    GetWindowTextA(h, text, sizeof(text));
    if (IsWindowVisible(h) && lstrcmpA(cls, "ExplorerWClass") == 0 && s->title == text) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND ShellFolderWindow(const std::string& title)
{
    FolderWindowSearch search = {title, nullptr};
    EnumWindows(&FindFolderWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

// ---- The command line and the directory, as text ---------------------------------------------

TEST(RunCommandText, AParsingNameSplitsAtItsLastBackslash)
{
    struct Case {
        const char* name;
        const char* directory;
        const char* fileName;
    } cases[] = {
        {"D:\\Tools\\app.exe", "D:\\Tools\\", "app.exe"},
        {"D:\\Docs\\notes.txt", "D:\\Docs\\", "notes.txt"},
        {"D:\\", "D:\\", ""},
        {"\\\\server\\share\\dir\\x y.exe", "\\\\server\\share\\dir\\", "x y.exe"},
        {"D:\\a.b\\c", "D:\\a.b\\", "c"},
        {"\\name", "\\", "name"},
        {"name", "", "name"},  // no backslash at all: all of it is the file name
        {"", "", ""},
    };
    for (const Case& c : cases) {
        CString dir = "stale", file = "stale";
        SplitParsingName(c.name, dir, file);
        EXPECT_EQ(c.directory, dir.str()) << c.name;
        EXPECT_EQ(c.fileName, file.str()) << c.name;
    }
}

TEST(RunCommandText, AProgramNamedWithoutAPathIsFoundInTheFolder)
{
    ScratchFolder folder("runtext");
    folder.MakeFolders({"sub", "dir.exe"});
    folder.MakeFiles({"app.exe", "my tool.exe", "my.com", "notes.txt", "noext", "sub\\deep.exe"});
    const std::string dir = folder.Path() + "\\";
    struct Case {
        const char* commandLine;
        const char* found;  // below the folder; null: not found there
    } cases[] = {
        {"app.exe", "app.exe"},
        {"app.exe one \"two three\"", "app.exe"},
        {"app one", "app.exe"},  // ".exe" added to a name without an extension
        {"  app.exe\tone", "app.exe"},
        {"\"app.exe\" one", "app.exe"},
        {"\"my tool.exe\" one", "my tool.exe"},
        {"my tool.exe one", "my tool.exe"},  // unquoted: "my.exe" first, then "my tool.exe"
        {"my.com x", "my.com"},
        {"notes.txt", "notes.txt"},  // found; whether it starts is the system's matter
        {"APP.EXE", "APP.EXE"},
        {"noext", nullptr},  // looked up as noext.exe
        {"dir.exe", nullptr},  // a folder is no program
        {"sub\\deep.exe", nullptr},  // a name with a path goes its own way
        {"sub/deep.exe", nullptr},
        {"missing.exe app.exe", nullptr},
        {"\"missing app.exe\"", nullptr},
        {"", nullptr},
        {"   ", nullptr},
    };
    for (const Case& c : cases) {
        const std::string expected = c.found ? dir + c.found : "";
        EXPECT_EQ(expected, FindProgramInFolder(dir.c_str(), c.commandLine).str()) << "[" << c.commandLine << "]";
    }
    EXPECT_EQ(dir + "app.exe", FindProgramInFolder(folder.Path().c_str(), "app.exe").str()) << "a directory without its backslash";
    const std::string absolute = dir + "app.exe";
    EXPECT_EQ("", FindProgramInFolder(dir.c_str(), absolute.c_str()).str());
    EXPECT_EQ("", FindProgramInFolder("", "app.exe").str()) << "no directory, nowhere to look";
}

// ---- The command in the running application ---------------------------------------------------

class RunTest : public ViewTest {
protected:
    void SetUp() override
    {
        CMallocSpy::Instance();  // registered before any list the tests follow is made
        ViewTest::SetUp();
        m_tools = m_root.MakeFolder("tools");
        m_root.MakeFolders({"tools\\sub"});
        m_recorder = FixtureProgram("recorder");
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_recorder.c_str())) << m_recorder;
        // "my.exe" is what an unquoted "my tool.exe" would start.
        for (const char* name : {"rec.exe", "my tool.exe", "my.exe"})
            ASSERT_TRUE(CopyFileA(m_recorder.c_str(), (m_tools + "\\" + name).c_str(), FALSE)) << name;
        m_root.MakeFiles({"tools\\notes.folvrun", "tools\\x y.folvrun"});
        m_record = m_root.Sub("record.txt");
        SetEnvironmentVariableA("FOLVANE_RUN_RECORD", m_record.c_str());
        m_fileType = std::make_unique<TestFileType>(m_recorder);
    }
    void TearDown() override
    {
        ViewTest::TearDown();
        m_fileType.reset();
        SetEnvironmentVariableA("FOLVANE_RUN_RECORD", nullptr);
    }

    // A browser window on the tools folder, large enough to list everything.
    CFolvaneView* OpenTools()
    {
        CFolvaneView* pView = Open(m_tools);
        if (!pView) return nullptr;
        SetWindowPos(pView->GetParentFrame()->m_hWnd, HWND_TOP, 0, 0, 700, 420, SWP_NOACTIVATE);
        Pump();
        PumpUntil([&] { return ListIndexOf(pView, "rec.exe") >= 0; });
        return pView;
    }

    // The Run command as the menu gives it, with the dialog answered from a thread.
    RunBox RunFromMenu(Ending ending, const char* pszText = nullptr)
    {
        RunBoxDriver driver(ending, pszText);
        SendMessageA(MainWnd(), WM_COMMAND, ID_RUN, 0);
        return driver.Result();
    }
    // The command's handler itself, whatever its update would say.
    RunBox RunHandler(CFolvaneView* pView, Ending ending)
    {
        RunBoxDriver driver(ending, nullptr);
        pView->OnRun();
        return driver.Result();
    }

    std::vector<StartRecord> Records() { return ReadRecords(m_record); }
    // Waits for the record of one more start than already seen; false when none came.
    bool WaitForRecords(size_t n)
    {
        return WaitFor([&] { return Records().size() >= n; }, 10000);
    }

    std::string m_tools, m_recorder, m_record;
    std::unique_ptr<TestFileType> m_fileType;
};

TEST_F(RunTest, TheCommandIsOfferedOnlyForAFileSystemItemSelectedOnTheRight)
{
    EXPECT_FALSE(Enabled(ID_RUN)) << "no browser window";
    CFolvaneView* pView = OpenTools();
    ASSERT_NE(nullptr, pView);
    struct Case {
        const char* what;
        std::vector<std::string> selection;
        FolderFaults faults;
        BOOL expected;
    } cases[] = {
        {"nothing selected", {}, {}, FALSE},
        {"a program", {"rec.exe"}, {}, TRUE},
        {"a document", {"notes.folvrun"}, {}, TRUE},
        {"a folder", {"sub"}, {}, TRUE},
        {"several", {"sub", "rec.exe"}, {}, TRUE},
        {"an item of a folder outside the file system", {"rec.exe"}, {false, false, true}, FALSE},
        {"a folder that cannot be bound", {"rec.exe"}, {true, false, false}, FALSE},
    };
    for (const Case& c : cases) {
        FolderInterposer interposer(pView);
        ASSERT_TRUE(interposer.Ready());
        interposer.Folder().m_faults = c.faults;
        SelectInList(pView, c.selection);
        EXPECT_EQ(c.expected, Enabled(ID_RUN)) << c.what;
        EXPECT_EQ(c.faults.bFailBind ? 0u : 1u, interposer.Binds()) << c.what;
        interposer.ExpectAllGivenBack(c.what);
    }

    // The computer's own items (the control panel) are no part of the file system.
    CIdListPtr pidlDrives;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, pidlDrives.Put()));
    ASSERT_EQ(S_OK, pView->GetShellBrowser(FALSE)->BrowseObject(pidlDrives, SBSP_SAMEBROWSER | SBSP_ABSOLUTE));
    Pump();
    CComPtr<IShellFolder> pComputer;
    pComputer.Attach(pView->m_tree.BindItemFolder(nullptr));
    ASSERT_TRUE(pComputer);
    std::string virtualItem;
    for (const std::string& name : ListNames(pView)) {
        SelectInList(pView, {name});
        CIdListPtr pidl;
        if (FAILED(GetFirstSelectedItem(pView->m_pShellView, pidl.Put()))) continue;
        LPCITEMIDLIST apidl[1] = {pidl};
        SFGAOF attributes = SFGAO_FILESYSTEM;
        if (SUCCEEDED(pComputer->GetAttributesOf(1, apidl, &attributes)) && !(attributes & SFGAO_FILESYSTEM)) {
            virtualItem = name;
            break;
        }
    }
    ASSERT_FALSE(virtualItem.empty()) << "the computer lists no item outside the file system";
    EXPECT_FALSE(Enabled(ID_RUN)) << virtualItem;

    pView->ReleaseShellView();
    EXPECT_FALSE(Enabled(ID_RUN)) << "no shell view";
}

TEST_F(RunTest, TheDialogProposesTheFirstSelectedItemsNameInItsFolder)
{
    CFolvaneView* pView = OpenTools();
    ASSERT_NE(nullptr, pView);
    SelectInList(pView, {"rec.exe"});
    RunBox box = RunFromMenu(Ending::Cancel);
    ASSERT_TRUE(box.shown);
    EXPECT_EQ("Run", box.caption);
    EXPECT_EQ("rec.exe", box.commandLine);
    EXPECT_EQ("Current Directory: " + m_tools + "\\", box.directoryLine);
    EXPECT_EQ(IDC_COMMAND_LINE, box.focusId);
    EXPECT_EQ(MainWnd(), box.owner);
    EXPECT_EQ(0, box.otherBoxes);

    SelectInList(pView, {"notes.folvrun", "sub", "rec.exe"});
    int first = ListIndexOf(pView, "notes.folvrun");
    for (const char* name : {"sub", "rec.exe"}) first = std::min(first, ListIndexOf(pView, name));
    box = RunFromMenu(Ending::Cancel);
    ASSERT_TRUE(box.shown);
    EXPECT_EQ(ListNames(pView)[first], box.commandLine) << "the first of several, as the view lists them";

    SelectInList(pView, {"my tool.exe"});
    box = RunFromMenu(Ending::Cancel);
    ASSERT_TRUE(box.shown);
    EXPECT_EQ("\"my tool.exe\"", box.commandLine) << "a name with a blank is proposed in quotes";

    // A drive: no file name, the root as the directory.
    const std::string drive = m_root.Path().substr(0, 2);
    CIdListPtr pidlDrives;
    ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, pidlDrives.Put()));
    ASSERT_EQ(S_OK, pView->GetShellBrowser(FALSE)->BrowseObject(pidlDrives, SBSP_SAMEBROWSER | SBSP_ABSOLUTE));
    Pump();
    std::string driveItem;
    for (const std::string& name : ListNames(pView))
        if (name.find(drive) != std::string::npos) driveItem = name;
    ASSERT_FALSE(driveItem.empty()) << "no drive " << drive << " listed";
    SelectInList(pView, {driveItem});
    box = RunFromMenu(Ending::Cancel);
    ASSERT_TRUE(box.shown);
    EXPECT_EQ("", box.commandLine);
    EXPECT_EQ("Current Directory: " + drive + "\\", box.directoryLine);
}

TEST_F(RunTest, OkStartsTheCommandLineAsLeftInTheItemsFolderOrHandsItToTheShell)
{
    CFolvaneView* pView = OpenTools();
    ASSERT_NE(nullptr, pView);
    // With a console here, a program started without DETACHED_PROCESS would share it. Wine
    // attaches a test run without a terminal to a console-less connection: let go of it first.
    struct TestConsole {
        BOOL bMade = (FreeConsole(), AllocConsole());
        ~TestConsole()
        {
            if (bMade) FreeConsole();
        }
    } console;
    ASSERT_NE(0u, GetConsoleCP()) << "the test has a console to share";
    enum Outcome { Nothing, Started, Opened, FolderShown };
    const std::string tools = m_tools;
    const std::string recorderOpens = "\"" + m_recorder + "\" \"" + tools + "\\";
    const std::string byPath = tools + "\\rec.exe eight";  // the program by its full path
    struct Case {
        const char* selected;
        const char* typed;  // null: the proposal as it stands
        Ending ending;
        Outcome outcome;
        std::string expected;  // the command line received, or the title of the folder shown
    } cases[] = {
        {"rec.exe", nullptr, Ending::Cancel, Nothing, ""},
        {"rec.exe", "rec.exe seven", Ending::CloseBox, Nothing, ""},
        {"rec.exe", "absent.exe one", Ending::OK, Nothing, ""},
        {"rec.exe", nullptr, Ending::OK, Started, "rec.exe"},
        {"rec.exe", "rec.exe one \"two three\"", Ending::OK, Started, "rec.exe one \"two three\""},
        {"rec.exe", "rec four", Ending::OK, Started, "rec four"},
        {"my tool.exe", "my tool.exe five", Ending::OK, Started, "my tool.exe five"},
        {"rec.exe", "\"my tool.exe\" six", Ending::OK, Started, "\"my tool.exe\" six"},
        {"rec.exe", byPath.c_str(), Ending::OK, Started, byPath},
        {"notes.folvrun", nullptr, Ending::OK, Opened, recorderOpens + "notes.folvrun\""},
        {"rec.exe", "x y.folvrun", Ending::OK, Opened, recorderOpens + "x y.folvrun\""},
        {"rec.exe", "", Ending::OK, FolderShown, "tools"},
        {"sub", nullptr, Ending::OK, FolderShown, "sub"},
    };

    size_t nStarts = 0;
    for (const Case& c : cases) {
        const std::string what = std::string(c.selected) + " / " + (c.typed ? c.typed : "(as proposed)");
        FolderInterposer interposer(pView);
        ASSERT_TRUE(interposer.Ready());
        SelectInList(pView, {c.selected});
        RunBox box = RunFromMenu(c.ending, c.typed);
        EXPECT_TRUE(box.shown) << what;
        EXPECT_EQ(0, box.otherBoxes) << what;
        interposer.ExpectAllGivenBack(what);
        EXPECT_GE(interposer.Binds(), 1u) << what;
        switch (c.outcome) {
        case Nothing:
            break;
        case Started:
        case Opened: {
            ASSERT_TRUE(WaitForRecords(++nStarts)) << "nothing started: " << what;
            StartRecord rec = Records()[nStarts - 1];
            EXPECT_EQ(c.expected, rec.cmd) << what;
            EXPECT_EQ(tools, WithoutTrailingBackslash(rec.cwd)) << what;
            if (c.outcome == Started) {
                EXPECT_FALSE(rec.console) << "a console, shared or its own: " << what;
            }
            break;
        }
        case FolderShown: {
            HWND hShown = nullptr;
            EXPECT_TRUE(WaitFor([&] { return (hShown = ShellFolderWindow(c.expected)) != nullptr; }))
                << "no folder window titled " << c.expected << ": " << what;
            if (hShown) {
                PostMessageA(hShown, WM_CLOSE, 0, 0);
                WaitFor([&] { return !IsWindow(hShown); }, 3000);
            }
            break;
        }
        }
    }
    // Whatever should have started nothing had its chance to show up by now.
    PumpFor(500);
    EXPECT_EQ(nStarts, Records().size());
}

// Accepted as proposed, the command starts or opens the selected item and nothing else, even
// where a program named like the part before a blank stands beside it.
TEST_F(RunTest, AcceptingTheProposalStartsExactlyTheSelectedItem)
{
    CFolvaneView* pView = OpenTools();
    ASSERT_NE(nullptr, pView);
    const std::string recorderOpens = "\"" + m_recorder + "\" \"" + m_tools + "\\";
    const std::string recorderName = m_recorder.substr(m_recorder.rfind('\\') + 1);
    struct Case {
        const char* selected;
        std::string exe, cmd;  // the program that ran and the command line it received
    } cases[] = {
        {"my tool.exe", "my tool.exe", "\"my tool.exe\""},
        {"my.exe", "my.exe", "my.exe"},
        {"rec.exe", "rec.exe", "rec.exe"},
        {"x y.folvrun", recorderName, recorderOpens + "x y.folvrun\""},  // opened by the shell
        {"notes.folvrun", recorderName, recorderOpens + "notes.folvrun\""},
    };
    size_t nStarts = 0;
    for (const Case& c : cases) {
        SelectInList(pView, {c.selected});
        RunBox box = RunFromMenu(Ending::OK);
        EXPECT_TRUE(box.shown) << c.selected;
        ASSERT_TRUE(WaitForRecords(++nStarts)) << "nothing started: " << c.selected;
        StartRecord rec = Records()[nStarts - 1];
        EXPECT_EQ(c.exe, rec.exe) << c.selected;
        EXPECT_EQ(c.cmd, rec.cmd) << c.selected;
        EXPECT_EQ(m_tools, WithoutTrailingBackslash(rec.cwd)) << c.selected;
    }
    PumpFor(300);
    EXPECT_EQ(nStarts, Records().size());
}

TEST_F(RunTest, ACommandThatEndsEarlyGivesBackWhatItTook)
{
    CFolvaneView* pView = OpenTools();
    ASSERT_NE(nullptr, pView);
    struct Case {
        const char* what;
        std::vector<std::string> selection;
        FolderFaults faults;
        bool bindsFolder;
    } cases[] = {
        {"nothing selected", {}, {}, true},
        {"no name for the item", {"rec.exe"}, {false, true, false}, true},
        {"no folder", {"rec.exe"}, {true, false, false}, false},
    };
    for (const Case& c : cases) {
        FolderInterposer interposer(pView);
        ASSERT_TRUE(interposer.Ready());
        interposer.Folder().m_faults = c.faults;
        SelectInList(pView, c.selection);
        RunBox box = RunHandler(pView, Ending::OK);
        EXPECT_FALSE(box.shown) << c.what;
        EXPECT_EQ(c.bindsFolder ? 1u : 0u, interposer.Binds()) << c.what;
        if (c.faults.bFailDisplayName) {
            ASSERT_EQ(1u, interposer.Binds());
            EXPECT_EQ(1u, interposer.Folder().m_bound[0]->m_seen.size()) << "asked for the item's name";
        }
        interposer.ExpectAllGivenBack(c.what);
    }
    FolderInterposer interposer(pView);
    SelectInList(pView, {"rec.exe"});
    pView->ReleaseShellView();
    RunBox box = RunHandler(pView, Ending::OK);
    EXPECT_FALSE(box.shown) << "no shell view";
    interposer.ExpectAllGivenBack("no shell view");
    PumpFor(300);
    EXPECT_EQ(0u, Records().size());
}

// A program in a folder whose name the code page cannot hold starts there, under its own name.
TEST_F(RunTest, AProgramInAFolderOutsideTheCodePageStartsThere)
{
    const std::wstring folder = m_root.WideSub(L"\x0141\x00F3" L"d\x017A \x65E5\x672C");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(Widen(m_recorder).c_str(), (folder + L"\\my tool.exe").c_str(), FALSE));
    ASSERT_FALSE(FitsCodePage(folder));
    CFolvaneView* pView = Open(AnsiPathFor(folder));
    ASSERT_NE(nullptr, pView);
    SetWindowPos(pView->GetParentFrame()->m_hWnd, HWND_TOP, 0, 0, 700, 420, SWP_NOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] { return ListIndexOf(pView, "my tool.exe") >= 0; }));
    SelectInList(pView, {"my tool.exe"});
    RunBox box = RunFromMenu(Ending::OK);
    EXPECT_EQ("\"my tool.exe\"", box.commandLine);
    ASSERT_TRUE(WaitForRecords(1));
    const StartRecord rec = Records()[0];
    EXPECT_EQ("my tool.exe", rec.exe);
    EXPECT_EQ(folder, LongPathOf(WithoutTrailingBackslash(rec.cwd).c_str())) << rec.cwd;
}
