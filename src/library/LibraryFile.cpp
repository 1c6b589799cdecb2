#include "library/LibraryFile.h"

#include "data/Cp1252.h"
#include "data/NumberText.h"
#include "data/ProgramState.h"
#include "data/WholeFileWrite.h"
#include "library/LibraryFormat.h"
#include "library/LibraryLocation.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

// ReadFMs around the reader, the writer, and the safe save: the whole file is made in memory,
// written to a temporary file beside the old one, synced, and only then renamed over it
// (WriteFileWhole).

using namespace libraryfile;

namespace {

// A library file that failed to read and must not be replaced by what was read of it.
QString g_blockedPath;
LibraryProblem g_blockedProblem;

bool setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

QString textProblem(const QString &text)
{
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        return QStringLiteral("A line break cannot be stored in the library file.");
    return LibraryTextProblem(text);
}

// Appends FormatGeneral(v). Most values of a library are short decimals (0.74, 3500): for
// those the digits are found directly, since a value that is the nearest double to m / 10^k
// with m below 10^15 prints as exactly that decimal. Everything else goes to FormatGeneral.
void appendNumber(std::string &out, double v)
{
    const double a = std::fabs(v);
    if (a == 0) {
        out += '0';
        return;
    }
    if (a >= 1e-4 && a < 1e15) {
        for (std::size_t k = 0; k <= 15; ++k) {
            const double scaled = a * kPow10[k];
            if (scaled >= 1e15)
                break;
            const auto m = std::uint64_t(std::nearbyint(scaled));
            if (double(m) / kPow10[k] != a)
                continue;
            char digits[24];
            const auto end = std::to_chars(digits, digits + sizeof digits, m).ptr;
            const std::size_t n = std::size_t(end - digits);
            if (v < 0)
                out += '-';
            if (n <= k) {
                out += "0.";
                out.append(k - n, '0');
                out.append(digits, n);
            } else {
                out.append(digits, n - k);
                if (k > 0) {
                    out += '.';
                    out.append(digits + (n - k), k);
                }
            }
            return;
        }
    }
    out += FormatGeneral(v).toStdString();
}

// Appends the text appendNumber gives v with its decimal point moved shift places to the right
// (left when negative), in the same general form: plain decimals, or "1e-05" / "1.5e+20"
// below 1e-4 and from 1e15 on.
void appendShiftedNumber(std::string &out, double v, int shift)
{
    std::string text;
    appendNumber(text, v);
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    // text = digits x 10^exponent
    std::string digits;
    long exponent = 0;
    bool afterPoint = false;
    for (; i < text.size() && text[i] != 'e'; ++i) {
        if (text[i] == '.') {
            afterPoint = true;
            continue;
        }
        digits += text[i];
        if (afterPoint)
            --exponent;
    }
    if (i < text.size())
        exponent += std::strtol(text.c_str() + i + 1, nullptr, 10);
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        out += '0';
        return;
    }
    digits.erase(0, first);
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    exponent += shift;
    const long n = long(digits.size());
    const long scientific = n - 1 + exponent; // exponent of the first digit
    if (negative)
        out += '-';
    if (scientific < -4 || scientific >= 15) {
        out += digits[0];
        if (n > 1) {
            out += '.';
            out.append(digits, 1, std::string::npos);
        }
        char e[32];
        std::snprintf(e, sizeof e, "e%c%02ld", scientific < 0 ? '-' : '+', std::labs(scientific));
        out += e;
    } else if (exponent >= 0) {
        out += digits;
        out.append(std::size_t(exponent), '0');
    } else if (scientific >= 0) {
        out.append(digits, 0, std::size_t(scientific + 1));
        out += '.';
        out.append(digits, std::size_t(scientific + 1), std::string::npos);
    } else {
        out += "0.";
        out.append(std::size_t(-scientific - 1), '0');
        out += digits;
    }
}

// Appends text in Windows-1252 (checked by textProblem before).
void appendText(std::string &out, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            out += char(c.unicode());
        } else {
            QByteArray one;
            ToCp1252(QStringView(&c, 1), one);
            out.append(one.constData(), std::size_t(one.size()));
        }
    }
}

void appendQuoted(std::string &out, const QString &text)
{
    out += '"';
    appendText(out, text);
    out += '"';
}
} // namespace

