// Entry of every test executable: the user-interface thread is an OLE apartment,
// as in the program, and the common controls are registered.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The runner reads this code as "skipped" (tests/CMakeLists.txt passes the same number),
// and `make test` lists the lines that begin with the marker.
const int kSkippedExitCode = FOLVANE_TEST_SKIP_CODE;
const char kSkipMarker[] = "Skipped in ";

std::string ExecutableName(const char* argv0)
{
    std::string name = argv0 ? argv0 : "";
    const size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

// One line per skipped test with its reason, so that a skip stays visible where the
// runner hides the output of a suite that passed.
void ListSkips(const std::string& exe)
{
    const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
    for (int s = 0; s < unit.total_test_suite_count(); ++s) {
        const testing::TestSuite& suite = *unit.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t) {
            const testing::TestInfo& info = *suite.GetTestInfo(t);
            const testing::TestResult& result = *info.result();
            if (!info.should_run() || !result.Skipped()) continue;
            std::string reason;
            for (int p = 0; p < result.total_part_count(); ++p) {
                if (result.GetTestPartResult(p).skipped()) reason = result.GetTestPartResult(p).message();
            }
            for (char& ch : reason) {
                if (ch == '\n' || ch == '\r') ch = ' ';
            }
            std::printf("%s%s: %s.%s: %s\n", kSkipMarker, exe.c_str(), suite.name(), info.name(),
                        reason.empty() ? "(no reason given)" : reason.c_str());
        }
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string exe = ExecutableName(argc > 0 ? argv[0] : nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    int rc = RUN_ALL_TESTS();
    OleUninitialize();

    ListSkips(exe);
    // A run in which nothing passed and nothing failed proved nothing: tell the runner it skipped.
    const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
    if (rc == 0 && unit.successful_test_count() == 0 && unit.failed_test_count() == 0) rc = kSkippedExitCode;
    return rc;
}
