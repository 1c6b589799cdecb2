// Deterministic mutations of valid library files, thrown at the reader. Whatever the bytes, the
// reader must not crash or throw, must keep the tree and the sets it hands back consistent,
// must report a failure with a line inside the file, must not grow beyond what the bytes hold,
// and a clean read must save and read back to the same file. The sanitizer build runs this too.
#include "data/ProgramState.h"
#include "library/DefaultLibrary.h"
#include "library/LibraryFile.h"
#include "library/MemoryTree.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// Small, fixed generator so that every run and platform sees the same cases.
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) { }
    std::uint32_t next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return std::uint32_t(m_state >> 33);
    }
    int below(int n) { return n <= 0 ? 0 : int(next() % std::uint32_t(n)); }

private:
    std::uint64_t m_state;
};

const std::vector<QByteArray> kTokens = {"\"",
                                         ",",
                                         "\r\n",
                                         "\n",
                                         "\r",
                                         " ",
                                         "0",
                                         "9",
                                         "-",
                                         ".",
                                         "e",
                                         "e+400",
                                         "\x80",
                                         "\x9d",
                                         QByteArray(1, '\0'),
                                         ",Count:",
                                         ",Count:99999999999",
                                         ",Count:2147483647",
                                         ",Count:-3",
                                         ", Locked]",
                                         ", LOCKED]",
                                         "]",
                                         "\"[End]\"",
                                         "\"\"",
                                         "[FuelModelSet:",
                                         "\"[FuelModelSet:x,Count:1]\"\r\n",
                                         "1e-320",
                                         "1.79769313486232e+308"};

QByteArray mutate(QByteArray bytes, Random &random)
{
    const int steps = 1 + random.below(4);
    for (int s = 0; s < steps; ++s) {
        const int at = random.below(int(bytes.size()) + 1);
        switch (random.below(6)) {
        case 0: // any byte
            if (at < bytes.size())
                bytes[at] = char(random.below(256));
            break;
        case 1: // a byte or text the format gives meaning to
            bytes.insert(at, kTokens[std::size_t(random.below(int(kTokens.size())))]);
            break;
        case 2: // a piece gone
            bytes.remove(at, 1 + random.below(20));
            break;
        case 3: { // a piece repeated elsewhere
            const QByteArray piece = bytes.mid(random.below(int(bytes.size())), 1 + random.below(80));
            bytes.insert(random.below(int(bytes.size()) + 1), piece);
            break;
        }
        case 4: // cut short
            bytes.truncate(at);
            break;
        default: // one token replaced by another
            if (at < bytes.size())
                bytes.replace(at, 1 + random.below(6), kTokens[std::size_t(random.below(int(kTokens.size())))]);
            break;
        }
    }
    return bytes;
}

int lineCount(const QByteArray &bytes)
{
    return int(bytes.count('\n') + bytes.count('\r')) + 1;
}

TEST(LibraryFuzz, MutatedFilesNeverBreakTheReader)
{
    const std::vector<QByteArray> seeds = {
        "\"[FuelModelSet:Grass,Count:1]\"\r\n"
        "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n\"[End]\"\r\n",
        "\"[FuelModelSet:a,Count:b,Count:2, Locked]\"\r\n"
        "\"x\",\"\",123456789012345,-2.5,1e-05,1.5e+20,0.333333333333333,99.9999999999999,"
        "0.000123456789012345,7,0,0.123456789012345,1e-300,1.79769313486231e+308,4.94065645841247e-324,3,1\r\n"
        "\" p \",\"Caf\xe9 \x81\x93q\x94\",2,2,2,2,2,2,2,2,2,0.35,2,2,2,2,2\r\n"
        "\"[FuelModelSet:,Count:0]\"\r\n\"[FuelModelSet:Unlocked Models,Count:0]\"\r\n\"[End]\"\r\n",
        DefaultLibraryBytes().left(1200) + "\r\n\"[End]\"\r\n",
    };
    Random random(20240607);
    int clean = 0;
    int failed = 0;
    for (int i = 0; i < 10000; ++i) {
        const QByteArray bytes = mutate(seeds[std::size_t(i) % seeds.size()], random);
        SCOPED_TRACE(testing::Message() << "case " << i << ": " << bytes.toStdString());
        ResetProgramState();
        MemoryTree tree;
        LibraryReadResult result;
        try {
            result = ReadLibrary(bytes, tree);
        } catch (...) {
            FAIL() << "the reader threw";
        }
        ASSERT_TRUE(result.sets);
        ASSERT_EQ(TreeMismatch(tree, *result.sets), "");
        // Every model costs at least its 17 fields and their separators in the file.
        ASSERT_LE(qsizetype(result.sets->ModelCount()) * 30, bytes.size() + 30);
        if (!result.ok) {
            ++failed;
            ASSERT_FALSE(result.problem.message.isEmpty());
            ASSERT_GE(result.problem.line, 1);
            ASSERT_LE(result.problem.line, lineCount(bytes));
            continue;
        }
        ++clean;
        QString error;
        const QByteArray saved = SerializeLibrary(*result.sets, &error);
        ASSERT_FALSE(saved.isEmpty()) << "a clean read could not be saved: " << error.toStdString();
        MemoryTree again;
        const auto reread = ReadLibrary(saved, again);
        ASSERT_TRUE(reread.ok) << reread.problem.toString().toStdString();
        ASSERT_EQ(reread.sets->Count(), result.sets->Count());
        ASSERT_EQ(SerializeLibrary(*reread.sets, &error), saved);
    }
    // The mutations reach both sides of the reader.
    EXPECT_GT(clean, 300);
    EXPECT_GT(failed, 300);
}

} // namespace
