#include "dialogs/TextUtil.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Fields = std::vector<std::string>;

// The fields an iterating caller sees.
Fields Iterate(const char* text, const char* delimiter)
{
    Fields fields;
    CString field;
    for (const char* p = GetDelimitedField(text, 0, field, delimiter); p && fields.size() < 100;
         p = GetDelimitedField(p, 0, field, delimiter))
        fields.push_back(field.str());
    return fields;
}

std::string RandomText(std::mt19937& rng, const char* alphabet, int maxLen)
{
    std::string s(static_cast<size_t>(std::uniform_int_distribution<int>(0, maxLen)(rng)), ' ');
    std::uniform_int_distribution<size_t> pick(0, strlen(alphabet) - 1);
    for (char& c : s) c = alphabet[pick(rng)];
    return s;
}

}  // namespace

TEST(GetDelimitedField, Iteration)
{
    EXPECT_EQ((Fields{"10", "200", "3"}), Iterate("10,200,3", ","));
    EXPECT_EQ((Fields{"a", "", "b"}), Iterate("a,,b", ","));
    EXPECT_EQ((Fields{"a", "b"}), Iterate("a,b,", ","));  // a trailing delimiter adds no field
    EXPECT_EQ((Fields{""}), Iterate(",", ","));
    EXPECT_EQ((Fields{"a", "b"}), Iterate("a::b", "::"));
    EXPECT_EQ((Fields{}), Iterate("", ","));
    EXPECT_EQ((Fields{"abc"}), Iterate("abc", ""));  // an empty delimiter must not loop forever
}

TEST(GetDelimitedField, DirectAccessAndHeadSplit)
{
    CString field("stale");
    EXPECT_EQ(nullptr, GetDelimitedField("", 0, field, ","));
    EXPECT_STREQ("", field);
    field = "stale";
    EXPECT_EQ(nullptr, GetDelimitedField(nullptr, 0, field, ","));
    EXPECT_STREQ("", field);

    const char* path = "Z:\\tmp\\folder";
    EXPECT_EQ(path + strlen(path), GetDelimitedField(path, 0, field, ","));
    EXPECT_STREQ(path, field);

    EXPECT_STREQ("10,20,300,400,0", GetDelimitedField("Z:\\tmp,10,20,300,400,0", 0, field, ","));
    EXPECT_STREQ("Z:\\tmp", field);

    const char* text = "10,20,30,";
    EXPECT_STREQ("30,", GetDelimitedField(text, 1, field, ","));
    EXPECT_STREQ("20", field);
    // Right after the final delimiter: an empty field ending at the zero.
    EXPECT_EQ(text + strlen(text), GetDelimitedField(text, 3, field, ","));
    EXPECT_STREQ("", field);
    field = "stale";
    EXPECT_EQ(nullptr, GetDelimitedField(text, 4, field, ","));
    EXPECT_STREQ("", field);
}

TEST(GetDelimitedField, MatchesPlainSplitOnRandomInput)
{
    std::mt19937 rng(99);
    const char* delimiters[] = {",", ",,", "a,"};
    for (int i = 0; i < 5000; ++i) {
        const std::string text = RandomText(rng, "a,", 12);
        const std::string delim = delimiters[i % 3];
        // Start and end of each field in a left-to-right split.
        std::vector<size_t> begins{0}, ends;
        for (size_t hit; (hit = text.find(delim, begins.back())) != std::string::npos;) {
            ends.push_back(hit);
            begins.push_back(hit + delim.size());
        }
        ends.push_back(text.size());

        Fields expected;
        for (size_t k = 0; k < begins.size(); ++k) {
            CString field("stale");
            const char* p = GetDelimitedField(text.c_str(), static_cast<int>(k), field, delim.c_str());
            const std::string want = text.substr(begins[k], ends[k] - begins[k]);
            const bool last = k + 1 == begins.size();
            if (text.empty()) {
                ASSERT_EQ(nullptr, p);
                break;
            }
            ASSERT_EQ(want, field.str()) << text << " / " << delim << " / " << k;
            ASSERT_EQ(text.c_str() + (last ? text.size() : begins[k + 1]), p) << text << " / " << k;
            if (!(last && k > 0 && want.empty())) expected.push_back(want);
        }
        CString field("stale");
        ASSERT_EQ(nullptr, GetDelimitedField(text.c_str(), static_cast<int>(begins.size()), field, delim.c_str()));
        ASSERT_STREQ("", field);
        ASSERT_EQ(expected, Iterate(text.c_str(), delim.c_str())) << text << " / " << delim;
    }
}

