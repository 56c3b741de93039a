// Placement texts: how fields are read (also over a large generated set whose values are
// known by construction), and round trips through child frames in every state.
#include "frames/WindowPlacement.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

#include "framework/FrameWnd.h"
#include "support/AppFixture.h"
#include "support/BrowserWindows.h"

namespace {

const LONG S = -7;  // what a field that is not read keeps

std::string Read(const char* text)
{
    CWindowPlacementFields f = {{S, S, S, S}, static_cast<DWORD>(S)};
    int n = ReadWindowPlacementString(text, f);
    return std::to_string(n) + ":" + RectText(f.rect) + "," + std::to_string(static_cast<LONG>(f.state));
}

class PlacementFrames : public AppFixture {
protected:
    void TearDown() override
    {
        m_pApp->CloseAllDocuments(FALSE);
        AppFixture::TearDown();
    }
    CFrameWnd* NewFrame(const char* text)
    {
        CFrameWnd* pFrame = FirstFrameOf(m_pApp->OpenDocumentFile(text));
        Pump();
        return pFrame;
    }
};

}  // namespace

TEST(PlacementText, FieldsReadLikeUnsignedDecimalsAndBadOnesKeepTheirValues)
{
    EXPECT_EQ("5:10,20,400,300,0", Read("10,20,400,300,0"));
    EXPECT_EQ("5:-30,7,12,99,16777216", Read(" \t-30,+7,  12px,0099,16777216"));
    EXPECT_EQ("5:1,2,3,4,-1", Read("1,2,3,4,4294967295"));  // a state of -1 wraps the same way
    EXPECT_EQ("5:-2147483648,0,1,-5,0", Read("2147483648,-0,4294967297,-5,4294967296"));
    EXPECT_EQ("4:-7,-7,-7,-7,-7", Read(",x,,- 5,"));  // the comma at the end adds no field
    EXPECT_EQ("5:-7,-7,-7,-7,-7", Read(",,,,,"));
    EXPECT_EQ("4:1,2,3,4,-7", Read("1,2,3,4,"));
    EXPECT_EQ("7:1,2,3,4,5", Read("1,2,3,4,5,6,7"));
    EXPECT_EQ("1:-7,-7,-7,-7,-7", Read(","));
    EXPECT_EQ("0:-7,-7,-7,-7,-7", Read(""));
    EXPECT_EQ("0:-7,-7,-7,-7,-7", Read(nullptr));
}

TEST(PlacementText, GeneratedTextsReadAsTheyWereMade)
{
    static const char* const kUnreadable[] = {"x1", "-", "+", " ", "+-1", " -x", ".5", "\xE9" "7"};
    static const char kBlanks[] = " \t\n\v\f\r", kTail[] = "x -+.;:\"'abc)\xE9\xFF";
    std::mt19937 rng(20240611);
    for (int i = 0; i < 20000; ++i) {
        const int n = static_cast<int>(rng() % 9);
        std::string text;
        LONG expect[5] = {S, S, S, S, S};
        for (int k = 0; k < n; ++k) {
            if (k) text += ',';
            const unsigned kind = rng() % 6;
            if (kind == 0 && k + 1 < n) continue;  // empty; a last one would read as a trailing comma
            if (kind == 1) {
                text += kUnreadable[rng() % 8];
                continue;
            }
            // Blanks, a sign, digits with leading zeros or whole multiples of 2^32, a tail.
            const DWORD value = rng() % 2 ? static_cast<DWORD>(rng()) : 0UL - rng() % 2000;
            unsigned long long digits = value;
            for (int b = static_cast<int>(rng() % 3); b > 0; --b) text += kBlanks[rng() % 6];
            if (rng() % 3 == 0) {
                text += '-';
                digits = (0x100000000ULL - value) & 0xFFFFFFFFULL;
            } else if (rng() % 2) {
                text += '+';
            }
            if (rng() % 4 == 0) digits += 0x100000000ULL * (rng() % 1000 + 1);
            text += (rng() % 4 ? "" : "000") + std::to_string(digits);
            if (rng() % 4 == 0) text += kTail[rng() % (sizeof(kTail) - 1)];
            if (k < 5) expect[k] = static_cast<LONG>(value);
        }
        if (n && rng() % 3 == 0) text += ',';
        const std::string wanted = std::to_string(n) + ":" + RectText(RECT{expect[0], expect[1], expect[2], expect[3]}) +
                                   "," + std::to_string(expect[4]);
        ASSERT_EQ(wanted, Read(text.c_str())) << "[" << text << "]";
    }
}

