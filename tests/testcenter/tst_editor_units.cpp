// The editor in metric, driven through its controls: the unit choice, saving without a change
// (the file keeps its bytes), a typed metric value, a red metric box, and the moisture scenarios
// and named environments of the Environment.
#include "support/EditorFixture.h"

#include "units/UnitSetting.h"
#include "units/UserEnvironments.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

class EditorUnits : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> lib;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<FakeOwner> owner;
    std::unique_ptr<frmEditModel> editor;
    QTemporaryDir dir;

    void open(const std::shared_ptr<FuelModel> &fm)
    {
        editor = std::make_unique<frmEditModel>(owner.get(), prompts.get());
        editor->Open(fm, true);
    }
    static QByteArray bytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void chooseUnits(int index)
    {
        editor->cboUnits()->setCurrentIndex(index);
        emit editor->cboUnits()->activated(index);
    }
    void chooseScenario(const QString &data)
    {
        QComboBox *box = editor->cboMoistureScenario();
        const int i = box->findData(data);
        QVERIFY2(i >= 0, qPrintable(data));
        box->setCurrentIndex(i);
        emit box->activated(i);
    }

private slots:
    void init()
    {
        lib = std::make_unique<TestLibrary>();
        QSettings(QSettings::NativeFormat, QSettings::UserScope, Units::SettingsOrganization(),
                  Units::SettingsOrganization())
            .clear();
        Units::UnitSetting::instance().setSystem(Units::System::Metric);
        prompts = std::make_unique<ScriptedPrompts>();
        owner = std::make_unique<FakeOwner>();
        owner->libraryPath = dir.filePath(QStringLiteral("OrlaFuelModels.FFM"));
        QString error;
        QVERIFY(WriteFMs(owner->libraryPath, *gFMSets, &error));
    }
    void cleanup()
    {
        editor.reset();
        Units::UnitSetting::instance().setSystem(Units::System::English);
        QVERIFY2(prompts->Finished(), "a scripted message was not shown");
    }

    void opensInMetricAndSavesTheSameBytes()
    {
        const QByteArray before = bytes(owner->libraryPath);
        // Short grass: 0.74 t/ac = 1.66 t/ha, 3500 /ft = 11483 /m, 1 ft = 0.3 m, 8000 btu/lb = 18608 kJ/kg.
        open(lib->shortGrass);
        QCOMPARE(editor->EntryText(2), QStringLiteral("1.66"));
        QCOMPARE(editor->EntryText(7), QStringLiteral("11483"));
        QCOMPARE(editor->EntryText(10), QStringLiteral("18608"));
        QCOMPARE(editor->EntryText(13), QStringLiteral("0.3"));
        QCOMPARE(editor->EntryText(25), QStringLiteral("16.1")); // 10 mi/h
        QCOMPARE(editor->RowLabelText(2), QStringLiteral("1 Hour Loading (t/ha)"));
        QCOMPARE(editor->findChild<QLabel *>(QStringLiteral("lblHint_2"))->text(), QStringLiteral("(0 - 68.35) "));
        // The SA/V boxes take 0 as well, and their hints say so in both unit systems.
        QCOMPARE(editor->findChild<QLabel *>(QStringLiteral("lblHint_8"))->text(),
                 QStringLiteral("(0 or 358 - 13123) "));
        QCOMPARE(editor->findChild<QLabel *>(QStringLiteral("lbl_txtROS"))->text(), QStringLiteral("ROS (m/min)"));
        QCOMPARE(editor->txtMidFlameWind()->text(), QStringLiteral("11.3")); // 7.0 mi/h
        editor->cmdApply()->click();
        QCOMPARE(bytes(owner->libraryPath), before);
        QCOMPARE(lib->shortGrass->Loading1Hour(), 0.74);
        QCOMPARE(lib->shortGrass->SurfaceToVolume1Hour(), 3500.0);
    }

    void typedMetricValuesAreStoredAndCheckedInEnglish()
    {
        open(lib->shortGrass);
        typeInto(*editor, 2, QStringLiteral("0.22"));
        typeInto(*editor, 13, QStringLiteral("1.84")); // 6.04 ft, above 6
        QVERIFY(isRed(*editor, 13));
        typeInto(*editor, 13, QStringLiteral("1.83"));
        QVERIFY(!isRed(*editor, 13));
        typeInto(*editor, 7, QStringLiteral("357")); // 108.8 /ft, below 109
        QVERIFY(isRed(*editor, 7));
        typeInto(*editor, 7, QStringLiteral("358"));
        QVERIFY(!isRed(*editor, 7));
        editor->cmdApply()->click();
        QCOMPARE(lib->shortGrass->Loading1Hour(), 0.1);
        QCOMPARE(lib->shortGrass->SurfaceToVolume1Hour(), 109.0);
        QCOMPARE(lib->shortGrass->BulkDensityDepth(), 6.0);
        QVERIFY(bytes(owner->libraryPath).contains("\"1\",\"Short grass\",6,0.1,0,0,0,0,109,"));
    }

    void switchingUnitsConvertsTheOpenEditor()
    {
        open(lib->shortGrass);
        editor->chkAuto()->setChecked(true);
        editor->Compute();
        const QString metricRos = editor->txtROS()->text();
        chooseUnits(0);
        QCOMPARE(Units::UnitSetting::instance().system(), Units::System::English);
        QCOMPARE(editor->EntryText(2), QStringLiteral("0.74"));
        QCOMPARE(editor->EntryText(25), QStringLiteral("10"));
        QCOMPARE(editor->RowLabelText(25), QStringLiteral("20 Foot Wind Speed (mph)"));
        QCOMPARE(editor->findChild<QLabel *>(QStringLiteral("lblHint_7"))->text(),
                 QStringLiteral("(0 or 109 - 4000) "));
        QCOMPARE(editor->txtMidFlameWind()->text(), QStringLiteral("7.0"));
        // The same fire in ch/h: m/min / 0.33528, within the rounding of both texts.
        QVERIFY(std::fabs(editor->txtROS()->text().toDouble() * 0.33528 - metricRos.toDouble()) < 0.02);
        chooseUnits(1);
        QCOMPARE(editor->EntryText(2), QStringLiteral("1.66"));
        QCOMPARE(editor->RowLabelText(25), QStringLiteral("6.1 m Wind Speed (km/h)"));
    }

    void aScenarioFillsTheMoisturesAndRecomputes()
    {
        open(lib->shortGrass);
        editor->chkAuto()->setChecked(true);
        editor->Compute();
        const QString ros = editor->txtROS()->text();
        QCOMPARE(editor->cboMoistureScenario()->currentText(), QStringLiteral("Custom"));
        chooseScenario(QStringLiteral("std:D2L3"));
        const QStringList expected = {"6", "7", "8", "90", "120"};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(editor->EntryText(20 + i), expected[i]);
        QVERIFY(editor->txtROS()->text() != ros); // 1-h moisture 5 -> 6 % slows the fire
        typeInto(*editor, 21, QStringLiteral("9"));
        QCOMPARE(editor->cboMoistureScenario()->currentText(), QStringLiteral("Custom"));
    }

    void aNamedEnvironmentIsSavedAndChosenAgain()
    {
        open(lib->shortGrass);
        chooseScenario(QStringLiteral("std:D1L1"));
        typeInto(*editor, 25, QStringLiteral("20")); // km/h: 12.4 mi/h
        prompts->ExpectInput(QString(), QStringLiteral("Dry wind"));
        editor->findChild<QPushButton *>(QStringLiteral("cmdSaveEnvironment"))->click();
        QCOMPARE(editor->cboMoistureScenario()->currentText(), QStringLiteral("Dry wind"));
        const auto saved = Units::FindUserEnvironment(u"Dry wind");
        QVERIFY(saved.has_value());
        QCOMPARE(saved->oneHour, 3.0);
        QCOMPARE(saved->woody, 60.0);
        QCOMPARE(saved->windSpeed, 12.4); // the shortest mi/h that shows as 20.0 km/h
        QCOMPARE(saved->windAdjustment, 0.7);

        chooseScenario(QStringLiteral("std:D4L4"));
        typeInto(*editor, 25, QStringLiteral("5"));
        chooseScenario(QStringLiteral("user:Dry wind"));
        QCOMPARE(editor->EntryText(20), QStringLiteral("3"));
        QCOMPARE(editor->EntryText(25), QStringLiteral("20"));
        editor->findChild<QPushButton *>(QStringLiteral("cmdDeleteEnvironment"))->click();
        QVERIFY(!Units::FindUserEnvironment(u"Dry wind").has_value());
        QCOMPARE(editor->cboMoistureScenario()->findText(QStringLiteral("Dry wind")), -1);
    }

    // With VARROW_SCREENSHOT_DIR set: the editor in metric with a scenario chosen and computed.
    void screenshot()
    {
        const QString dir = qEnvironmentVariable("VARROW_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("set VARROW_SCREENSHOT_DIR to save the picture");
        open(lib->dynamicGrass);
        editor->chkAuto()->setChecked(true);
        chooseScenario(QStringLiteral("std:D2L3"));
        editor->Compute();
        QTest::qWait(50);
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(editor->grab().save(QDir(dir).filePath("editor-metric.png")));
    }
};

QTEST_MAIN(EditorUnits)
#include "tst_editor_units.moc"
