#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <string>

// A table as the exports write it: column titles (with their units, "Rate of spread (ch/h)"),
// then rows of texts. ToCsv gives comma-separated text with a header line, fields quoted
// when they hold a comma, a quote or a line break (RFC 4180), lines ended by CRLF;
// ToTabText gives the same table separated by tabs, the way spreadsheets take it from the
// clipboard.
struct CsvTable
{
    QStringList header;
    QList<QStringList> rows;

    QString ToCsv() const;
    QString ToTabText() const;
};

// One field as CSV: quoted (quotes doubled) only when it needs to be. A text cell a spreadsheet
// would run as a formula (starting with =, +, -, @, a tab or a carriage return) gets a leading
// apostrophe inside quotes ("'=HYPERLINK(...)"); a number ("-5", "+0.25", "1e-3") stays bare.
// Every CSV and tab-separated table the program writes goes through it.
QString CsvField(const QString &text);
// The text with the leading apostrophe CsvField gives a formula-like text cell (unquoted).
QString SpreadsheetSafeText(const QString &text);
// True for a plain decimal number as the tables write it.
bool IsCsvNumber(QStringView text);

// A number for a table: at most `decimals` decimals, trailing zeros dropped ("93.9", "4",
// "0.25"), "." as decimal point whatever the locale; NaN and infinities give an empty field.
QString TableNumber(double value, int decimals = 4);
// The same text appended to a byte string (the fast path of `fmtool sweep`).
void AppendTableNumber(std::string &out, double value, int decimals);

// Writes text as UTF-8 through a save file (the old file stays intact when anything fails).
// False with a message naming the file and the reason on failure.
bool SaveTextFile(const QString &path, const QString &text, QString *error);

// A column or axis title with its unit: "Rate of spread (ch/h)"; no brackets without a unit.
QString TitleWithUnit(const QString &quantity, const QString &unit);
