// Which library file the window opens is decided per program folder, and another file than the
// one this program used last time is never opened without asking: the question, in the real
// message box, names both files with their sizes, dates, sets and models.

#include "support/ManagerFixture.h"

#include "data/ProgramSettings.h"
#include "library/LibraryLocation.h"
#include "library/LibraryStore.h"

#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

namespace {

// Two sets, three models.
const QByteArray kBeside = "\"[FuelModelSet:Nine,Count:2]\"\r\n"
                           "\"1\",\"one\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                           "\"2\",\"two\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                           "\"[FuelModelSet:Ten,Count:1]\"\r\n"
                           "\"3\",\"three\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                           "\"[End]\"\r\n";
// One set, one model.
const QByteArray kCopy = "\"[FuelModelSet:Copy only,Count:1]\"\r\n"
                         "\"4\",\"four\",1,0.74,0,0,0,0,3500,1500,1500,0.12,8000,8000,8000,1,1\r\n"
                         "\"[End]\"\r\n";

void put(const QString &path, const QByteArray &bytes, const QDateTime &when)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
    QVERIFY(f.flush());
    QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
}

} // namespace

class TestLibraryChoice : public QObject, public ManagerFixture
{
    Q_OBJECT

    QTemporaryDir m_program, m_data;
    QString m_beside, m_copy;
    QStringList m_asked;

    // Starts the window with the program's own message boxes; answer (Yes or No) is clicked on
    // every question, whose texts are kept in m_asked.
    void startAnswering(QMessageBox::StandardButton answer)
    {
        m_asked.clear();
        QTimer *watch = new QTimer;
        watch->setInterval(10);
        QObject::connect(watch, &QTimer::timeout, [this, answer] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                m_asked << box->text();
                box->button(answer)->click();
            }
        });
        watch->start();
        m_window = std::make_unique<frmVarrow>(nullptr);
        m_window->show();
        QCoreApplication::processEvents();
        delete watch;
    }

private slots:
    void initTestCase() { setUpSuite(); }
    void init()
    {
        setUp();
        m_beside = m_program.filePath("OrlaFuelModels.FFM");
        m_copy = m_data.filePath("OrlaFuelModels.FFM");
        put(m_beside, kBeside, QDateTime(QDate(2026, 5, 6), QTime(7, 8)));
        put(m_copy, kCopy, QDateTime(QDate(2026, 1, 2), QTime(3, 4)));
        ProgramSettings().remove("LibraryUsed");
        SetLibraryPlacesForTesting(m_program.path(), m_data.path());
    }
    void cleanup()
    {
        tearDown();
        SetLibraryPlacesForTesting({}, {});
    }

    // Nothing remembered and two files that could be this program's: the question names both;
    // No keeps the file beside the program, and the next start opens it without a question.
    void twoCandidatesAreNamedAndNoKeepsTheFileBesideTheProgram()
    {
        startAnswering(QMessageBox::No);
        QCOMPARE(m_asked.size(), 1);
        const QString &text = m_asked.front();
        QVERIFY2(text.contains(QDir::toNativeSeparators(m_beside) +
                               "\n(0.3 KB, changed 2026-05-06 07:08, 2 sets, 3 models)"),
                 qPrintable(text));
        QVERIFY2(
            text.contains(QDir::toNativeSeparators(m_copy) + "\n(0.1 KB, changed 2026-01-02 03:04, 1 set, 1 model)"),
            qPrintable(text));
        QCOMPARE(QDir::cleanPath(win().Store().Path()), QDir::cleanPath(m_beside));
        QVERIFY(!setKey("Nine").isEmpty());
        QVERIFY(setKey("Copy only").isEmpty());
        QVERIFY(win().findChild<QLabel *>("lblLibraryFile")->text().contains("the file you chose at start"));

        tearDown();
        SetLibraryPlacesForTesting(m_program.path(), m_data.path());
        LibrarySession::ResetProgram(); // a new run
        startAnswering(QMessageBox::No);
        QVERIFY2(m_asked.isEmpty(), qPrintable(m_asked.join("\n---\n")));
        QCOMPARE(QDir::cleanPath(win().Store().Path()), QDir::cleanPath(m_beside));
    }

    // Yes takes the other file, and it is the one remembered from then on.
    void yesUsesTheOtherFileAndRemembersIt()
    {
        startAnswering(QMessageBox::Yes);
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(QDir::cleanPath(win().Store().Path()), QDir::cleanPath(m_copy));
        QVERIFY(!setKey("Copy only").isEmpty());

        tearDown();
        SetLibraryPlacesForTesting(m_program.path(), m_data.path());
        LibrarySession::ResetProgram(); // a new run
        startAnswering(QMessageBox::No);
        QVERIFY2(m_asked.isEmpty(), qPrintable(m_asked.join("\n---\n")));
        QCOMPARE(QDir::cleanPath(win().Store().Path()), QDir::cleanPath(m_copy));
    }

    // The per-user copy another program folder made is not taken up by this folder, whose
    // copies used the file beside them.
    void anotherFoldersCopyIsNotTakenUp()
    {
        RememberLibraryUsed(m_program.path(), m_beside);
        startAnswering(QMessageBox::Yes);
        QVERIFY2(m_asked.isEmpty(), qPrintable(m_asked.join("\n---\n")));
        QCOMPARE(QDir::cleanPath(win().Store().Path()), QDir::cleanPath(m_beside));

        // The file used last time is somewhere else now: asked, naming it.
        tearDown();
        const QString elsewhere = m_data.filePath("elsewhere.FFM");
        put(elsewhere, kCopy, QDateTime(QDate(2026, 1, 2), QTime(3, 4)));
        RememberLibraryUsed(m_program.path(), elsewhere);
        SetLibraryPlacesForTesting(m_program.path(), m_data.path());
        LibrarySession::ResetProgram(); // a new run
        startAnswering(QMessageBox::No);
        QCOMPARE(m_asked.size(), 1);
        QVERIFY2(m_asked.front().contains("Used last time:\n" + QDir::toNativeSeparators(elsewhere)),
                 qPrintable(m_asked.front()));
        QCOMPARE(QDir::cleanPath(win().Store().Path()), QDir::cleanPath(elsewhere));
    }
};

QTEST_MAIN(TestLibraryChoice)
#include "tst_librarychoice.moc"
