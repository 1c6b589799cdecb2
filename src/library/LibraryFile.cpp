#include "library/LibraryFile.h"

#include "data/Cp1252.h"
#include "data/NumberText.h"
#include "data/ProgramState.h"
#include "library/LibraryFormat.h"
#include "library/LibraryLocation.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

// ReadFMs around the reader, the writer, and the safe save: the whole file is made in memory,
// written to a temporary file beside the old one, synced, and only then renamed over it.

using namespace libraryfile;

namespace {

constexpr double kLargestNumber = 1.79769313486231e308;

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

QString LibraryProblem::toString() const
{
    QString s = path;
    if (line > 0)
        s += (s.isEmpty() ? QStringLiteral("line %1") : QStringLiteral(":%1")).arg(line);
    if (!s.isEmpty())
        s += QStringLiteral(": ");
    return s + message;
}

bool ReadFMs(const QString &path, ITree &tree, LibraryProblem *problem)
{
    gFMSets = std::make_shared<FuelModelSets>();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (problem)
            *problem = {path, 0, QStringLiteral("The library file cannot be opened: %1").arg(file.errorString())};
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (problem)
            *problem = {path, 0, QStringLiteral("The library file cannot be read: %1").arg(file.errorString())};
        return false;
    }
    LibraryReadResult result = ReadLibrary(bytes, tree);
    gFMSets = result.sets;
    if (!result.ok && problem) {
        *problem = result.problem;
        problem->path = path;
    }
    return result.ok;
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
                return setError(error, QStringLiteral("Model %1 \"%2\" of set \"%3\", %4")
                                           .arg(m)
                                           .arg(fm.FuelModelID(), set->Name(), what));
            };
            for (const auto &[field, text] : {std::pair{"FuelModelID", &fm.FuelModelID()},
                                              std::pair{"Description", &fm.Description()}}) {
                const QString p = textProblem(*text);
                if (!p.isEmpty()) {
                    modelError(QString::fromLatin1(field) + QStringLiteral(": ") + p);
                    return {};
                }
            }
            const double numbers[15] = {fm.BulkDensityDepth(),        fm.Loading1Hour(),
                                        fm.Loading10Hour(),           fm.Loading100Hour(),
                                        fm.LoadingLiveHerb(),         fm.LoadingLiveWoody(),
                                        fm.SurfaceToVolume1Hour(),    fm.SurfaceToVolumeLiveHerb(),
                                        fm.SurfaceToVolumeLiveWoody(), fm.MoistureOfExtinction() / 100,
                                        fm.HeatContentDead(),         fm.HeatContentLiveHerb(),
                                        fm.HeatContentLiveWoody(),    fm.FuelCat(),
                                        fm.HerbType()};
            appendQuoted(out, fm.FuelModelID());
            out += ',';
            appendQuoted(out, fm.Description());
            for (int n = 0; n < 15; ++n) {
                // Beyond the largest 15-digit text below the largest double, the text would
                // round up to infinity and the file could not be read back.
                if (!(std::fabs(numbers[n]) <= kLargestNumber)) {
                    modelError(QString::fromLatin1(kNumberFields[std::size_t(n)]) +
                               QStringLiteral(": the value is not a finite number the file can hold."));
                    return {};
                }
                out += ',';
                appendNumber(out, numbers[n]);
            }
            out += "\r\n";
        }
    }
    out += "\"[End]\"\r\n";
    return QByteArray(out.data(), qsizetype(out.size()));
}

bool WriteLibraryBytes(const QString &path, QByteArrayView bytes, QString *error)
{
    QSaveFile file(path);
    const auto failed = [&](const QString &why) {
        file.cancelWriting();
        return setError(error, QStringLiteral("The library file \"%1\" could not be written: %2").arg(path, why));
    };
    // Unbuffered, so that a short write (a disk filling up part-way) shows in write()'s count:
    // through the buffer, Qt 6.4 commits the truncated file without reporting an error.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failed(file.errorString());
    if (file.write(bytes.data(), bytes.size()) != bytes.size())
        return failed(file.errorString());
    if (!file.commit())
        return setError(error, QStringLiteral("The library file \"%1\" could not be written: %2")
                                   .arg(path, file.errorString()));
    return true;
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
    const QString path = LibraryFilePath();
    if (!g_blockedPath.isEmpty() && g_blockedPath == path)
        return setError(error, QStringLiteral("The library file \"%1\" could not be read completely (%2). It is not "
                                              "replaced by the part that was read.")
                                   .arg(path, g_blockedProblem.toString()));
    return WriteFMs(path, *gFMSets, error);
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
