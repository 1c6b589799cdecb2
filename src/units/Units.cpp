#include "units/Units.h"

#include "data/NumberText.h"

#include <algorithm>
#include <cmath>

namespace Units {

namespace {

struct QuantityRow
{
    double metricPerEnglish;
    const char *english;
    const char *metric;
    int englishResultDecimals;
    int metricResultDecimals;
    int metricEntryDecimals; // -1: general text
};

constexpr double kSquareMetersPerSquareFoot = kMetersPerFoot * kMetersPerFoot;

// Metric precisions are at least as fine as the English ones they replace (0.1 ch/h is about
// 0.03 m/min, so rates of spread get two decimals in m/min).
constexpr QuantityRow kRows[] = {
    /* Loading */ {kTonnesPerShortTon / kHectaresPerAcre, "t/ac", "t/ha", 2, 2, 2},
    /* SurfaceToVolume */ {1 / kMetersPerFoot, "ft2/ft3", "m2/m3", 0, 0, 0},
    /* HeatContent */ {kKilojoulesPerKilogramPerBtuPerPound, "btu/lb", "kJ/kg", 0, 0, 0},
    /* Depth */ {kMetersPerFoot, "ft", "m", 2, 2, 2},
    /* Moisture */ {1, "%", "%", 0, 0, -1},
    /* WindSpeed */ {kKilometersPerMile, "mi/h", "km/h", 1, 1, 1},
    /* Slope */ {1, "%", "%", 0, 0, -1},
    /* RateOfSpread */ {kMetersPerChain / 60, "ch/h", "m/min", 1, 2, 2},
    /* FirelineIntensity */ {kKilojoulesPerBtu / kMetersPerFoot, "btu/ft/s", "kW/m", 1, 1, 1},
    /* FlameLength */ {kMetersPerFoot, "ft", "m", 1, 2, 2},
    /* HeatPerUnitArea */ {kKilojoulesPerBtu / kSquareMetersPerSquareFoot, "btu/ft2", "kJ/m2", 0, 0, 0},
    /* FireSize */ {kHectaresPerAcre, "ac", "ha", 1, 2, 2},
    /* ReactionIntensity */ {kKilojoulesPerBtu / kSquareMetersPerSquareFoot / 60, "btu/ft2/min", "kW/m2", 0, 1, 1},
    /* Length */ {kMetersPerFoot, "ft", "m", 1, 2, 2},
    /* BulkDensity */ {kKilogramsPerPound / (kMetersPerFoot * kSquareMetersPerSquareFoot), "lb/ft3", "kg/m3", 3, 2, 2},
    /* Ratio */ {1, "", "", 3, 3, -1},
};

const QuantityRow &row(Quantity q)
{
    return kRows[static_cast<int>(q)];
}

bool metric(Quantity q, System s)
{
    return s == System::Metric && IsConverted(q);
}

// Pattern of "#"/"0" placeholders for a number of decimals.
QString fixedPattern(int decimals)
{
    return decimals <= 0 ? QStringLiteral("#0") : QStringLiteral("#0.") + QString(decimals, QLatin1Char('0'));
}

// Rounded to decimals, without trailing zeros or a lone decimal point ("1.20" -> "1.2").
QString trimmedDecimals(double value, int decimals)
{
    QString text = FormatPattern(value, fixedPattern(decimals));
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

// Decimals written in the leading number of typed text ("1.250" has 3, "12" and "1e3" none).
int typedDecimals(QStringView text)
{
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return 0;
    int n = 0;
    for (qsizetype i = dot + 1; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        ++n;
    return n;
}

// Finest precision searched for; beyond it a typed value is taken as its exact conversion.
constexpr int kMaxDecimals = 12;

} // namespace

double MetricPerEnglish(Quantity q)
{
    return row(q).metricPerEnglish;
}

bool IsConverted(Quantity q)
{
    return row(q).metricPerEnglish != 1;
}

double FromEnglish(Quantity q, System s, double english)
{
    return metric(q, s) ? english * row(q).metricPerEnglish : english;
}

double ToEnglish(Quantity q, System s, double shown)
{
    return metric(q, s) ? shown / row(q).metricPerEnglish : shown;
}

QString UnitLabel(Quantity q, System s)
{
    return QString::fromLatin1(s == System::Metric ? row(q).metric : row(q).english);
}

QString WithUnit(const QString &name, Quantity q, System s)
{
    const QString unit = UnitLabel(q, s);
    return unit.isEmpty() ? name : name + QStringLiteral(" (") + unit + QLatin1Char(')');
}

int ResultDecimals(Quantity q, System s)
{
    return s == System::Metric ? row(q).metricResultDecimals : row(q).englishResultDecimals;
}

int EntryDecimals(Quantity q, System s)
{
    return metric(q, s) ? row(q).metricEntryDecimals : -1;
}

QString FormatResult(Quantity q, System s, double english)
{
    return FormatPattern(FromEnglish(q, s, english), fixedPattern(ResultDecimals(q, s)));
}

QString FormatEntry(Quantity q, System s, double english)
{
    return FormatShownEntry(q, s, FromEnglish(q, s, english));
}

QString FormatShownEntry(Quantity q, System s, double shown)
{
    const int decimals = EntryDecimals(q, s);
    return decimals < 0 ? FormatGeneral(shown) : trimmedDecimals(shown, decimals);
}

double EnglishFromTyped(Quantity q, System s, QStringView text)
{
    const double typed = ParseLeadingNumber(text);
    if (!metric(q, s) || typed == 0 || !std::isfinite(typed))
        return ToEnglish(q, s, typed);
    const int precision = std::min(kMaxDecimals, std::max(EntryDecimals(q, s), typedDecimals(text)));
    const QString pattern = fixedPattern(precision);
    const QString target = FormatPattern(typed, pattern);
    const double exact = typed / row(q).metricPerEnglish;
    // The English decimal with the fewest decimals that shows as the typed text: the nearest
    // value with k decimals is tried for k = 0, 1, ...; the first that shows back wins.
    for (int k = 0; k <= kMaxDecimals + 3; ++k) {
        const double candidate = ParseLeadingNumber(FormatPattern(exact, fixedPattern(k)));
        if (FormatPattern(candidate * row(q).metricPerEnglish, pattern) == target)
            return candidate;
    }
    return exact;
}

namespace {

// Walks from the rounded conversion of an English limit to the first entry value (in steps of
// the entry precision, towards the inside when dir is +1 from below / -1 from above) whose
// English value lies on the inner side of the limit.
double shownLimit(Quantity q, System s, double englishLimit, int dir)
{
    if (!metric(q, s))
        return englishLimit;
    const int decimals = std::max(0, EntryDecimals(q, s));
    const double step = std::pow(10.0, -decimals);
    const double start = std::round(FromEnglish(q, s, englishLimit) / step);
    auto inside = [&](double steps) {
        const double english = EnglishFromTyped(q, s, FormatShownEntry(q, s, steps * step));
        return dir > 0 ? english >= englishLimit : english <= englishLimit;
    };
    double steps = start - 2 * dir;
    for (int i = 0; i < 8 && !inside(steps); ++i)
        steps += dir;
    return ParseLeadingNumber(FormatShownEntry(q, s, steps * step));
}

} // namespace

double ShownLow(Quantity q, System s, double englishLow)
{
    return shownLimit(q, s, englishLow, +1);
}

double ShownHigh(Quantity q, System s, double englishHigh)
{
    return shownLimit(q, s, englishHigh, -1);
}

QString ShownValue::show(System s, double english)
{
    remember(FormatEntry(m_quantity, s, english), s, english);
    return m_text;
}

void ShownValue::remember(const QString &text, System s, double english)
{
    m_text = text;
    m_system = s;
    m_english = english;
    m_valid = true;
}

double ShownValue::english(System s, QStringView text) const
{
    if (m_valid && s == m_system && text == m_text)
        return m_english;
    return EnglishFromTyped(m_quantity, s, text);
}

QString ShownValue::convert(System from, System to, const QString &text)
{
    return show(to, english(from, text));
}

Quantity CalculatorQuantity(std::string_view p)
{
    if (p.starts_with("Loading"))
        return Quantity::Loading;
    if (p.starts_with("SurfaceToVolume") || p == "SurfToVol")
        return Quantity::SurfaceToVolume;
    if (p.starts_with("HeatContent"))
        return Quantity::HeatContent;
    if (p == "BulkDensityDepth")
        return Quantity::Depth;
    if (p == "WindSpeed" || p == "WindSpeedNA" || p == "EWind")
        return Quantity::WindSpeed;
    if (p == "Slope")
        return Quantity::Slope;
    if (p == "RateOfSpread")
        return Quantity::RateOfSpread;
    if (p == "FireLineIntensity")
        return Quantity::FirelineIntensity;
    if (p == "FlameLength")
        return Quantity::FlameLength;
    if (p == "HeatPerUnitArea")
        return Quantity::HeatPerUnitArea;
    if (p == "SingleEllipseArea" || p == "DoubleEllipseArea")
        return Quantity::FireSize;
    return Quantity::Ratio;
}

QString SystemName(System s)
{
    return s == System::Metric ? QStringLiteral("metric") : QStringLiteral("english");
}

bool ParseSystemName(QStringView text, System *out)
{
    const QString t = text.trimmed().toString().toLower();
    if (t == QLatin1String("metric")) {
        *out = System::Metric;
        return true;
    }
    if (t == QLatin1String("english")) {
        *out = System::English;
        return true;
    }
    return false;
}

} // namespace Units
