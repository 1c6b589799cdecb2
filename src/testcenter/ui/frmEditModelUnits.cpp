// The editor's units (the shown system, the English values behind the boxes, switching) and
// its Environment choices: the standard moisture scenarios and the user's named environments.
#include "testcenter/ui/frmEditModel.h"

#include "data/IPrompts.h"
#include "data/NumberText.h"
#include "testcenter/TestCenterState.h"
#include "units/MoistureScenarios.h"
#include "units/UnitSetting.h"
#include "units/UserEnvironments.h"
#include "widgets/WindowHabits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <cmath>

namespace {

const QString kStandardPrefix = QStringLiteral("std:");
const QString kUserPrefix = QStringLiteral("user:");

} // namespace

QWidget *frmEditModel::buildUnitsRow()
{
    auto *row = new QWidget(this);
    row->setObjectName(QStringLiteral("fraUnits"));
    auto *layout = new QHBoxLayout(row);
    m_unitsRow = layout;
    layout->setContentsMargins(0, 0, 0, 0);
    m_cboUnits = new QComboBox(row);
    m_cboUnits->setObjectName(QStringLiteral("cboUnits"));
    m_cboUnits->setAccessibleName(QStringLiteral("Units"));
    m_cboUnits->addItem(QStringLiteral("English (t/ac, ft, mi/h)"));
    m_cboUnits->addItem(QStringLiteral("Metric (t/ha, m, km/h)"));
    m_cboUnits->setCurrentIndex(ShownUnits() == Units::System::Metric ? 1 : 0);
    auto *label = new QLabel(QStringLiteral("&Units"), row);
    label->setObjectName(QStringLiteral("lblUnits"));
    label->setBuddy(m_cboUnits);
    layout->addWidget(label);
    layout->addWidget(m_cboUnits, 1);
    connect(m_cboUnits, &QComboBox::activated, this, [](int index) {
        Units::UnitSetting::instance().setSystem(index == 1 ? Units::System::Metric : Units::System::English);
    });
    return row;
}

void frmEditModel::addScenarioRow(QGridLayout *grid, int row)
{
    m_cboMoistureScenario = new QComboBox(this);
    m_cboMoistureScenario->setObjectName(QStringLiteral("cboMoistureScenario"));
    // The scenarios' descriptions are long: the box takes what the frame leaves, the tooltip
    // holds the whole description.
    m_cboMoistureScenario->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cboMoistureScenario->setMinimumContentsLength(20);
    ShowFullTextAsToolTip(m_cboMoistureScenario);
    auto *label = new QLabel(QStringLiteral("Moisture scenario"), this);
    label->setObjectName(QStringLiteral("lblMoistureScenario"));
    label->setBuddy(m_cboMoistureScenario);
    grid->addWidget(label, row, 0);
    grid->addWidget(m_cboMoistureScenario, row, 1, 1, 2);

    auto *buttons = new QHBoxLayout;
    auto *save = new QPushButton(QStringLiteral("Save..."), this);
    save->setObjectName(QStringLiteral("cmdSaveEnvironment"));
    save->setAccessibleName(QStringLiteral("Save Environment"));
    save->setToolTip(QStringLiteral("Keep these moistures, wind and slope under a name of your own"));
    m_cmdDeleteEnvironment = new QPushButton(QStringLiteral("Delete"), this);
    m_cmdDeleteEnvironment->setObjectName(QStringLiteral("cmdDeleteEnvironment"));
    m_cmdDeleteEnvironment->setAccessibleName(QStringLiteral("Delete Environment"));
    m_cmdDeleteEnvironment->setToolTip(QStringLiteral("Forget the chosen environment of your own"));
    buttons->addWidget(save);
    buttons->addWidget(m_cmdDeleteEnvironment);
    grid->addLayout(buttons, row, 3);

    connect(m_cboMoistureScenario, &QComboBox::activated, this, &frmEditModel::cboMoistureScenario_Click);
    connect(save, &QPushButton::clicked, this, &frmEditModel::cmdSaveEnvironment_Click);
    connect(m_cmdDeleteEnvironment, &QPushButton::clicked, this, &frmEditModel::cmdDeleteEnvironment_Click);
    FillScenarioList();
}

