#pragma once

// Shared pieces of the editor window tests: a fake main window, fake tuners, a small library
// and typing helpers.

#include "data/FuelModelSets.h"
#include "data/NodeKey.h"
#include "data/ProgramState.h"
#include "library/LibraryFile.h"
#include "support/ScriptedPrompts.h"
#include "testcenter/IEditorOwner.h"
#include "testcenter/ITuners.h"
#include "testcenter/TestCenterState.h"
#include "testcenter/ui/frmEditModel.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>

#include <functional>

class FakeOwner : public IEditorOwner
{
public:
    QString setName = QStringLiteral("Grass Models");
    QStringList calls;
    bool saveOk = true;
    QString saveError;
    std::function<void()> onSave;
    QString libraryPath; // when set, SaveLibrary writes the library there

    QString SetNameText() const override { return setName; }
    void SetNodeText(const QString &key, const QString &text) override { calls << "SetNodeText " + key + " " + text; }
    void RefreshFMs() override { calls << QStringLiteral("RefreshFMs"); }
    bool SaveLibrary(QString *error) override
    {
        calls << QStringLiteral("SaveLibrary");
        if (onSave)
            onSave();
        if (!libraryPath.isEmpty())
            return WriteFMs(libraryPath, *gFMSets, error);
        if (!saveOk && error)
            *error = saveError;
        return saveOk;
    }
    void EditorClosed() override { calls << QStringLiteral("EditorClosed"); }
};

class FakeTuners : public ITuners
{
public:
    QStringList calls;
    void Open(int index) override { calls << QStringLiteral("Open %1").arg(index); }
    void EntryChanged(int index, const QString &text) override
    {
        calls << QStringLiteral("EntryChanged %1 %2").arg(index).arg(text);
        if (index == 25)
            throw std::runtime_error("a failing tuner must not stop the editor");
    }
    void CloseAll() override { calls << QStringLiteral("CloseAll"); }
};

// The library of every test: "Grass Models" (1, 2, GR2 dynamic), "Empty" without models,
// "Timber" (TL1).
struct TestLibrary
{
    std::shared_ptr<FuelModel> shortGrass, timberGrass, dynamicGrass, timberLitter;

    TestLibrary()
    {
        QStandardPaths::setTestModeEnabled(true);
        ResetProgramState();
        ResetTestCenterState();
        auto grass = std::make_shared<FuelModels>();
        gFMSets->Add(QStringLiteral("Grass Models"), false, grass, NewNodeKey(false));
        shortGrass = add(*grass, "1", "Short grass", 1, 0.74, 0, 0, 0, 0, 3500, 1500, 1500, 12, 1, 1);
        timberGrass = add(*grass, "2", "Timber grass", 1, 2, 1, 0.5, 0.5, 0, 3000, 1500, 1500, 15, 1, 1);
        dynamicGrass = add(*grass, "GR2", "Low load dry climate grass", 1, 0.1, 0, 0, 1, 0, 2000, 1800, 1500, 15, 1, 2);
        gFMSets->Add(QStringLiteral("Empty"), false, std::make_shared<FuelModels>(), NewNodeKey(false));
        auto timber = std::make_shared<FuelModels>();
        gFMSets->Add(QStringLiteral("Timber"), true, timber, NewNodeKey(true));
        timberLitter =
            add(*timber, "TL1", "Low load compact conifer litter", 0.2, 1, 2.2, 3.6, 0, 0, 2000, 0, 0, 30, 3, 1);
    }

    static std::shared_ptr<FuelModel> add(FuelModels &models, const char *id, const char *description, double depth,
                                          double l1, double l10, double l100, double herb, double woody, double sav1,
                                          double savHerb, double savWoody, double mx, double cat, double herbType)
    {
        const QString key = NewNodeKey(false);
        return models.Add(QString::fromLatin1(id), QString::fromLatin1(description), depth, l1, l10, l100, herb, woody,
                          sav1, savHerb, savWoody, mx, 8000, 8000, 8000, cat, herbType, key, key);
    }
};

// Replaces the text of box index by typing, as a user would after the box selected itself.
inline void typeInto(frmEditModel &editor, int index, const QString &text)
{
    QWidget *box = index == 1 ? static_cast<QWidget *>(editor.txtDescription()) : editor.txtFuels(index);
    if (index == 1)
        editor.txtDescription()->selectAll();
    else
        editor.txtFuels(index)->selectAll();
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Backspace);
    else
        QTest::keyClicks(box, text);
}

inline bool isRed(const frmEditModel &editor, int index)
{
    return editor.EntryColour(index) == frmEditModel::LightRed();
}
