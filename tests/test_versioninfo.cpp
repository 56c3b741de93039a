#include "dialogs/VersionInfo.h"

#include <gtest/gtest.h>

#include <string>

#include "support/BuiltPrograms.h"

namespace {

const char kAboutTemplate[] = "$CompanyName $FileDescription $FileVersion\r\n$LegalCopyright";

class VersionStrings : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(info.Load(FixtureProgram("strings").c_str())); }
    CVersionInfo info;
};

}  // namespace

TEST(VersionInfo, ProgramsOwnAboutText)
{
    // Test executables carry the program's resources, version block included.
    CVersionInfo info;
    CString about = info.Expand(kAboutTemplate);
    const std::string text = about.str();
    const std::string firstLine = " Folvane 1.0\r\n";
    ASSERT_EQ(firstLine, text.substr(0, firstLine.size())) << text;
    const std::string copyright = text.substr(firstLine.size());
    EXPECT_FALSE(copyright.empty());
    EXPECT_EQ(std::string::npos, copyright.find_first_of("\r\n$"));
    EXPECT_EQ(copyright, info.GetValue("LegalCopyright").str());
}

TEST_F(VersionStrings, PresentEmptyAndMissingValues)
{
    EXPECT_STREQ("1.2", info.GetValue("FileVersion"));
    EXPECT_STREQ("Copyright (C) Lime & Stone", info.GetValue("LegalCopyright"));
    // Values are raw: placeholders in them are only expanded by Expand.
    EXPECT_STREQ("Viewer for $ProductName", info.GetValue("FileDescription"));
    EXPECT_STREQ("", info.GetValue("CompanyName"));     // present, empty
    EXPECT_STREQ("", info.GetValue("ProductVersion"));  // present, empty
    EXPECT_STREQ("", info.GetValue("Comments"));        // absent
    EXPECT_STREQ("", info.GetValue("NoSuchKey"));
}

TEST_F(VersionStrings, AboutTemplateKeepsTheBlanksAroundAnEmptyValue)
{
    EXPECT_STREQ(" Viewer for Gizmo 1.2\r\nCopyright (C) Lime & Stone", info.Expand(kAboutTemplate));
}

TEST_F(VersionStrings, PlaceholderMatching)
{
    EXPECT_STREQ("no placeholders here", info.Expand("no placeholders here"));
    EXPECT_STREQ("", info.Expand(""));
    EXPECT_STREQ("1.2 and 1.2", info.Expand("$FileVersion and $FileVersion"));
    EXPECT_STREQ("v1.2beta", info.Expand("v$FileVersionbeta"));
    EXPECT_STREQ("$fileversion $FILEVERSION", info.Expand("$fileversion $FILEVERSION"));
    EXPECT_STREQ("$Version $ $1.2$", info.Expand("$Version $ $$FileVersion$"));
    // Absent and empty values are replaced by nothing.
    EXPECT_STREQ("[][]", info.Expand("[$Comments][$ProductVersion]"));
}

TEST_F(VersionStrings, InsertedValuesAreSearchedOnlyByLaterKeys)
{
    // FileDescription comes before ProductName in the key table.
    EXPECT_STREQ("Viewer for Gizmo", info.Expand("$FileDescription"));
    // OriginalFilename comes after FileDescription; Comments before SpecialBuild.
    EXPECT_STREQ("$FileDescription.EXE", info.Expand("$OriginalFilename"));
    EXPECT_STREQ("special $Comments", info.Expand("$SpecialBuild"));
    // A value holding its own placeholder is not expanded again.
    EXPECT_STREQ("$InternalName", info.Expand("$InternalName"));
}

TEST(VersionInfo, OtherLanguageOrCodePageGivesNoValues)
{
    for (const char* name : {"german", "ansicodepage"}) {
        CVersionInfo info;
        ASSERT_TRUE(info.Load(FixtureProgram(name).c_str())) << name;
        for (const char* key : CVersionInfo::s_apszKeys)
            EXPECT_STREQ("", info.GetValue(key)) << name << " " << key;
        EXPECT_STREQ("  \r\n", info.Expand(kAboutTemplate)) << name;
    }
}

TEST(VersionInfo, FileWithoutVersionResource)
{
    CVersionInfo info;
    EXPECT_FALSE(info.Load(FixtureProgram("noversion").c_str()));
    EXPECT_STREQ("", info.GetValue("FileVersion"));
    EXPECT_STREQ("  \r\n", info.Expand(kAboutTemplate));

    EXPECT_FALSE(info.Load(FixtureProgram("does_not_exist").c_str()));
    EXPECT_STREQ("  \r\n", info.Expand(kAboutTemplate));
}

TEST(VersionInfo, FailedReloadDropsTheEarlierData)
{
    CVersionInfo info;
    ASSERT_TRUE(info.Load(FixtureProgram("strings").c_str()));
    ASSERT_STREQ("1.2", info.GetValue("FileVersion"));
    EXPECT_FALSE(info.Load(FixtureProgram("noversion").c_str()));
    EXPECT_STREQ("", info.GetValue("FileVersion"));
}