void frmEditModel::FillScenarioList(const QString &select)
{
    const QSignalBlocker block(m_cboMoistureScenario);
    m_cboMoistureScenario->clear();
    m_cboMoistureScenario->addItem(Units::kCustomEnvironmentName, QString());
    for (const Units::MoistureScenario &m : Units::StandardMoistureScenarios())
        m_cboMoistureScenario->addItem(m.description(), kStandardPrefix + m.name);
    for (const Units::UserEnvironment &e : Units::ReadUserEnvironments())
        m_cboMoistureScenario->addItem(e.name, kUserPrefix + e.name);
    const int found = select.isEmpty() ? 0 : m_cboMoistureScenario->findData(select);
    m_cboMoistureScenario->setCurrentIndex(found < 0 ? 0 : found);
    m_cmdDeleteEnvironment->setEnabled(m_cboMoistureScenario->currentData().toString().startsWith(kUserPrefix));
    m_entries->setScenario(m_cboMoistureScenario->currentData().toString());
}

void frmEditModel::showScenario(const QString &key)
{
    const QSignalBlocker block(m_cboMoistureScenario);
    const int found = m_cboMoistureScenario->findData(key);
    m_cboMoistureScenario->setCurrentIndex(found < 0 ? 0 : found);
    m_cmdDeleteEnvironment->setEnabled(key.startsWith(kUserPrefix));
}

void frmEditModel::cboMoistureScenario_Click()
{
    const QString data = m_cboMoistureScenario->currentData().toString();
    m_entries->setScenario(data);
    m_cmdDeleteEnvironment->setEnabled(data.startsWith(kUserPrefix));
    double moistures[5] = {};
    std::optional<Units::UserEnvironment> user;
    if (data.startsWith(kStandardPrefix)) {
        const Units::MoistureScenario *m = Units::FindMoistureScenario(QStringView(data).mid(kStandardPrefix.size()));
        if (!m)
            return;
        const double values[5] = {m->oneHour, m->tenHour, m->hundredHour, m->herb, m->woody};
        std::copy(values, values + 5, moistures);
    } else if (data.startsWith(kUserPrefix)) {
        user = Units::FindUserEnvironment(QStringView(data).mid(kUserPrefix.size()));
        if (!user)
            return;
        const double values[5] = {user->oneHour, user->tenHour, user->hundredHour, user->herb, user->woody};
        std::copy(values, values + 5, moistures);
    } else {
        return;
    }

    const EditorEntryModel::Fill fill(*m_entries);
    for (int i = 0; i < 5; ++i) {
        SetEntryEnglish(kFirstEnvEntry + i, moistures[i]);
        CheckRange(kFirstEnvEntry + i);
    }
    if (user) {
        SetEntryEnglish(kLastEnvEntry, user->windSpeed);
        CheckRange(kLastEnvEntry);
        const double tenths = user->windAdjustment * 10;
        if (tenths == std::round(tenths) && tenths >= 0 && tenths < kListItems)
            m_cboWindReduce->setCurrentIndex(int(tenths));
        else
            m_cboWindReduce->setEditText(QLatin1Char(' ') + FormatGeneral(user->windAdjustment));
        m_cboSlope->setCurrentIndex(-1);
        m_cboSlope->setEditText(FormatGeneral(user->slope));
        UpdateMidFlameWind();
        AutoCompute();
    }
}

void frmEditModel::cmdSaveEnvironment_Click()
{
    if (!EnvEntriesOK())
        return;
    const QString title = QStringLiteral("Save Environment");
    const QString current = m_cboMoistureScenario->currentData().toString();
    // A refused name, or a replacement declined, asks again with the name as typed.
    QString typed = current.startsWith(kUserPrefix) ? current.mid(kUserPrefix.size()) : QString();
    QString name;
    for (;;) {
        const std::optional<QString> answer =
            m_prompts->InputBox(QStringLiteral("Name for these moistures, wind and slope:"), title, typed);
        if (!answer || answer->trimmed().isEmpty())
            return;
        typed = *answer;
        name = answer->trimmed();
        if (!Units::IsValidUserEnvironmentName(name)) {
            const bool custom = name.compare(Units::kCustomEnvironmentName, Qt::CaseInsensitive) == 0;
            m_prompts->Message(QStringLiteral("\"") + name +
                                   (custom ? QStringLiteral("\" stands for the entries as they are typed in the list.")
                                           : QStringLiteral("\" is the name of a standard moisture scenario.")) +
                                   QChar(13) + QStringLiteral("Choose another name."),
                               title, IPrompts::Icon::Exclamation);
            continue;
        }
        if (Units::FindUserEnvironment(name) &&
            !m_prompts->AskYesNo(QStringLiteral("Replace the environment \"") + name + QStringLiteral("\"?"), title,
                                 IPrompts::Icon::Question))
            continue;
        break;
    }
    Units::UserEnvironment e;
    e.name = name;
    e.oneHour = EntryEnglish(20);
    e.tenHour = EntryEnglish(21);
    e.hundredHour = EntryEnglish(22);
    e.herb = EntryEnglish(23);
    e.woody = EntryEnglish(24);
    e.windSpeed = EntryEnglish(25);
    e.windAdjustment = ParseLeadingNumber(m_cboWindReduce->currentText());
    e.slope = ParseLeadingNumber(m_cboSlope->currentText());
    Units::SaveUserEnvironment(e);
    FillScenarioList(kUserPrefix + Units::FindUserEnvironment(name)->name);
}

