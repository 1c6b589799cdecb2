#include "tuners/ui/frmTuner.h"

#include "data/NumberText.h"
#include "testcenter/EntryRules.h"
#include "tuners/ITunerHost.h"

#include <QLabel>
#include <QSlider>

#include <algorithm>

namespace {

// The value shown above the slider for an entry text: the entry's own number while the slider
// stands for it (a depth of 0.914 stands at 0.91 on a slider of hundredths, and the tuner
// shows 0.914 as the box does); else the slider's value.
QString labelFor(const TunerRange &range, const QString &entryText, int position)
{
    if (SliderPositionOf(range, entryText) == position)
        return FormatGeneral(ParseLeadingNumber(entryText));
    return ValueText(range, position);
}

} // namespace

frmTuner::frmTuner(ITunerHost &host, QWidget *parent) : TunerWindow(host, parent)
{
    setObjectName(QStringLiteral("frmTuner"));
}

void frmTuner::SetUp(int index)
{
    m_system = m_host.ShownUnits();
    m_range = TunerRangeOf(index, m_system);
    SetTag(QString::number(index));
    if (!m_range)
        return;
    SetSliderRange(m_range->min, m_range->max, m_range->step());
    const QString entry = m_host.EntryText(index);
    SetSliderQuietly(SliderStart(*m_range, entry));
    lblVal->setText(labelFor(*m_range, entry, sldTune->value()));
    lblMax->setText(m_range->maxLabel);
    lblMin->setText(m_range->minLabel);
}

void frmTuner::FollowEntry(const QString &text)
{
    if (!m_range || !IsOpen())
        return;
    const long long position = SliderPositionOf(*m_range, text);
    if (position < m_range->min || position > m_range->max)
        return;
    SetSliderQuietly(int(position));
    lblVal->setText(labelFor(*m_range, text, int(position)));
}

void frmTuner::UnitsChanged()
{
    const int index = Index();
    const Units::System old = m_system;
    if (!m_startingValue.isEmpty()) {
        const Units::Quantity q = EntryQuantity(index);
        m_startingValue = Units::FormatEntry(q, m_host.ShownUnits(), Units::EnglishFromTyped(q, old, m_startingValue));
    }
    SetUp(index);
}

void frmTuner::Form_Activate()
{
    if (ParseLeadingNumber(m_startingValue) <= 0 && !Tag().isEmpty())
        m_startingValue = m_host.EntryText(Index());
}

void frmTuner::sldTune_Scroll(int position)
{
    if (m_range)
        lblVal->setText(ValueText(*m_range, position));
}

void frmTuner::sldTune_Change(int value)
{
    if (Tag().isEmpty() || !m_range)
        return;
    const QString text = ValueText(*m_range, value);
    WriteEntry(Index(), text);
    lblVal->setText(text);
}

void frmTuner::sldTune_GotFocus()
{
    const int index = Index();
    if (index >= 2 && index <= 30)
        HighlightEntries({index});
}

void frmTuner::sldTune_LostFocus()
{
    UnhighlightEntries();
}

void frmTuner::cmdReset_Click()
{
    if (!m_range)
        return;
    const long long target = m_range->whole ? SliderPositionOf(*m_range, m_host.StoredValue(Index()))
                                            : SliderPositionOf(*m_range, m_startingValue);
    const int position = int(std::clamp<long long>(target, m_range->min, m_range->max));
    // The box gets the reset value exactly once, also when the slider was already there, and
    // the value itself when the slider cannot show it (a stored SA/V of 0).
    SetSliderQuietly(position);
    WriteEntry(Index(), ValueText(*m_range, target));
    lblVal->setText(ValueText(*m_range, position));
}
