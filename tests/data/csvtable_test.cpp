#include "data/CsvTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

TEST(CsvTable, FieldsAreQuotedOnlyWhenTheyNeedIt)
{
    CsvTable t;
    t.header = {QStringLiteral("Model"), QStringLiteral("Rate of spread (ch/h)")};
    t.rows = {{QStringLiteral("GR2"), QStringLiteral("12.5")},
              {QStringLiteral("Grass, short"), QStringLiteral("1")},
              {QStringLiteral("The \"tall\" one"), QStringLiteral("2")},
              {QStringLiteral("two\nlines"), QString()}};
    EXPECT_EQ(t.ToCsv(),
              QStringLiteral("Model,Rate of spread (ch/h)\r\n"
                             "GR2,12.5\r\n"
                             "\"Grass, short\",1\r\n"
                             "\"The \"\"tall\"\" one\",2\r\n"
                             "\"two\nlines\",\r\n"));
    // Tabs separate the clipboard text; a tab or line break inside a field would break rows.
    t.rows = {{QStringLiteral("a\tb"), QStringLiteral("c\nd")}};
    EXPECT_EQ(t.ToTabText(), QStringLiteral("Model\tRate of spread (ch/h)\na b\tc d\n"));
}

// A text cell a spreadsheet would take for a formula gets a leading apostrophe inside quotes;
// numbers, signed ones included, stay bare so that they stay numbers.
TEST(CsvTable, FormulaLikeTextIsEscapedNumbersNever)
{
    EXPECT_EQ(CsvField(QStringLiteral("=HYPERLINK(\"http://x\")")),
              QStringLiteral("\"'=HYPERLINK(\"\"http://x\"\")\""));
    EXPECT_EQ(CsvField(QStringLiteral("@SUM(A1)")), QStringLiteral("\"'@SUM(A1)\""));
    EXPECT_EQ(CsvField(QStringLiteral("+cmd")), QStringLiteral("\"'+cmd\""));
    EXPECT_EQ(CsvField(QStringLiteral("-2+3")), QStringLiteral("\"'-2+3\""));
    EXPECT_EQ(CsvField(QStringLiteral("\tx")), QStringLiteral("\"'\tx\""));
    EXPECT_EQ(CsvField(QStringLiteral("\rx")), QStringLiteral("\"'\rx\""));
    EXPECT_EQ(CsvField(QStringLiteral("-")), QStringLiteral("\"'-\""));
    for (const char *number : {"-5", "-0.25", "+3", "12.5", "-1e-3", "1E+5", ".5", "-7."})
        EXPECT_EQ(CsvField(QString::fromLatin1(number)), QString::fromLatin1(number)) << number;
    // Only the first character counts; text that merely holds the signs is left alone.
    EXPECT_EQ(CsvField(QStringLiteral("a=b")), QStringLiteral("a=b"));
    EXPECT_EQ(CsvField(QStringLiteral("GR-2")), QStringLiteral("GR-2"));

    CsvTable t;
    t.header = {QStringLiteral("ID"), QStringLiteral("Slope change (%)")};
    t.rows = {{QStringLiteral("=1+1"), QStringLiteral("-5")}};
    EXPECT_EQ(t.ToCsv(), QStringLiteral("ID,Slope change (%)\r\n\"'=1+1\",-5\r\n"));
    EXPECT_EQ(t.ToTabText(), QStringLiteral("ID\tSlope change (%)\n'=1+1\t-5\n"));
}

TEST(CsvTable, NumbersUseAPointAndNoTrailingZeros)
{
    EXPECT_EQ(TableNumber(93.9), QStringLiteral("93.9"));
    EXPECT_EQ(TableNumber(4.0), QStringLiteral("4"));
    EXPECT_EQ(TableNumber(0.25, 3), QStringLiteral("0.25"));
    EXPECT_EQ(TableNumber(1.23456, 2), QStringLiteral("1.23"));
    EXPECT_EQ(TableNumber(-0.00001, 3), QStringLiteral("0"));
    EXPECT_EQ(TableNumber(1500), QStringLiteral("1500"));
    EXPECT_EQ(TableNumber(std::nan("")), QString());
    EXPECT_EQ(TitleWithUnit(QStringLiteral("Flame length"), QStringLiteral("ft")), QStringLiteral("Flame length (ft)"));
    EXPECT_EQ(TitleWithUnit(QStringLiteral("Relative packing ratio"), QString()),
              QStringLiteral("Relative packing ratio"));
}

TEST(CsvTable, SavingReplacesTheFileWholeOrReportsWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("curve.csv"));
    QString error;
    ASSERT_TRUE(SaveTextFile(path, QStringLiteral("a,b\r\n°F,1\r\n"), &error)) << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              QByteArray("a,b\r\n\xc2\xb0"
                         "F,1\r\n"));
    f.close();

    const QString missing = dir.filePath(QStringLiteral("no/such/folder/curve.csv"));
    EXPECT_FALSE(SaveTextFile(missing, QStringLiteral("x"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("curve.csv"))) << error.toStdString();
}
