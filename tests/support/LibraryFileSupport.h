#pragma once

// What the library file tests share: the worked example, a varied library, file helpers and
// the fixture that starts every test from a fresh program state and an empty tree.

#include "data/FuelModelSets.h"
#include "data/NodeKey.h"
#include "data/ProgramState.h"
#include "library/LibraryFile.h"
#include "library/LibrarySession.h"
#include "library/MemoryTree.h"

#include <QFile>

#include <gtest/gtest.h>

namespace libraryfiletest {

inline const QByteArray kWorkedExample =
    "\"[FuelModelSet:Grass,Count:1]\"\r\n"
    "\"1\",\"Short grass\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
    "\"[End]\"\r\n";

class LibraryFileTest : public ::testing::Test
{
protected:
    void SetUp() override { LibrarySession::ResetProgram(); }

    LibraryReadResult read(const QByteArray &bytes)
    {
        tree.Clear();
        return ReadLibrary(bytes, tree);
    }

    MemoryTree tree;
};

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<cannot open>");
}

inline bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A library exercising what the format can hold: locked and unlocked sets, an empty set and an
// empty name, names with commas, ",Count:" and the word "Unlocked", every high byte of
// Windows-1252 (the five undefined ones included), and numbers from tiny to huge with 15
// significant digits.
inline QByteArray variedLibrary()
{
    return QByteArray(
               "\"[FuelModelSet:Orla Master,Count:2, Locked]\"\r\n"
               "\"1\",\"FM1 Short grass (1 ft)\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
               "\"GR1\",\"Short, sparse, dry; 100% grass\",0.4,0.1,0,0,0.3,0,2200,2000,1500,0.15,8000,8000,8000,1,2\r\n"
               "\"[FuelModelSet:Unlocked Models,Count:1]\"\r\n"
               "\"x\",\"\",123456789012345,-2.5,1e-05,1.5e+20,0.333333333333333,99.9999999999999,"
               "0.000123456789012345,7,-0,0.123456789012345,1e-300,1.79769313486231e+308,4.94065645841247e-324,3,1\r\n"
               "\"[FuelModelSet:a,Count:b,Count:3, Locked],Count:1]\"\r\n"
               "\" padded \",\"  two  blanks  \",2,2,2,2,2,2,2,2,2,0.35,2,2,2,2,2\r\n"
               "\"[FuelModelSet:,Count:0]\"\r\n"
               "\"[FuelModelSet:Caf\xe9 \x80\x81\x8d\x8f\x90\x9d\x9f\xff,Count:1, Locked]\"\r\n"
               "\"\xa0\xfe\",\"tab\there \x85 \x93quoted\x94\",1,1,1,1,1,1,1,1,1,1,1,1,1,4,1\r\n"
               "\"[End]\"\r\n")
        .replace("-0,", "0,"); // the writer writes -0 as 0
}

inline std::shared_ptr<FuelModel> addGrass(FuelModels &models, const QString &id, const QString &description)
{
    const QString key = NewNodeKey(false);
    return models.Add(id, description, 1, 0.74, 0, 0, 0, 0, 3500, 1500, 1500, 12, 8000, 8000, 8000, 1, 1, key, key);
}

} // namespace libraryfiletest
