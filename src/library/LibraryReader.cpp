#include "library/LibraryFile.h"

#include "data/Cp1252.h"
#include "data/NodeKey.h"
#include "data/UserMessage.h"
#include "library/ITree.h"
#include "library/LibraryFormat.h"

#include <QStringBuilder>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>
#include <new>
#include <string>

// The reader of the library file: fields one at a time from the bytes, numbers parsed exactly,
// records made as they come. The tree is filled afterwards from the records (FillLibraryTree).

using namespace libraryfile;

namespace {

const QLatin1String kCountMark(",Count:");
constexpr qsizetype kHeaderPrefixLength = 14; // "[FuelModelSet:", not checked

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

QString shown(QByteArrayView text)
{
    constexpr qsizetype kMax = 60;
    qsizetype n = 0;
    while (n < text.size() && n < kMax && !isLineEnd(text[n]))
        ++n;
    // Control characters (a NUL above all, which would end the message where it is printed)
    // are shown by their code.
    QString s;
    for (const QChar c : FromCp1252(text.first(n)))
        s += c.unicode() < 0x20 || c.unicode() == 0x7f
            ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
            : QString(c);
    if (n < text.size())
        s += QStringLiteral("...");
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// Parses the whole of text as a decimal number (optional sign, digits with an optional ".",
// optional exponent) times 10^shift, correctly rounded (infinite beyond the range of a double).
// Shifting the decimal point in the text rather than multiplying the double keeps 0.12 * 100
// exactly 12. False for anything that is not such a number.
bool parseNumber(QByteArrayView text, int shift, double &out)
{
    const char *p = text.data();
    const char *const end = p + text.size();
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    const char *const digitsBegin = p;
    std::uint64_t mantissa = 0;
    int significant = 0; // digits from the first non-zero one
    int fractionDigits = 0;
    bool any = false;
    const auto take = [&](char c) {
        any = true;
        if (significant > 0 || c != '0') {
            if (significant < 19)
                mantissa = mantissa * 10 + std::uint64_t(c - '0');
            ++significant;
        }
    };
    for (; p < end && *p >= '0' && *p <= '9'; ++p)
        take(*p);
    const char *const pointAt = p;
    if (p < end && *p == '.')
        for (++p; p < end && *p >= '0' && *p <= '9'; ++p, ++fractionDigits)
            take(*p);
    const char *const digitsEnd = p;
    if (!any)
        return false;
    long exponent = 0;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool expNegative = false;
        if (p < end && (*p == '+' || *p == '-'))
            expNegative = *p++ == '-';
        if (p == end || *p < '0' || *p > '9')
            return false;
        for (; p < end && *p >= '0' && *p <= '9'; ++p)
            if (exponent < 100000)
                exponent = exponent * 10 + (*p - '0');
        if (expNegative)
            exponent = -exponent;
    }
    if (p != end)
        return false;

    // value = (all digits, point removed) * 10^e10
    const long e10 = exponent + shift - fractionDigits;
    double v;
    if (significant == 0) {
        v = 0;
    } else if (significant <= 15 && e10 >= -22 && e10 <= 22) {
        // Both operands are exact, so one correctly rounded operation gives the nearest double.
        v = e10 < 0 ? double(mantissa) / kPow10[std::size_t(-e10)] : double(mantissa) * kPow10[std::size_t(e10)];
    } else {
        std::string s(digitsBegin, pointAt);
        if (pointAt < digitsEnd)
            s.append(pointAt + 1, digitsEnd);
        s += 'e' + std::to_string(e10);
        // Only digits and an exponent: no decimal point, so the C locale does not matter.
        // Beyond the range of a double this is infinite, which the caller's bound refuses.
        v = std::strtod(s.c_str(), nullptr);
    }
    out = negative ? -v : v;
    return true;
}

// The fields of the file one at a time, with the line each starts on.
class FieldReader
{
public:
    explicit FieldReader(QByteArrayView bytes) : m_p(bytes.data()), m_end(bytes.data() + bytes.size()) { }

