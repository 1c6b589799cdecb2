#include "data/NumberText.h"

#include <gtest/gtest.h>

#include <limits>

TEST(NumberText, GeneralTextHasNoSpareDigits)
{
    EXPECT_EQ(FormatGeneral(0.5), "0.5");
    EXPECT_EQ(FormatGeneral(12000), "12000");
    EXPECT_EQ(FormatGeneral(0.12), "0.12");
    EXPECT_EQ(FormatGeneral(12.0 / 100), "0.12");
    EXPECT_EQ(FormatGeneral(0.12 * 100), "12");
    EXPECT_EQ(FormatGeneral(-0.0), "0");
    EXPECT_EQ(FormatGeneral(3.794076), "3.794076");
    EXPECT_EQ(FormatGeneral(1.0 / 3), "0.333333333333333");
}

TEST(NumberText, PatternsRoundHalfAwayAndKeepTheirPlaceholders)
{
    EXPECT_EQ(FormatPattern(7.25, u"####0.0"), "7.3"); // exact binary tie
    EXPECT_EQ(FormatPattern(0, u"####0.0"), "0.0");
    EXPECT_EQ(FormatPattern(156.04, u"####0.0"), "156.0");
    EXPECT_EQ(FormatPattern(93.94, u"00000.0"), "00093.9");
    EXPECT_EQ(FormatPattern(99999.96, u"####0.0"), "100000.0");
    EXPECT_EQ(FormatPattern(3500.4, u"#####0"), "3500");
    EXPECT_EQ(FormatPattern(0.2468, u"#####0.000"), "0.247");
    EXPECT_EQ(FormatPattern(7, u"##0.0"), "7.0");
    EXPECT_EQ(FormatPattern(3, u"#0.##"), "3.");
    EXPECT_EQ(FormatPattern(0, u"#0.##"), "0.");
    EXPECT_EQ(FormatPattern(0.9000000000000001, u"#0.##"), "0.9");
    EXPECT_EQ(FormatPattern(3.794076, u"#0.##"), "3.79");
    EXPECT_EQ(FormatPattern(0.125, u"#0.##"), "0.13");
    EXPECT_EQ(FormatPattern(0, u"#####"), "");
    EXPECT_EQ(FormatPattern(22, u"#####"), "22");
    EXPECT_EQ(FormatPattern(-2.25, u"####0.0"), "-2.3");
    EXPECT_EQ(FormatPattern(-0.01, u"####0.0"), "0.0");
}

TEST(NumberText, LenientParseReadsTheLeadingNumber)
{
    EXPECT_EQ(ParseLeadingNumber(u"12abc"), 12);
    EXPECT_EQ(ParseLeadingNumber(u"12.5"), 12.5);
    EXPECT_EQ(ParseLeadingNumber(u".5"), 0.5);
    EXPECT_EQ(ParseLeadingNumber(u" .7"), 0.7);
    EXPECT_EQ(ParseLeadingNumber(u"abc"), 0);
    EXPECT_EQ(ParseLeadingNumber(u""), 0);
    EXPECT_EQ(ParseLeadingNumber(u"."), 0);
    EXPECT_EQ(ParseLeadingNumber(u"-3"), -3);
    EXPECT_EQ(ParseLeadingNumber(u"1e3x"), 1000);
    EXPECT_EQ(ParseLeadingNumber(u"2e"), 2);
    // Too large for a double: an infinity of its sign, never a 0 that would pass for a value.
    EXPECT_EQ(ParseLeadingNumber(u"1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber(u"-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber(QString(320, QLatin1Char('9'))), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber(u"1e-999"), 0); // too small is 0, which it nearly is
    EXPECT_EQ(ParseLeadingNumber(u"3."), 3);
}

TEST(NumberText, HalfEvenRounding)
{
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(378.99999999999994), 379);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
}