bool ReadBoundedFile(const QString &path, qint64 largest, QByteArray *bytes, QString *problem)
{
    bytes->clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return setError(problem, QStringLiteral("cannot be opened: %1").arg(file.errorString()));
    try {
        constexpr qint64 kPiece = 1 << 16;
        for (;;) {
            const qint64 room = largest + 1 - bytes->size();
            if (room <= 0)
                return setError(problem,
                                QStringLiteral("is larger than %1 MB, more than any file of its kind holds")
                                    .arg(double(largest) / (1024 * 1024)));
            const QByteArray piece = file.read(std::min(kPiece, room));
            if (piece.isEmpty())
                break;
            bytes->append(piece);
        }
    } catch (const std::bad_alloc &) {
        bytes->clear();
        return setError(problem, QStringLiteral("does not fit in memory"));
    }
    if (file.error() != QFileDevice::NoError) {
        bytes->clear();
        return setError(problem, QStringLiteral("cannot be read: %1").arg(file.errorString()));
    }
    return true;
}

QString Utf8Warning(QByteArrayView bytes)
{
    int sequences = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const int length = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        if (length == 0 || i + length > bytes.size())
            return {};
        for (int k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80)
                return {};
        ++sequences;
        i += length;
    }
    if (sequences == 0)
        return {};
    return QStringLiteral("the file looks like UTF-8 text: its letters beyond plain ASCII, read as Windows-1252, "
                          "show as two odd characters each (\u00c3\u00a9 for \u00e9). Save it again as "
                          "Windows-1252 (ANSI) text.");
}

QString LibraryProblem::toString() const
{
    QString s = path;
    if (line > 0)
        s += (s.isEmpty() ? QStringLiteral("line %1") : QStringLiteral(":%1")).arg(line);
    if (!s.isEmpty())
        s += QStringLiteral(": ");
    return s + message;
}

namespace {

bool readFile(const QString &path, ITree *tree, LibraryProblem *problem)
{
    QByteArray bytes;
    QString why;
    if (!ReadBoundedFile(path, kLargestLibraryFile, &bytes, &why)) {
        if (problem)
            *problem = {path, 0, QStringLiteral("The library file %1").arg(why)};
        return false;
    }
    LibraryReadResult result = tree ? ReadLibrary(bytes, *tree) : ReadLibrary(bytes);
    gFMSets = result.sets;
    if (!result.ok && problem) {
        *problem = result.problem;
        problem->path = path;
    }
    return result.ok;
}

} // namespace

namespace {

bool readFMs(const QString &path, ITree *tree, LibraryProblem *problem)
{
    gFMSets = std::make_shared<FuelModelSets>();
    try {
        return readFile(path, tree, problem);
    } catch (const std::bad_alloc &) {
        // The whole file did not fit in memory; what was read of it stays in gFMSets.
        if (problem)
            *problem = {path, 0, QStringLiteral("There is not enough memory to read the library file.")};
        return false;
    }
}

} // namespace

bool ReadFMs(const QString &path, ITree &tree, LibraryProblem *problem)
{
    return readFMs(path, &tree, problem);
}

bool ReadFMs(const QString &path, LibraryProblem *problem)
{
    return readFMs(path, nullptr, problem);
}

bool ReadFMs(ITree &tree, LibraryProblem *problem)
{
    const QString path = LibraryFilePath();
    LibraryProblem p;
    const bool ok = ReadFMs(path, tree, &p);
    if (ok) {
        g_blockedPath.clear();
    } else if (QFileInfo::exists(path)) {
        g_blockedPath = path;
        g_blockedProblem = p;
    }
    if (!ok && problem)
        *problem = p;
    return ok;
}

