#include "data/Cp1252.h"

#include <QStringList>
#include <QTextBoundaryFinder>

#include <array>

namespace {

// Unicode of bytes 0x80..0x9F; undefined bytes keep their own value.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[std::size_t(i)] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

QString FromCp1252(QByteArrayView bytes)
{
    QString out;
    out.resize(bytes.size());
    QChar *d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        d[i] = QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b));
    }
    return out;
}

bool ToCp1252(QStringView text, QByteArray &out)
{
    bool ok = true;
    out.reserve(out.size() + text.size());
    for (QChar ch : text) {
        const int b = encodeChar(ch.unicode());
        if (b < 0)
            ok = false;
        else
            out.append(char(b));
    }
    return ok;
}

bool IsCp1252(QStringView text)
{
    for (QChar ch : text)
        if (encodeChar(ch.unicode()) < 0)
            return false;
    return true;
}

namespace {

// The character as the user sees it around text[index] (a surrogate pair, or an emoji with its
// modifiers, is one), and its code points as "U+1F44D U+1F3FD".
QString characterAround(const QString &text, qsizetype index, QString *codePoints)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(index);
    qsizetype start = finder.isAtBoundary() ? index : finder.toPreviousBoundary();
    if (start < 0)
        start = 0;
    finder.setPosition(start);
    qsizetype end = finder.toNextBoundary();
    if (end <= start)
        end = text.size();
    const QString character = text.mid(start, end - start);
    QStringList points;
    for (const char32_t point : character.toUcs4())
        points << QStringLiteral("U+") + QString::number(uint(point), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    *codePoints = points.join(QLatin1Char(' '));
    return character;
}

} // namespace

QString LibraryTextProblem(const QString &text)
{
    if (text.contains(QLatin1Char('"')))
        return QStringLiteral("A double quote (\") cannot be stored in the library file.");
    for (qsizetype i = 0; i < text.size(); ++i)
        if (encodeChar(text[i].unicode()) < 0) {
            QString codePoints;
            const QString character = characterAround(text, i, &codePoints);
            return QStringLiteral("The character \"%1\" (%2) cannot be stored in the library file (Windows-1252).")
                .arg(character, codePoints);
        }
    return {};
}

QString SetNameProblem(const QString &name)
{
    if (name.contains(QLatin1String(",Count:")))
        return QStringLiteral("A set name may not contain \",Count:\".");
    return LibraryTextProblem(name);
}
