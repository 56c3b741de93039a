// Reading strings back from the settings profile, whatever another program or a damaged
// hive left in it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/WinApp.h"

namespace {

const char kAppKey[] = "Software\\Quorrel\\FolvaneProfileTest";

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeA(HKEY_CURRENT_USER, kAppKey);
        m_pApp = new CWinApp("FolvaneProfileTest");
        m_pApp->SetRegistryKey("Quorrel");
    }
    void TearDown() override
    {
        delete m_pApp;
        RegDeleteTreeA(HKEY_CURRENT_USER, kAppKey);
    }
    void Write(const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY hKey = m_pApp->GetSectionKey("Section");
        ASSERT_NE(nullptr, hKey);
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(hKey, name, 0, type, static_cast<const BYTE*>(data), size));
        RegCloseKey(hKey);
    }
    CWinApp* m_pApp = nullptr;
};

}  // namespace

TEST_F(ProfileTest, StringsReadBackWholeAndAnythingElseGivesTheDefault)
{
    const std::string longText(100000, 'x');
    const DWORD number = 7;
    struct {
        const char* name;
        DWORD type;
        std::string data;  // written byte for byte, terminator only where given
        const char* expected;
    } cases[] = {
        {"plain", REG_SZ, std::string("C:\\Folder\0", 10), "C:\\Folder"},
        {"unterminated", REG_SZ, "abc", "abc"},  // (Wine hands it back terminated; Windows need not)
        {"empty", REG_SZ, "", ""},
        {"early zero", REG_SZ, std::string("ab\0cd\0", 6), "ab"},
        {"number", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), sizeof(number)), "default"},
        {"long", REG_SZ, longText, nullptr},
    };
    for (auto& c : cases) {
        Write(c.name, c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        CString got = m_pApp->GetProfileString("Section", c.name, "default");
        EXPECT_EQ(c.expected ? std::string(c.expected) : longText, got.GetString()) << c.name;
    }
    EXPECT_STREQ("default", m_pApp->GetProfileString("Section", "missing", "default"));
    EXPECT_STREQ("", m_pApp->GetProfileString("Section", "missing"));
}