QByteArray SerializeLibrary(const FuelModelSets &sets, QString *error)
{
    std::string out;
    out.reserve(std::size_t(sets.ModelCount()) * 150 + std::size_t(sets.Count()) * 60 + 16);
    for (int s = 1; s <= sets.Count(); ++s) {
        const auto &set = sets.Item(s);
        const QString problem = textProblem(set->Name());
        if (!problem.isEmpty()) {
            setError(error, QStringLiteral("Set %1 \"%2\": %3").arg(s).arg(set->Name(), problem));
            return {};
        }
        const FuelModels &models = *set->FuelModels();
        out += "\"[FuelModelSet:";
        appendText(out, set->Name());
        out += ",Count:";
        out += std::to_string(models.Count());
        out += set->Locked() ? ", Locked]\"\r\n" : "]\"\r\n";
        for (int m = 1; m <= models.Count(); ++m) {
            const FuelModel &fm = *models.Item(m);
            const auto modelError = [&](const QString &what) {
                return setError(error,
                                QStringLiteral("Model %1 \"%2\" of set \"%3\", %4")
                                    .arg(m)
                                    .arg(fm.FuelModelID(), set->Name(), what));
            };
            for (const auto &[field, text] :
                 {std::pair{"FuelModelID", &fm.FuelModelID()}, std::pair{"Description", &fm.Description()}}) {
                const QString p = textProblem(*text);
                if (!p.isEmpty()) {
                    modelError(QString::fromLatin1(field) + QStringLiteral(": ") + p);
                    return {};
                }
            }
            const double numbers[15] = {fm.BulkDensityDepth(),
                                        fm.Loading1Hour(),
                                        fm.Loading10Hour(),
                                        fm.Loading100Hour(),
                                        fm.LoadingLiveHerb(),
                                        fm.LoadingLiveWoody(),
                                        fm.SurfaceToVolume1Hour(),
                                        fm.SurfaceToVolumeLiveHerb(),
                                        fm.SurfaceToVolumeLiveWoody(),
                                        fm.MoistureOfExtinction(),
                                        fm.HeatContentDead(),
                                        fm.HeatContentLiveHerb(),
                                        fm.HeatContentLiveWoody(),
                                        fm.FuelCat(),
                                        fm.HerbType()};
            appendQuoted(out, fm.FuelModelID());
            out += ',';
            appendQuoted(out, fm.Description());
            for (int n = 0; n < 15; ++n) {
                if (!fitsLibraryFile(numbers[n])) {
                    modelError(QString::fromLatin1(kNumberFields[std::size_t(n)]) +
                               (std::isfinite(numbers[n])
                                    ? QStringLiteral(": the value is beyond the largest number the file can hold "
                                                     "(1.79769313486231e+308).")
                                    : QStringLiteral(": the value is not a finite number the file can hold.")));
                    return {};
                }
                out += ',';
                if (n == kMoistureField)
                    appendShiftedNumber(out, numbers[n], -2); // percent in memory, a fraction in the file
                else
                    appendNumber(out, numbers[n]);
            }
            out += "\r\n";
        }
    }
    out += "\"[End]\"\r\n";
    return QByteArray(out.data(), qsizetype(out.size()));
}

namespace {

// True (with the reason in *error) when path is the library file whose failed read blocks
// overwriting it, by whatever name or link it is given.
bool overwriteBlocked(const QString &path, QString *error)
{
    if (g_blockedPath.isEmpty() || FinalFilePath(path) != FinalFilePath(g_blockedPath))
        return false;
    setError(error,
             QStringLiteral("The library file \"%1\" could not be read completely (%2). It is not "
                            "replaced by the part that was read.")
                 .arg(g_blockedPath, g_blockedProblem.toString()));
    return true;
}

} // namespace

bool WriteLibraryBytes(const QString &path, QByteArrayView bytes, QString *error)
{
    if (overwriteBlocked(path, error))
        return false;
    QString why;
    if (WriteFileWhole(path, bytes, &why))
        return true;
    return setError(error, QStringLiteral("The library file \"%1\" could not be written: %2").arg(path, why));
}

bool WriteFMs(const QString &path, const FuelModelSets &sets, QString *error)
{
    QString why;
    const QByteArray bytes = SerializeLibrary(sets, &why);
    if (bytes.isEmpty())
        return setError(error, QStringLiteral("The library was not saved. %1").arg(why));
    return WriteLibraryBytes(path, bytes, error);
}

bool WriteFMs(QString *error)
{
    return WriteFMs(LibraryFilePath(), *gFMSets, error);
}

CheckedWrite WriteFMsIfUnchanged(const QByteArray &expectedHash, QString *error, QByteArray *written,
                                 QString *keptAside)
{
    const QString path = LibraryFilePath();
    if (overwriteBlocked(path, error))
        return CheckedWrite::Failed;
    QString why;
    const QByteArray bytes = SerializeLibrary(*gFMSets, &why);
    if (bytes.isEmpty()) {
        setError(error, QStringLiteral("The library was not saved. %1").arg(why));
        return CheckedWrite::Failed;
    }
    const CheckedWrite outcome = WriteFileWholeIfUnchanged(path, bytes, expectedHash, &why, keptAside);
    if (outcome == CheckedWrite::Failed)
        setError(error, QStringLiteral("The library file \"%1\" could not be written: %2").arg(path, why));
    else if (outcome == CheckedWrite::Written && written)
        *written = bytes;
    return outcome;
}

bool LibraryOverwriteBlocked()
{
    return !g_blockedPath.isEmpty();
}

void AllowLibraryOverwrite()
{
    g_blockedPath.clear();
}

void ResetLibraryFileState()
{
    g_blockedPath.clear();
    g_blockedProblem = {};
}
