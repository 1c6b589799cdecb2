#include "testcenter/PlotExport.h"

#include "data/NumberText.h"
#include "units/UnitSetting.h"

#include <QSaveFile>

namespace {

std::vector<std::string> columnOrder()
{
    std::vector<std::string> names;
    for (const std::string &name : FireSpread::PropertyNames()) {
        if (!FireSpread::IsOutputProperty(name))
            names.push_back(name);
    }
    for (const std::string &name : FireSpread::PropertyNames()) {
        if (FireSpread::IsOutputProperty(name))
            names.push_back(name);
    }
    return names;
}

} // namespace

QString PlotHistoryCsv(const ChartState &state)
{
    return PlotHistoryCsv(state, Units::UnitSetting::instance().system());
}

QString PlotHistoryCsv(const ChartState &state, Units::System s)
{
    const std::vector<std::string> names = columnOrder();
    const QString eol = QStringLiteral("\r\n");
    QString csv = QStringLiteral("Plot");
    for (const std::string &name : names) {
        QString n = QString::fromStdString(name);
        if (s == Units::System::Metric && Units::IsConverted(Units::CalculatorQuantity(name)))
            n += QStringLiteral(" (") + Units::UnitLabel(Units::CalculatorQuantity(name), s) + QLatin1Char(')');
        csv += u',' + n + QStringLiteral(",Reference ") + n;
    }
    csv += eol;
    for (int position = 1; position <= state.Count(); ++position) {
        const FireSpread *current = state.Current(position);
        const FireSpread *reference = state.Reference(position);
        csv += QString::number(position);
        for (const std::string &name : names) {
            const Units::Quantity q = Units::CalculatorQuantity(name);
            csv += u',' + FormatGeneral(Units::FromEnglish(q, s, current->GetProperty(name))) + u',';
            if (reference)
                csv += FormatGeneral(Units::FromEnglish(q, s, reference->GetProperty(name)));
        }
        csv += eol;
    }
    return csv;
}

bool WritePlotHistoryCsv(const ChartState &state, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = PlotHistoryCsv(state).toUtf8();
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