TEST(ReplaceAll, EdgeCases)
{
    CString s("aaa");
    EXPECT_EQ(1, ReplaceAll(s, "aa", "b", -1));  // occurrences do not overlap
    EXPECT_STREQ("ba", s);

    s = "a-bb-a-bb";
    EXPECT_EQ(2, ReplaceAll(s, "bb", "", -1));
    EXPECT_STREQ("a--a-", s);
    EXPECT_EQ(5, s.GetLength());
    EXPECT_EQ(2, ReplaceAll(s, "a", "<long>", -1));
    EXPECT_STREQ("<long>--<long>-", s);
    EXPECT_EQ(15, s.GetLength());

    s = "aaa";  // inserted text is not searched again
    EXPECT_EQ(3, ReplaceAll(s, "a", "aa", -1));
    EXPECT_STREQ("aaaaaa", s);

    s = "x.x.x";
    EXPECT_EQ(1, ReplaceAll(s, "x", "yy", 1));
    EXPECT_STREQ("yy.x.x", s);

    s = "abc";
    EXPECT_EQ(0, ReplaceAll(s, "abcd", "x", -1));
    EXPECT_EQ(0, ReplaceAll(s, "", "x", -1));
    EXPECT_EQ(0, ReplaceAll(s, "a", "x", 0));
    EXPECT_EQ(0, ReplaceAll(s, "B", "x", -1));
    EXPECT_STREQ("abc", s);
    CString empty;
    EXPECT_EQ(0, ReplaceAll(empty, "a", "x", -1));
}

TEST(ReplaceAll, FindOrReplacementMayBeTheTextItself)
{
    CString s("x-x");
    EXPECT_EQ(2, ReplaceAll(s, "x", s, -1));
    EXPECT_STREQ("x-x-x-x", s);
    EXPECT_EQ(1, ReplaceAll(s, s, "w", -1));
    EXPECT_STREQ("w", s);
}

// The up-front bound is replacement length times text length; here that
// product is past 2^31 and must not wrap into a too-small buffer.
TEST(ReplaceAll, WorstCaseBoundBeyondIntRange)
{
    std::string text(70000, '.');
    text[0] = text[35000] = text[69999] = 'x';
    const std::string r(40000, 'r');
    CString s(text);
    EXPECT_EQ(3, ReplaceAll(s, "x", r.c_str(), -1));
    EXPECT_TRUE(s.str() == r + std::string(34999, '.') + r + std::string(34998, '.') + r);
}

TEST(ReplaceAll, MatchesReferenceOnRandomInput)
{
    std::mt19937 rng(1234);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = RandomText(rng, "ab", 24);
        const std::string find = RandomText(rng, "ab", 3);
        const std::string repl = RandomText(rng, "abc", 5);
        const int maxCount = std::uniform_int_distribution<int>(-1, 4)(rng);

        std::string expected;
        int expectedCount = 0;
        size_t pos = 0;
        if (!text.empty() && !find.empty()) {
            for (size_t hit; (maxCount < 0 || expectedCount < maxCount) &&
                             (hit = text.find(find, pos)) != std::string::npos;
                 pos = hit + find.size(), ++expectedCount)
                expected += text.substr(pos, hit - pos) + repl;
        }
        expected += text.substr(pos);

        CString s(text);
        ASSERT_EQ(expectedCount, ReplaceAll(s, find.c_str(), repl.c_str(), maxCount))
            << text << " / " << find << " / " << repl << " / " << maxCount;
        ASSERT_EQ(expected, s.str()) << text << " / " << find << " / " << repl << " / " << maxCount;
        ASSERT_EQ(static_cast<int>(expected.size()), s.GetLength());
    }
}