    enum class Status { Field, EndOfFile, Error };

    // A UTF-8 byte order mark at the very start (the reader does not skip it).
    bool startsWithByteOrderMark() const { return m_end - m_p >= 3 && std::memcmp(m_p, "\xEF\xBB\xBF", 3) == 0; }

    // The name of a UTF-16 or UTF-32 byte order mark at the very start, empty when there is
    // none. UTF-32 first: its little-endian mark begins with UTF-16's.
    QString wideByteOrderMark() const
    {
        const auto startsWith = [&](const char *mark, qsizetype n) {
            return m_end - m_p >= n && std::memcmp(m_p, mark, std::size_t(n)) == 0;
        };
        if (startsWith("\xFF\xFE\x00\x00", 4))
            return QStringLiteral("UTF-32 (little-endian)");
        if (startsWith("\x00\x00\xFE\xFF", 4))
            return QStringLiteral("UTF-32 (big-endian)");
        if (startsWith("\xFF\xFE", 2))
            return QStringLiteral("UTF-16 (little-endian)");
        if (startsWith("\xFE\xFF", 2))
            return QStringLiteral("UTF-16 (big-endian)");
        return {};
    }

    // Reads the next field into text. Blank lines and blanks before a field are skipped; a
    // field ends at a comma (which is consumed), a line end or the end of the file.
    Status next(QByteArrayView &text)
    {
        skipSpace();
        m_fieldLine = m_line;
        if (m_p == m_end)
            return Status::EndOfFile;
        if (*m_p == '"') {
            const char *start = ++m_p;
            const char *quote = static_cast<const char *>(std::memchr(start, '"', std::size_t(m_end - start)));
            const char *stop = quote ? quote : m_end;
            const char *lf = static_cast<const char *>(std::memchr(start, '\n', std::size_t(stop - start)));
            const char *cr = static_cast<const char *>(std::memchr(start, '\r', std::size_t(stop - start)));
            if (!quote || lf || cr) {
                m_p = start - 1;
                m_error = QStringLiteral("expected a closing double quote before the end of the line");
                return Status::Error;
            }
            text = QByteArrayView(start, quote - start);
            m_p = quote + 1;
            while (m_p < m_end && isBlank(*m_p))
                ++m_p;
            if (m_p < m_end && *m_p == ',') {
                ++m_p;
            } else if (m_p < m_end && !isLineEnd(*m_p)) {
                m_error = QStringLiteral("expected a comma or a line end after the closing double quote, found %1")
                              .arg(shown(QByteArrayView(m_p, std::min<qsizetype>(m_end - m_p, 20))));
                return Status::Error;
            }
            m_lastFieldLine = m_fieldLine;
            return Status::Field;
        }
        const char *start = m_p;
        while (m_p < m_end && *m_p != ',' && !isLineEnd(*m_p)) {
            if (*m_p == '"') {
                m_error = QStringLiteral("expected a comma or a line end before the double quote in %1")
                              .arg(shown(QByteArrayView(start, std::min<qsizetype>(m_end - start, 20))));
                return Status::Error;
            }
            ++m_p;
        }
        const char *stop = m_p;
        while (stop > start && isBlank(stop[-1]))
            --stop;
        text = QByteArrayView(start, stop - start);
        if (m_p < m_end && *m_p == ',')
            ++m_p;
        m_lastFieldLine = m_fieldLine;
        return Status::Field;
    }

    int fieldLine() const { return m_fieldLine; }
    // Line of the last field read, where a file that ends too early is reported.
    int lastFieldLine() const { return m_lastFieldLine; }
    const QString &error() const { return m_error; }
    qsizetype remaining() const { return m_end - m_p; }

private:
    void skipSpace()
    {
        while (m_p < m_end) {
            const char c = *m_p;
            if (c == '\n') {
                ++m_line;
            } else if (c == '\r') {
                if (m_p + 1 == m_end || m_p[1] != '\n')
                    ++m_line;
            } else if (!isBlank(c)) {
                return;
            }
            ++m_p;
        }
    }

