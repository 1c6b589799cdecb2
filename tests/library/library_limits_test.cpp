// The limits of the library file: the one bound of its numbers, memory that follows what a file
// really holds, and files that are not Windows-1252 text.
#include "library/LibraryFile.h"

#include "support/LibraryFileSupport.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdlib>
#include <limits>
#include <new>

// Allocation failures on demand: while armed, operator new refuses any single request above
// a size, or the n-th request, as a machine short of memory would. Disarmed it only forwards.
namespace {
std::size_t g_largestAllowed = std::numeric_limits<std::size_t>::max();
long g_failAt = -1; // count down; the request that brings it to 0 fails
} // namespace

void *operator new(std::size_t size)
{
    if (size > g_largestAllowed || (g_failAt > 0 && --g_failAt == 0))
        throw std::bad_alloc();
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void *p) noexcept
{
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}

// Every other form goes the same way, so that memory from one form is never freed by another
// (the sanitizers tell the library's own forms from these).
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

void *operator new[](std::size_t size)
{
    return ::operator new(size);
}

void *operator new[](std::size_t size, const std::nothrow_t &tag) noexcept
{
    return ::operator new(size, tag);
}

void operator delete(void *p, const std::nothrow_t &) noexcept
{
    std::free(p);
}

void operator delete[](void *p) noexcept
{
    std::free(p);
}

void operator delete[](void *p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void *p, const std::nothrow_t &) noexcept
{
    std::free(p);
}