void frmEditModel::cmdDeleteEnvironment_Click()
{
    const QString data = m_cboMoistureScenario->currentData().toString();
    if (!data.startsWith(kUserPrefix))
        return;
    Units::RemoveUserEnvironment(QStringView(data).mid(kUserPrefix.size()));
    FillScenarioList();
}

void frmEditModel::SetEntryEnglish(int index, double english)
{
    m_entries->setEnglish(index, english);
}

void frmEditModel::ReplaceEntryEnglish(int index, double english)
{
    if (index < 2 || index >= kEntrySlots || !IsEntryIndex(index))
        return;
    ReplaceEntryText(index, m_entries->rememberEnglish(index, english));
}

double frmEditModel::EntryEnglish(int index) const
{
    return m_entries->english(index);
}

bool frmEditModel::WriteShownNumber(const QString &control, const QString &text, double english)
{
    if (control == QLatin1String("txtMidFlameWind")) {
        m_midShown.remember(text, ShownUnits(), english);
        m_txtMidFlameWind->setText(text);
        return true;
    }
    if (!control.startsWith(QLatin1String("txtFuels_")))
        return false;
    const int index = control.mid(9).toInt();
    if (!IsNumericEntry(index))
        return false;
    m_entries->writeShown(index, text, english);
    return true;
}

void frmEditModel::UpdateMidFlameWind()
{
    const MidFlameWind wind = MidFlameWindOf(m_cboWindReduce->currentText(), EntryEnglish(kLastEnvEntry), ShownUnits());
    m_midShown.remember(wind.text, ShownUnits(), wind.english);
    m_txtMidFlameWind->setText(wind.text);
    // Derived, but with a range of its own: marked like any entry out of range.
    QPalette p = m_txtMidFlameWind->palette();
    const QColor colour =
        MidFlameWindInRange(wind.english) ? QGuiApplication::palette().color(QPalette::Button) : LightRed();
    if (p.color(QPalette::Base) != colour) {
        p.setColor(QPalette::Base, colour);
        m_txtMidFlameWind->setPalette(p);
    }
}

void frmEditModel::showUnits(Units::System system)
{
    // The model has written every box in the new units already.
    UpdateMidFlameWind();

    for (int i = 0; i < kEntrySlots; ++i) {
        if (!IsEntryIndex(i))
            continue;
        if (QLabel *label = lblFuels(i))
            label->setText(EntryCaption(i, system));
        if (QPushButton *tune = i >= 2 ? cmdTuner(i) : nullptr) {
            tune->setToolTip(QStringLiteral("Tune ") + EntryCaption(i, system).trimmed() +
                             QStringLiteral(" (Ctrl+T in its box)"));
            tune->setAccessibleName(QStringLiteral("Tune ") + EntryCaption(i, system).trimmed());
        }
    }
    // Hints, the midflame wind's caption and hint, and the result captions.
    for (const auto &[label, caption] : m_unitLabels)
        label->setText(caption(system));

    // Auto Compute computes from the converted entries; otherwise the results shown from the
    // last computation are shown in the new units, and still answer the entries.
    if (m_chkAuto->isChecked()) {
        AutoCompute();
    } else if (m_txtROS->text().isEmpty()) {
        ShowResultsNote({}); // a refusal left by Auto Compute named an entry in the old units
    } else {
        if (CurrentFireSpread) {
            const ResultTexts r = FormatResults(*CurrentFireSpread, system);
            m_txtROS->setText(r.ros);
            m_txtFLI->setText(r.fli);
            m_txtHeat->setText(r.heat);
            m_txtFL->setText(r.fl);
        }
        if (ReferenceFireSpread) {
            const ReferenceTexts r = FormatReference(*ReferenceFireSpread, system);
            m_txtRefROS->setText(r.ros);
            m_txtRefFLI->setText(r.fli);
            m_txtRefHeat->setText(r.heat);
            m_txtRefFL->setText(r.fl);
        }
    }
    ComputeRatioOnly();
    {
        const QSignalBlocker block(m_cboUnits);
        m_cboUnits->setCurrentIndex(system == Units::System::Metric ? 1 : 0);
    }
}

QLabel *frmEditModel::unitLabel(QLabel *label, std::function<QString(Units::System)> caption)
{
    m_unitLabels.emplace_back(label, std::move(caption));
    return label;
}