    const char *m_p;
    const char *m_end;
    int m_line = 1;
    int m_fieldLine = 1;
    int m_lastFieldLine = 1;
    QString m_error;
};

class LibraryParser
{
public:
    explicit LibraryParser(QByteArrayView bytes) : m_fields(bytes) { }

    LibraryReadResult run()
    {
        m_result.sets = std::make_shared<FuelModelSets>();
        try {
            m_result.ok = readAll();
        } catch (const std::bad_alloc &) {
            m_result.ok = fail(m_fields.fieldLine(), outOfMemory());
        } catch (const std::exception &e) {
            // A key past the counter's range.
            m_result.ok = fail(m_fields.fieldLine(), UserMessageOf(e));
        }
        return std::move(m_result);
    }

private:
    static QString outOfMemory()
    {
        return QStringLiteral("there is not enough memory to read the rest of the library");
    }

    bool fail(int line, const QString &message)
    {
        m_result.problem.line = line;
        m_result.problem.message = message;
        return false;
    }

    bool readAll()
    {
        if (m_fields.startsWithByteOrderMark())
            return fail(1,
                        QStringLiteral("the file starts with a UTF-8 byte order mark: it was saved as UTF-8 text by "
                                       "another program, but a library file is Windows-1252 text. Save it again "
                                       "as Windows-1252 (ANSI) text, without a byte order mark."));
        if (const QString wide = m_fields.wideByteOrderMark(); !wide.isEmpty())
            return fail(1,
                        QStringLiteral("the file starts with a %1 byte order mark: it was saved as %1 text by "
                                       "another program, but a library file is Windows-1252 text. Save it again "
                                       "as Windows-1252 (ANSI) text.")
                            .arg(wide));
        QByteArrayView field;
        for (bool first = true;; first = false) {
            const auto status = m_fields.next(field);
            // A library always ends with its "[End]" line: a file without it was cut short (a
            // copy or a write stopped midway), and what it holds is not the whole library.
            if (status == FieldReader::Status::EndOfFile && first)
                return fail(1,
                            QStringLiteral("the file is empty: a library file holds at least "
                                           "its \"[End]\" line"));
            if (status == FieldReader::Status::EndOfFile)
                return fail(m_fields.lastFieldLine(),
                            QStringLiteral("expected a set header or \"[End]\", found the end of "
                                           "the file: the file may have been cut short"));
            if (status == FieldReader::Status::Error)
                return fail(m_fields.fieldLine(), m_fields.error());
            if (field == QByteArrayView("[End]"))
                return true;
            if (field.isEmpty()) {
                // An empty header ends the library; refuse it when more follows, which would
                // otherwise be dropped silently on the next save.
                const int line = m_fields.fieldLine();
                if (m_fields.next(field) == FieldReader::Status::EndOfFile)
                    return true;
                return fail(line, QStringLiteral("expected a set header or \"[End]\", found an empty field"));
            }
            if (!readSet(field))
                return false;
        }
    }