namespace {

using namespace libraryfiletest;
using LibraryLimits = LibraryFileTest;

struct AllocationLimit
{
    AllocationLimit(std::size_t largest, long failAt)
    {
        g_largestAllowed = largest;
        g_failAt = failAt;
    }
    ~AllocationLimit()
    {
        g_largestAllowed = std::numeric_limits<std::size_t>::max();
        g_failAt = -1;
    }
};

QByteArray oneModel(const char *depth, const char *extinction)
{
    return QByteArray("\"[FuelModelSet:S,Count:1]\"\r\n\"1\",\"d\",") + depth + ",0.74,0,0,0,0,3500,1500,1500," +
        extinction + ",8000,8000,8000,1,1\r\n\"[End]\"\r\n";
}

FuelModelSets withExtinction(double percent)
{
    FuelModelSets sets;
    auto models = std::make_shared<FuelModels>();
    addGrass(*models, "m", "d")->setMoistureOfExtinction(percent);
    sets.Add("S", false, models, "s");
    return sets;
}

TEST_F(LibraryLimits, ReaderAndWriterShareOneBound)
{
    // The largest 15-digit decimal below the largest double is the bound, for every field and
    // for the moisture of extinction as a percent.
    constexpr double kBound = 1.79769313486231e308;

    // Beyond it the reader refuses, also when only the shift to percent takes the value there;
    // otherwise every later save of the library would fail.
    for (const auto &[depth, extinction] :
         {std::pair{"1.7976931348623157e308", "0.12"}, std::pair{"-1.79769313486232e308", "0.12"},
          std::pair{"1", "1.7976931348623157e306"}, std::pair{"1", "1e307"}}) {
        const auto result = read(oneModel(depth, extinction));
        EXPECT_FALSE(result.ok) << depth << " " << extinction;
        EXPECT_EQ(result.problem.line, 2);
        EXPECT_TRUE(result.problem.message.contains(extinction == QByteArray("0.12") ? "BulkDensityDepth"
                                                                                     : "MoistureOfExtinction"))
            << result.problem.message.toStdString();
        EXPECT_TRUE(result.problem.message.contains("1.79769313486231e+308")) << result.problem.message.toStdString();
    }

    // Up to it a value reads, writes and reads back as it was.
    for (const auto &[depth, extinction, percent] :
         {std::tuple{"1.79769313486231e+308", "0.12", 12.0}, std::tuple{"-1.79769313486231e+308", "0.12", 12.0},
          std::tuple{"1", "1.79769313486231e+306", kBound}, std::tuple{"1", "-1.79769313486231e+306", -kBound}}) {
        const auto first = read(oneModel(depth, extinction));
        ASSERT_TRUE(first.ok) << first.problem.toString().toStdString();
        QString error;
        const QByteArray saved = SerializeLibrary(*first.sets, &error);
        ASSERT_FALSE(saved.isEmpty()) << error.toStdString();
        const auto again = read(saved);
        ASSERT_TRUE(again.ok) << again.problem.toString().toStdString();
        const FuelModel &fm = *again.sets->Item(1)->FuelModels()->Item(1);
        EXPECT_EQ(fm.BulkDensityDepth(), std::strtod(depth, nullptr));
        EXPECT_EQ(fm.MoistureOfExtinction(), percent);
    }

    // The writer refuses what the reader would refuse: the largest double as a percent would be
    // written as a fraction of 1.79769313486232e+306 and read back as infinity.
    QString error;
    EXPECT_TRUE(SerializeLibrary(withExtinction(DBL_MAX), &error).isEmpty());
    EXPECT_TRUE(error.contains("MoistureOfExtinction")) << error.toStdString();
    EXPECT_FALSE(SerializeLibrary(withExtinction(kBound), &error).isEmpty());
    EXPECT_TRUE(SerializeLibrary(withExtinction(-DBL_MAX), &error).isEmpty());
}

TEST_F(LibraryLimits, TinyAndSubnormalExtinctionsSurviveWriteAndRead)
{
    // Dividing by 100 would flush these to 0 or drop their last digits.
    const double percents[] = {4.94065645841247e-324, 1e-310, -2.5e-320,
                               2.2250738585072e-308,  1e-306, 1.23456789012345e-300};
    for (const double percent : percents) {
        QString error;
        const QByteArray saved = SerializeLibrary(withExtinction(percent), &error);
        ASSERT_FALSE(saved.isEmpty()) << error.toStdString();
        const auto back = read(saved);
        ASSERT_TRUE(back.ok) << back.problem.toString().toStdString();
        EXPECT_EQ(back.sets->Item(1)->FuelModels()->Item(1)->MoistureOfExtinction(), percent) << saved.toStdString();
    }
    // The fraction in the file is the percent's text with the point moved two places.
    for (const auto &[percent, fraction] :
         {std::pair{4.94065645841247e-324, ",4.94065645841247e-326,"}, std::pair{0.001, ",1e-05,"},
          std::pair{-2.5, ",-0.025,"}, std::pair{1.5e20, ",1.5e+18,"}, std::pair{1.5e16, ",150000000000000,"},
          std::pair{0.5, ",0.005,"}, std::pair{1234.5, ",12.345,"}}) {
        const QByteArray saved = SerializeLibrary(withExtinction(percent), nullptr);
        EXPECT_TRUE(saved.contains(fraction)) << fraction << " in " << saved.toStdString();
    }

    // A subnormal fraction in a file reads as its percent and is written back to give it again.
    const auto first = read(oneModel("1", "1e-320"));
    ASSERT_TRUE(first.ok);
    const double percent = first.sets->Item(1)->FuelModels()->Item(1)->MoistureOfExtinction();
    EXPECT_EQ(percent, 1e-318);
    const auto again = read(SerializeLibrary(*first.sets, nullptr));
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(again.sets->Item(1)->FuelModels()->Item(1)->MoistureOfExtinction(), percent);
}

TEST_F(LibraryLimits, MemoryFollowsWhatTheFileHolds)
{
    // No single allocation of a few models' reading comes near 256 KiB; sizing from the line
    // ends or from the count claimed would ask for megabytes here.
    const AllocationLimit limit(256 * 1024, -1);
    const QByteArray manyLineEnds(4 * 1024 * 1024, '\n');

    LibraryReadResult endFirst;
    ASSERT_NO_THROW(endFirst = read("\"[End]\"" + manyLineEnds));
    EXPECT_TRUE(endFirst.ok) << endFirst.problem.toString().toStdString();
    EXPECT_EQ(endFirst.sets->Count(), 0);

    LibraryReadResult claims;
    ASSERT_NO_THROW(claims = read("\"[FuelModelSet:S,Count:2000000000]\"\r\n"
                                  "\"1\",\"d\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n" +
                                  QByteArray(4 * 1024 * 1024, ' ')));
    EXPECT_FALSE(claims.ok);
    ASSERT_EQ(claims.sets->Count(), 1);
    EXPECT_EQ(claims.sets->Item(1)->FuelModels()->Count(), 1);
    EXPECT_TRUE(claims.problem.message.contains("end of the file")) << claims.problem.message.toStdString();
}

TEST_F(LibraryLimits, RunningOutOfMemoryIsAReadProblem)
{
    QByteArray bytes = variedLibrary();
    int failures = 0;
    for (long n = 1; n < 400; ++n) {
        tree.Clear();
        ResetProgramState();
        LibraryReadResult result;
        {
            const AllocationLimit limit(std::numeric_limits<std::size_t>::max(), n);
            try {
                result = ReadLibrary(bytes, tree);
            } catch (...) {
                ADD_FAILURE() << "the reader threw at allocation " << n;
                continue;
            }
        }
        if (result.ok)
            break; // the whole read needed fewer allocations
        ++failures;
        ASSERT_TRUE(result.sets);
        EXPECT_TRUE(result.problem.message.contains("not enough memory"))
            << n << ": " << result.problem.message.toStdString();
        // What was read before the failure is whole: every set and model has its node.
        EXPECT_EQ(TreeMismatch(tree, *result.sets).toStdString(), "") << n;
    }
    EXPECT_GT(failures, 10);
}

TEST_F(LibraryLimits, AByteOrderMarkIsExplained)
{
    for (const QByteArray &bytes :
         {"\xEF\xBB\xBF" + kWorkedExample, QByteArray("\xEF\xBB\xBF\"[End]\"\r\n"), QByteArray("\xEF\xBB\xBF")}) {
        const auto result = read(bytes);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.problem.line, 1);
        const QString &m = result.problem.message;
        EXPECT_TRUE(m.contains("UTF-8") && m.contains("Windows-1252") && m.contains("byte order mark"))
            << m.toStdString();
        EXPECT_FALSE(m.contains(QString::fromUtf8("\u00ef"))) << m.toStdString();
        EXPECT_EQ(result.sets->Count(), 0);
    }
    // UTF-16 and UTF-32 in both byte orders: named as what they are.
    const QString text = QString::fromLatin1(kWorkedExample);
    const struct
    {
        QStringConverter::Encoding encoding;
        const char *name;
    } wide[] = {{QStringConverter::Utf16LE, "UTF-16 (little-endian)"},
                {QStringConverter::Utf16BE, "UTF-16 (big-endian)"},
                {QStringConverter::Utf32LE, "UTF-32 (little-endian)"},
                {QStringConverter::Utf32BE, "UTF-32 (big-endian)"}};
    for (const auto &w : wide) {
        QStringEncoder encode(w.encoding, QStringConverter::Flag::WriteBom);
        const QByteArray bytes = encode(text);
        const auto result = read(bytes);
        EXPECT_FALSE(result.ok) << w.name;
        EXPECT_EQ(result.problem.line, 1);
        EXPECT_TRUE(result.problem.message.startsWith(QString("the file starts with a %1 byte order mark").arg(w.name)))
            << result.problem.message.toStdString();
    }
    // A NUL in a field is shown by its code, so that the message is not cut where it stands.
    static const char withNul[] = "\"[FuelModelSet:A,Count:1]\"\r\n\"1\",\"x\",1,0\x00\x01,0,0\r\n";
    const auto nul = read(QByteArray(withNul, sizeof withNul - 1));
    EXPECT_FALSE(nul.ok);
    EXPECT_TRUE(nul.problem.message.endsWith("found \"0\\x00\\x01\"")) << nul.problem.message.toStdString();
    EXPECT_FALSE(nul.problem.message.contains(QChar(0)));

    // Elsewhere the same three bytes are the Windows-1252 letters they stand for.
    const auto inName = read("\"[FuelModelSet:\xEF\xBB\xBF,Count:0]\"\r\n\"[End]\"\r\n");
    ASSERT_TRUE(inName.ok) << inName.problem.toString().toStdString();
    EXPECT_EQ(inName.sets->Item(1)->Name(), QString::fromUtf8("\u00ef\u00bb\u00bf"));
}

} // namespace
