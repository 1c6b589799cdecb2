#include "testcenter/EditorEntryModel.h"

#include <QScopedValueRollback>

namespace {

const QString kUserPrefix = QStringLiteral("user:");

} // namespace

EditorEntryModel::EditorEntryModel(Units::System system, QObject *parent) : QObject(parent), m_system(system) { }

QString EditorEntryModel::text(int index) const
{
    return isBox(index) ? m_texts[std::size_t(index)] : QString();
}

void EditorEntryModel::setText(int index, const QString &text)
{
    if (!isBox(index) || m_texts[std::size_t(index)] == text)
        return;
    m_texts[std::size_t(index)] = text;
    scenarioEntryEdited(index);
    emit entryChanged(index, text);
}

double EditorEntryModel::english(int index) const
{
    if (!isBox(index))
        return 0;
    return m_shown[std::size_t(index)].english(m_system, m_texts[std::size_t(index)]);
}

void EditorEntryModel::setEnglish(int index, double english)
{
    if (!isBox(index) || !IsNumericEntry(index))
        return;
    setText(index, m_shown[std::size_t(index)].show(m_system, english));
}

QString EditorEntryModel::rememberEnglish(int index, double english)
{
    if (!isBox(index) || !IsNumericEntry(index))
        return {};
    return m_shown[std::size_t(index)].show(m_system, english);
}

void EditorEntryModel::writeShown(int index, const QString &text, double english)
{
    if (!isBox(index) || !IsNumericEntry(index))
        return;
    m_shown[std::size_t(index)].remember(text, m_system, english);
    setText(index, text);
}

double EditorEntryModel::value(FuelParameterId id) const
{
    return english(FuelParameterOf(id).entryIndex);
}

void EditorEntryModel::setValue(FuelParameterId id, double english)
{
    setEnglish(FuelParameterOf(id).entryIndex, english);
}

void EditorEntryModel::setUnits(Units::System system)
{
    if (system == m_system)
        return;
    // Every text is converted from the old system before any is written: a handler that
    // reads a box on entryChanged finds the new system and its new text.
    std::array<QString, kEntrySlots> texts;
    for (int i = 0; i < kEntrySlots; ++i)
        if (isBox(i) && IsNumericEntry(i))
            texts[std::size_t(i)] = m_shown[std::size_t(i)].convert(m_system, system, m_texts[std::size_t(i)]);
    m_system = system;
    {
        const Fill fill(*this);
        const QScopedValueRollback<bool> converting(m_convertingUnits, true);
        for (int i = 0; i < kEntrySlots; ++i)
            if (isBox(i) && IsNumericEntry(i))
                setText(i, texts[std::size_t(i)]);
    }
    emit unitsChanged(system);
}

void EditorEntryModel::setScenario(const QString &key)
{
    if (key == m_scenario)
        return;
    m_scenario = key;
    emit scenarioChanged(key);
}

void EditorEntryModel::scenarioEntryEdited(int index)
{
    if (filling() || m_scenario.isEmpty())
        return;
    const bool moisture = index >= kFirstEnvEntry && index < kLastEnvEntry;
    const bool otherEnvironment = index == kLastEnvEntry || index < 0;
    if (moisture || (otherEnvironment && m_scenario.startsWith(kUserPrefix)))
        setScenario(QString());
}

void EditorEntryModel::setReadOnly(int index, bool readOnly)
{
    if (isBox(index))
        m_readOnly[std::size_t(index)] = readOnly;
}

bool EditorEntryModel::isReadOnly(int index) const
{
    return isBox(index) && m_readOnly[std::size_t(index)];
}

bool EditorEntryModel::holdsRange(int index) const
{
    if (!isBox(index))
        return false;
    // Number boxes are judged by their English value, so a metric box is out of range exactly
    // when the English value it stands for is.
    return IsNumericEntry(index) ? EntryValueInRange(index, english(index)) : EntryInRange(index, text(index));
}

QString EditorEntryModel::fault() const
{
    for (int i = 2; i < kEntrySlots; ++i) {
        if (!isBox(i) || !IsNumericEntry(i) || isReadOnly(i) || holdsRange(i))
            continue;
        return EntryCaption(i, m_system).trimmed() + QStringLiteral(": ") + text(i) +
            QStringLiteral(" is outside its range ") + EntryHint(i, m_system).trimmed();
    }
    return {};
}
