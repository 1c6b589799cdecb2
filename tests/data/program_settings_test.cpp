#include "data/ProgramSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Every setting in one file; what an earlier version left in Qt's file for a program without
// an organization (the numbers chosen at export) is moved over once, never over a value the
// program's own file already holds, and the stray file is emptied only after that.
TEST(ProgramSettings, StraySettingsAreMovedOverOnce)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    {
        QSettings stray(QSettings::NativeFormat, QSettings::UserScope, "Unknown Organization", "Varrow");
        stray.setValue("CustomModelNumbers/Custom%0920", 41);
        stray.setValue("Display/Units", "Metric");
        stray.sync();
        QSettings own(QSettings::NativeFormat, QSettings::UserScope, "Varrow", "Varrow");
        own.setValue("Display/Units", "English");
        own.sync();
    }
    const QString strayFile = QDir(dir.path()).filePath("Unknown Organization/Varrow.conf");
    ASSERT_TRUE(QFile::exists(strayFile));

    EXPECT_EQ(MoveStraySettings(), 1);
    const QSettings settings = ProgramSettings();
    EXPECT_EQ(settings.fileName(), QDir(dir.path()).filePath("Varrow/Varrow.conf"));
    EXPECT_EQ(ProgramSettingsFile(), settings.fileName());
    EXPECT_EQ(settings.value("CustomModelNumbers/Custom%0920").toInt(), 41);
    EXPECT_EQ(settings.value("Display/Units").toString(), "English");
    EXPECT_FALSE(QFile::exists(strayFile));
    // Nothing left to move: a second run changes nothing.
    EXPECT_EQ(MoveStraySettings(), 0);
    EXPECT_EQ(ProgramSettings().value("CustomModelNumbers/Custom%0920").toInt(), 41);
}

} // namespace
