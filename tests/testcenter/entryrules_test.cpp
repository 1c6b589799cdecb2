#include "testcenter/EntryRules.h"

#include <gtest/gtest.h>

TEST(EntryRules, KeyFilterLetsNumbersIntoNumberBoxesOnly)
{
    for (int i : {2, 7, 13, 14, 20, 25}) {
        EXPECT_TRUE(EntryKeyAccepted(i, u'7', 0));
        EXPECT_TRUE(EntryKeyAccepted(i, u'.', 3));
        EXPECT_TRUE(EntryKeyAccepted(i, 8, 3));
        EXPECT_TRUE(EntryKeyAccepted(i, 26, 3)) << "undo";
        EXPECT_TRUE(EntryKeyAccepted(i, 25, 3)) << "redo";
        EXPECT_TRUE(EntryKeyAccepted(i, 1, 3)) << "select all";
        for (char16_t k : {u'-', u' ', u'a', u'e', u',', char16_t(22), char16_t(3), char16_t(13)})
            EXPECT_FALSE(EntryKeyAccepted(i, k, 3)) << i << " " << int(k);
    }
    // The ID takes a seventh character but not an eighth; backspace always works.
    EXPECT_TRUE(EntryKeyAccepted(0, u'x', 6));
    EXPECT_FALSE(EntryKeyAccepted(0, u'x', 7));
    EXPECT_TRUE(EntryKeyAccepted(0, 8, 7));
    EXPECT_TRUE(EntryKeyAccepted(0, u'-', 0));
    EXPECT_TRUE(EntryKeyAccepted(1, u'"', 500));
}

TEST(EntryRules, RangesAreInclusiveAtTheBoundsThatMatter)
{
    struct Case
    {
        int index;
        const char *text;
        bool ok;
    };
    const Case cases[] = {
        {7, "0", true},      {7, "50", false},   {7, "109", true},    {7, "4000", true},   {7, "4000.5", false},
        {9, "108.9", false}, {13, "0.05", true}, {13, "0.04", false}, {13, "6", true},     {13, "6.01", false},
        {14, "5", true},     {14, "4.9", false}, {14, "100", true},   {2, "30.49", true},  {2, "30.5", false},
        {2, "0", true},      {2, "", true},      {10, "6000", true},  {10, "5999", false}, {12, "12000.1", false},
        {20, "1", true},     {20, "0.9", false}, {22, "60", true},    {23, "29", false},   {24, "300", true},
        {25, "0", true},     {25, "99", true},   {25, "99.5", false}, {0, "", false},      {0, " ", true},
        {1, "", false},      {2, "12abc", true}, {14, "abc", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(EntryInRange(c.index, QString::fromLatin1(c.text)), c.ok) << c.index << " '" << c.text << "'";
    EXPECT_FALSE(EntryInRange(15, "1"));
    // A number too large for a double is out of range, also in a box that accepts 0.
    EXPECT_FALSE(EntryInRange(7, "1e999"));
    EXPECT_FALSE(EntryInRange(2, "-1e999"));
}

TEST(EntryRules, TableAndListTexts)
{
    EXPECT_EQ(EntryCaption(5), " Live Herb Loading (t/ac)");
    // An SA/V of 0 is taken, and its hint says so.
    EXPECT_EQ(EntryHint(7), "(0 or 109 - 4000) ");
    EXPECT_EQ(EntryHint(9), "(0 or 109 - 4000) ");
    EXPECT_EQ(EntryHint(10), "(6,000 - 12,000 )");
    EXPECT_EQ(EntryHint(1), "");
    EXPECT_EQ(EntryCaption(17), "");
    EXPECT_FALSE(HasTunerButton(1));
    EXPECT_TRUE(HasTunerButton(0));
    EXPECT_EQ(EnvDefaultText(23), "75");

    EXPECT_EQ(WindReduceItem(0), " 0");
    EXPECT_EQ(WindReduceItem(7), " .7");
    EXPECT_EQ(WindReduceItem(10), " 1");
    EXPECT_EQ(SlopeItem(0), " 0");
    EXPECT_EQ(SlopeItem(10), " 100");

    EXPECT_EQ(MidFlameWindText(" .7", "10"), "7.0");
    EXPECT_EQ(MidFlameWindText(" 1", "99"), "99.0");
    EXPECT_EQ(MidFlameWindText(" .3", "7"), "2.1");
    EXPECT_EQ(MidFlameWindText("abc", "10"), "0.0");

    EXPECT_EQ(TwipsToPixels(10400, 96), 693);
    EXPECT_EQ(TwipsToPixels(5700, 96), 380);
    EXPECT_EQ(TwipsToPixels(1440, 144), 144);
}