TEST(PlacementText, AWindowWithoutParentUsesScreenCoordinates)
{
    // An owner is not a parent: an owned pop-up is placed on the screen.
    HWND hOwner = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 300, 200, 200, 100, nullptr, nullptr, nullptr, nullptr);
    HWND hPopup = CreateWindowExA(0, "STATIC", "", WS_POPUP, 110, 120, 200, 150, hOwner, nullptr, nullptr, nullptr);
    CWnd* pPopup = CWnd::FromHandle(hPopup);
    EXPECT_STREQ("110,120,310,270,0", GetWindowPlacementString(pPopup));
    ApplyWindowPlacementString(pPopup, "-20,40,180,90,0");
    EXPECT_STREQ("-20,40,180,90,0", GetWindowPlacementString(pPopup));
    DestroyWindow(hOwner);
    CWnd::DeleteTempMap();
}

TEST_F(PlacementFrames, RoundTripsForNormalNegativeMinimisedAndMaximisedFrames)
{
    CFrameWnd* pFrame = NewFrame("Z:\\first");
    CFrameWnd* pOther = NewFrame("Z:\\second");
    for (RECT rc : {RECT{10, 10, 400, 300}, RECT{-40, -25, 260, 175}}) {
        pFrame->MoveWindow(rc);
        const CString text = GetWindowPlacementString(pFrame);
        EXPECT_EQ(RectText(rc) + ",0", text.str());
        ApplyWindowPlacementString(pOther, text);
        EXPECT_EQ(RectText(rc), RectText(RectInParent(pOther->m_hWnd)));
    }

    pFrame->ShowWindow(SW_MINIMIZE);
    CString text = GetWindowPlacementString(pFrame);
    EXPECT_EQ(RectText(RectInParent(pFrame->m_hWnd)) + ",536870912", text.str());
    ApplyWindowPlacementString(pOther, text);
    EXPECT_TRUE(pOther->IsIconic());

    pOther->ShowWindow(SW_RESTORE);
    pFrame->ShowWindow(SW_MAXIMIZE);
    text = GetWindowPlacementString(pFrame);
    EXPECT_EQ(RectText(RectInParent(pFrame->m_hWnd)) + ",16777216", text.str()) << "the maximised rectangle";
    pFrame->ShowWindow(SW_RESTORE);
    ApplyWindowPlacementString(pOther, text);
    EXPECT_TRUE(pOther->IsZoomed());
}

TEST_F(PlacementFrames, FiveFieldsWithATrailingCommaApplyFourDoNot)
{
    CFrameWnd* pFrame = NewFrame("Z:\\frame");
    const std::string before = RectText(RectInParent(pFrame->m_hWnd));
    for (const char* text : {"20,30,300,250,", "20,30,300,250", ",", ""}) {
        ApplyWindowPlacementString(pFrame, text);
        EXPECT_EQ(before, RectText(RectInParent(pFrame->m_hWnd))) << "[" << text << "]";
    }
    ApplyWindowPlacementString(pFrame, "20,30,300,250,0,");
    EXPECT_EQ("20,30,300,250", RectText(RectInParent(pFrame->m_hWnd)));
    ApplyWindowPlacementString(pFrame, "x,,320,-,0");  // unreadable fields keep the frame's values
    EXPECT_EQ("20,30,320,250", RectText(RectInParent(pFrame->m_hWnd)));

    // Widths of garbage coordinates are taken modulo 2^32 rather than overflowing: the frame
    // lands where a frame moved by hand to those values does, however the system clamps them.
    CFrameWnd* pReference = NewFrame("Z:\\reference");
    const struct {
        const char* text;
        LONG x, y, cx, cy;
    } garbage[] = {
        {"-2147483648,-2147483648,2147483647,2147483647,0", LONG_MIN, LONG_MIN, -1, -1},
        {"2147483647,0,-2147483648,5,0", LONG_MAX, 0, 1, 5},
        {"1000,20,-2147483000,300,0", 1000, 20, 2147483296, 280},
        {"-1000,20,2147483000,300,0", -1000, 20, -2147483296, 280},
        {"300,200,100,50,0", 300, 200, -200, -150},
    };
    for (const auto& g : garbage) {
        pReference->MoveWindow(0, 0, 200, 150);
        ::MoveWindow(pReference->m_hWnd, g.x, g.y, g.cx, g.cy, TRUE);
        ApplyWindowPlacementString(pFrame, g.text);
        EXPECT_EQ(RectText(RectInParent(pReference->m_hWnd)), RectText(RectInParent(pFrame->m_hWnd))) << g.text;
    }
    ApplyWindowPlacementString(pFrame, "1,2,3,4,553648128");
    EXPECT_TRUE(pFrame->IsZoomed() && !pFrame->IsIconic()) << "maximised wins over minimised";
}