    bool readSet(QByteArrayView field)
    {
        const int headerLine = m_fields.fieldLine();
        const QString header = FromCp1252(field);
        const qsizetype p = header.lastIndexOf(kCountMark);
        if (p < kHeaderPrefixLength)
            return fail(headerLine,
                        QStringLiteral("expected a set header \"[FuelModelSet:NAME,Count:N]\" or "
                                       "\"[End]\", found %1")
                            .arg(shown(field)));
        const QString name = header.mid(kHeaderPrefixLength, p - kHeaderPrefixLength);
        qsizetype i = p + kCountMark.size();
        while (i < header.size() && header[i] == QLatin1Char(' '))
            ++i;
        std::int64_t count = 0;
        const qsizetype digitsStart = i;
        for (; i < header.size() && header[i] >= QLatin1Char('0') && header[i] <= QLatin1Char('9'); ++i) {
            count = count * 10 + (header[i].unicode() - '0');
            if (count > std::numeric_limits<std::int32_t>::max())
                return fail(headerLine, QStringLiteral("the number of models of set \"%1\" is out of range").arg(name));
        }
        if (i == digitsStart)
            return fail(headerLine,
                        QStringLiteral("expected the number of models after \",Count:\" in the header "
                                       "of set \"%1\", found %2")
                            .arg(name, shown(field)));
        const bool locked = QStringView(header).mid(i).contains(QLatin1String("locked"), Qt::CaseInsensitive);

        const QString setKey = NewNodeKey(locked);
        auto models = std::make_shared<FuelModels>();
        // Nothing is reserved from the count: memory grows with the models actually read.
        m_result.sets->Add(name, locked, models, setKey);
        m_models = models.get();
        for (std::int64_t m = 1; m <= count; ++m)
            if (!readModel(int(m), int(count), name))
                return false;
        return true;
    }

    bool readModel(int position, int count, const QString &setName)
    {
        const auto where = [&](int field) {
            return QStringLiteral("field %1 of model %2 of %3 in set \"%4\"")
                .arg(field)
                .arg(position)
                .arg(count)
                .arg(setName);
        };
        QByteArrayView text[2];
        double numbers[15];
        for (int f = 0; f < 17; ++f) {
            QByteArrayView field;
            const auto status = m_fields.next(field);
            if (status == FieldReader::Status::Error)
                return fail(m_fields.fieldLine(), m_fields.error());
            if (status == FieldReader::Status::EndOfFile)
                return fail(m_fields.lastFieldLine(),
                            QStringLiteral("expected %1 (%2), found the end of the file")
                                .arg(f < 2 ? QString::fromLatin1(f == 0 ? "FuelModelID" : "Description")
                                           : QString::fromLatin1(kNumberFields[std::size_t(f - 2)]),
                                     where(f + 1)));
            if (f < 2) {
                text[f] = field;
                continue;
            }
            const int n = f - 2;
            if (!parseNumber(field, n == kMoistureField ? 2 : 0, numbers[n]))
                return fail(m_fields.fieldLine(),
                            QStringLiteral("expected a number for %1 (%2), found %3")
                                .arg(QString::fromLatin1(kNumberFields[std::size_t(n)]), where(f + 1), shown(field)));
            if (!fitsLibraryFile(numbers[n]))
                return fail(m_fields.fieldLine(),
                            QStringLiteral("the number %1 for %2 (%3) is too large: a library file holds numbers "
                                           "up to 1.79769313486231e+308%4")
                                .arg(shown(field), QString::fromLatin1(kNumberFields[std::size_t(n)]), where(f + 1),
                                     n == kMoistureField ? QStringLiteral(" (after the fraction is made a percent)")
                                                         : QString()));
        }
        const QString key = NewNodeKey(false);
        m_models->Add(FromCp1252(text[0]), FromCp1252(text[1]), numbers[0], numbers[1], numbers[2], numbers[3],
                      numbers[4], numbers[5], numbers[6], numbers[7], numbers[8], numbers[9], numbers[10], numbers[11],
                      numbers[12], numbers[13], numbers[14], key, key);
        return true;
    }

    FieldReader m_fields;
    LibraryReadResult m_result;
    FuelModels *m_models = nullptr;
};

} // namespace

LibraryReadResult ReadLibrary(QByteArrayView bytes)
{
    // No space is reserved ahead: a file's length and the counts it claims say nothing about
    // how many models it really holds.
    try {
        return LibraryParser(bytes).run();
    } catch (const std::bad_alloc &) {
        // Not even the empty result could be made.
        LibraryReadResult result;
        result.sets = std::make_shared<FuelModelSets>();
        result.problem.message = QStringLiteral("there is not enough memory to read the library");
        return result;
    }
}
