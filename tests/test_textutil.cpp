#include "dialogs/TextUtil.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Collects the fields an iterating caller sees.
std::vector<std::string> Iterate(const char* text, const char* delimiter)
{
    std::vector<std::string> fields;
    CString field;
    for (const char* p = GetDelimitedField(text, 0, field, delimiter); p;
         p = GetDelimitedField(p, 0, field, delimiter)) {
        fields.push_back(field.str());
        if (fields.size() > 1000) break;  // a field that never ends the iteration
    }
    return fields;
}

}  // namespace

TEST(GetDelimitedField, IteratesEveryFieldInOrderThenEnds)
{
    EXPECT_EQ((std::vector<std::string>{"10", "200", "3"}), Iterate("10,200,3", ","));
    EXPECT_EQ((std::vector<std::string>{"a", "", "b"}), Iterate("a,,b", ","));
    EXPECT_EQ((std::vector<std::string>{"", "a"}), Iterate(",a", ","));
    // A trailing delimiter adds no field.
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), Iterate("a,b,", ","));
    EXPECT_EQ((std::vector<std::string>{""}), Iterate(",", ","));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), Iterate("a::b::c", "::"));
    EXPECT_TRUE(Iterate("", ",").empty());
}

TEST(GetDelimitedField, EmptyOrMissingSourceGivesNoFieldAndClearsOutput)
{
    CString field("stale");
    EXPECT_EQ(nullptr, GetDelimitedField("", 0, field, ","));
    EXPECT_STREQ("", field);

    field = "stale";
    EXPECT_EQ(nullptr, GetDelimitedField(nullptr, 0, field, ","));
    EXPECT_STREQ("", field);
}

TEST(GetDelimitedField, TextWithoutDelimiterIsOneFieldEndingAtTheZero)
{
    const char* text = "Z:\\tmp\\folder";
    CString field;
    EXPECT_EQ(text + strlen(text), GetDelimitedField(text, 0, field, ","));
    EXPECT_STREQ(text, field);
}

TEST(GetDelimitedField, HeadSplitReturnsTheRestAfterTheFirstDelimiter)
{
    const char* text = "Z:\\tmp,10,20,300,400,16777216";
    CString field;
    const char* rest = GetDelimitedField(text, 0, field, ",");
    EXPECT_STREQ("Z:\\tmp", field);
    EXPECT_STREQ("10,20,300,400,16777216", rest);
}

TEST(GetDelimitedField, DirectIndexing)
{
    const char* text = "10,20,30,";
    CString field("stale");

    EXPECT_STREQ("30,", GetDelimitedField(text, 1, field, ","));
    EXPECT_STREQ("20", field);

    // The field right after the final delimiter is empty and ends at the zero.
    EXPECT_EQ(text + strlen(text), GetDelimitedField(text, 3, field, ","));
    EXPECT_STREQ("", field);

    // Beyond the last delimiter there is no field.
    field = "stale";
    EXPECT_EQ(nullptr, GetDelimitedField(text, 4, field, ","));
    EXPECT_STREQ("", field);
    EXPECT_EQ(nullptr, GetDelimitedField("abc", 1, field, ","));
}

TEST(GetDelimitedField, EmptyDelimiterStillEndsTheIteration)
{
    EXPECT_EQ((std::vector<std::string>{"abc"}), Iterate("abc", ""));
}

TEST(ReplaceAll, OccurrencesDoNotOverlap)
{
    CString s("aaa");
    EXPECT_EQ(1, ReplaceAll(s, "aa", "b", -1));
    EXPECT_STREQ("ba", s);
}

TEST(ReplaceAll, ShrinkingGrowingAndDeleting)
{
    CString s("a-bb-a-bb");
    EXPECT_EQ(2, ReplaceAll(s, "bb", "", -1));
    EXPECT_STREQ("a--a-", s);
    EXPECT_EQ(5, s.GetLength());

    EXPECT_EQ(2, ReplaceAll(s, "a", "<long>", -1));
    EXPECT_STREQ("<long>--<long>-", s);
    EXPECT_EQ(15, s.GetLength());

    // Equal lengths: in place without moving the tail.
    EXPECT_EQ(3, ReplaceAll(s, "-", "+", -1));
    EXPECT_STREQ("<long>++<long>+", s);
}

TEST(ReplaceAll, InsertedTextIsNotSearchedAgain)
{
    CString s("aaa");
    EXPECT_EQ(3, ReplaceAll(s, "a", "aa", -1));
    EXPECT_STREQ("aaaaaa", s);

    CString t("$Name");
    EXPECT_EQ(1, ReplaceAll(t, "$Name", "x$Name", -1));
    EXPECT_STREQ("x$Name", t);
}

TEST(ReplaceAll, CountLimit)
{
    CString s("x.x.x");
    EXPECT_EQ(1, ReplaceAll(s, "x", "yy", 1));
    EXPECT_STREQ("yy.x.x", s);
    EXPECT_EQ(2, ReplaceAll(s, "x", "z", 5));
    EXPECT_STREQ("yy.z.z", s);
}

TEST(ReplaceAll, NothingToDoLeavesTextUnchanged)
{
    CString s("abc");
    EXPECT_EQ(0, ReplaceAll(s, "abcd", "x", -1));
    EXPECT_EQ(0, ReplaceAll(s, "", "x", -1));
    EXPECT_EQ(0, ReplaceAll(s, "a", "x", 0));
    EXPECT_EQ(0, ReplaceAll(s, "B", "x", -1));  // case counts
    EXPECT_STREQ("abc", s);

    CString empty;
    EXPECT_EQ(0, ReplaceAll(empty, "a", "x", -1));
    EXPECT_STREQ("", empty);
}

TEST(ReplaceAll, FindOrReplacementMayBeTheTextItself)
{
    CString s("x-x");
    EXPECT_EQ(2, ReplaceAll(s, "x", s, -1));
    EXPECT_STREQ("x-x-x-x", s);

    CString t("whole");
    EXPECT_EQ(1, ReplaceAll(t, t, "w", -1));
    EXPECT_STREQ("w", t);
}

// The up-front bound is replacement length times text length; here that
// product is past 2^31, which must not wrap into a too-small buffer.
TEST(ReplaceAll, WorstCaseBoundBeyondIntRange)
{
    std::string text(70000, '.');
    text[0] = text[35000] = text[69999] = 'x';
    const std::string replacement(40000, 'r');
    CString s(text);
    EXPECT_EQ(3, ReplaceAll(s, "x", replacement.c_str(), -1));

    std::string expected = replacement + std::string(34999, '.') + replacement +
                           std::string(34998, '.') + replacement;
    ASSERT_EQ(static_cast<int>(expected.size()), s.GetLength());
    EXPECT_TRUE(s.str() == expected);
}

namespace {

std::string RandomText(std::mt19937& rng, const char* alphabet, int maxLen)
{
    std::uniform_int_distribution<int> len(0, maxLen);
    std::uniform_int_distribution<size_t> pick(0, strlen(alphabet) - 1);
    std::string s(static_cast<size_t>(len(rng)), ' ');
    for (char& c : s) c = alphabet[pick(rng)];
    return s;
}

int ReferenceReplace(std::string& text, const std::string& find, const std::string& repl, int maxCount)
{
    if (text.empty() || find.empty() || maxCount == 0) return 0;
    std::string out;
    size_t pos = 0;
    int count = 0;
    for (size_t hit; (maxCount < 0 || count < maxCount) && (hit = text.find(find, pos)) != std::string::npos;
         pos = hit + find.size(), ++count)
        out += text.substr(pos, hit - pos) + repl;
    text = out + text.substr(pos);
    return count;
}

// Start offsets of the fields in a plain left-to-right split.
std::vector<size_t> FieldStarts(const std::string& text, const std::string& delim)
{
    std::vector<size_t> starts{0};
    for (size_t hit = text.find(delim); hit != std::string::npos; hit = text.find(delim, hit + delim.size()))
        starts.push_back(hit + delim.size());
    return starts;
}

}  // namespace

TEST(ReplaceAll, MatchesReferenceOnRandomInput)
{
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> limit(-1, 4);
    for (int i = 0; i < 20000; ++i) {
        std::string text = RandomText(rng, "ab", 24);
        std::string find = RandomText(rng, "ab", 3);
        std::string repl = RandomText(rng, "abc", 5);
        int maxCount = limit(rng);

        std::string expected = text;
        int expectedCount = ReferenceReplace(expected, find, repl, maxCount);
        CString s(text);
        int count = ReplaceAll(s, find.c_str(), repl.c_str(), maxCount);
        ASSERT_EQ(expectedCount, count) << text << " / " << find << " / " << repl << " / " << maxCount;
        ASSERT_EQ(expected, s.str()) << text << " / " << find << " / " << repl << " / " << maxCount;
        ASSERT_EQ(static_cast<int>(expected.size()), s.GetLength());
    }
}

TEST(GetDelimitedField, MatchesReferenceOnRandomInput)
{
    std::mt19937 rng(99);
    const char* delimiters[] = {",", ",,", "a,"};
    for (int i = 0; i < 5000; ++i) {
        std::string text = RandomText(rng, "a,", 12);
        std::string delim = delimiters[i % 3];
        std::vector<size_t> starts = FieldStarts(text, delim);
        const size_t fields = starts.size();

        for (size_t index = 0; index < fields + 2; ++index) {
            CString field("stale");
            const char* p = GetDelimitedField(text.c_str(), static_cast<int>(index), field, delim.c_str());
            if (index >= fields || text.empty()) {
                ASSERT_EQ(nullptr, p) << text << " / " << delim << " / " << index;
                ASSERT_STREQ("", field);
                continue;
            }
            const bool last = index + 1 == fields;
            const size_t end = last ? text.size() : starts[index + 1] - delim.size();
            ASSERT_EQ(text.substr(starts[index], end - starts[index]), field.str()) << text << " / " << index;
            ASSERT_EQ(text.c_str() + (last ? text.size() : starts[index + 1]), p) << text << " / " << index;
        }

        // Iteration sees every field but the empty one after a trailing delimiter.
        std::vector<std::string> expected;
        for (size_t k = 0; k < fields && !text.empty(); ++k) {
            const size_t end = k + 1 == fields ? text.size() : starts[k + 1] - delim.size();
            if (k + 1 == fields && k > 0 && starts[k] == text.size()) break;
            expected.push_back(text.substr(starts[k], end - starts[k]));
        }
        ASSERT_EQ(expected, Iterate(text.c_str(), delim.c_str())) << text << " / " << delim;
    }
}
