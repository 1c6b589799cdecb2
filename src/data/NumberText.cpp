#include "data/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

QString FormatGeneral(double value)
{
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    return QString::number(value, 'g', 15);
}

namespace {

// Exact decimal expansion of |value| with `decimals` digits after the point, rounded half
// away from zero (glibc prints the exact binary value, so the tie test below is exact).
std::string roundedDigits(double value, int decimals)
{
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", decimals + 30, std::fabs(value));
    std::string s(buf);
    const std::size_t dot = s.find('.');
    std::string intPart = s.substr(0, dot);
    std::string frac = s.substr(dot + 1);
    std::string kept = frac.substr(0, std::size_t(decimals));
    const bool roundUp = frac[std::size_t(decimals)] >= '5';
    std::string digits = intPart + kept;
    if (roundUp) {
        int i = int(digits.size()) - 1;
        while (i >= 0) {
            if (digits[std::size_t(i)] == '9') {
                digits[std::size_t(i)] = '0';
                --i;
            } else {
                ++digits[std::size_t(i)];
                break;
            }
        }
        if (i < 0)
            digits.insert(digits.begin(), '1');
    }
    if (decimals == 0)
        return digits;
    return digits.substr(0, digits.size() - std::size_t(decimals)) + "." +
        digits.substr(digits.size() - std::size_t(decimals));
}

} // namespace

QString FormatPattern(double value, QStringView pattern)
{
    const qsizetype dot = pattern.indexOf(QLatin1Char('.'));
    const QStringView intPat = dot < 0 ? pattern : pattern.left(dot);
    const QStringView fracPat = dot < 0 ? QStringView() : pattern.mid(dot + 1);
    const int decimals = int(fracPat.size());
    const int mandatoryDecimals =
        int(fracPat.indexOf(QLatin1Char('#')) < 0 ? fracPat.size() : fracPat.indexOf(QLatin1Char('#')));
    const int mandatoryInt = int(intPat.count(QLatin1Char('0')));

    if (!std::isfinite(value))
        return QString::number(value);

    const std::string rounded = roundedDigits(value, decimals);
    const std::size_t p = rounded.find('.');
    std::string ip = p == std::string::npos ? rounded : rounded.substr(0, p);
    std::string fp = p == std::string::npos ? std::string() : rounded.substr(p + 1);

    // Integer part: drop insignificant zeros, then pad to the "0" placeholders.
    std::size_t firstNonZero = ip.find_first_not_of('0');
    ip = firstNonZero == std::string::npos ? std::string() : ip.substr(firstNonZero);
    while (int(ip.size()) < mandatoryInt)
        ip.insert(ip.begin(), '0');
    // Decimal part: trailing zeros beyond the "0" placeholders are dropped.
    while (int(fp.size()) > mandatoryDecimals && !fp.empty() && fp.back() == '0')
        fp.pop_back();

    const bool isZero = rounded.find_first_not_of("0.") == std::string::npos;
    std::string out = (value < 0 && !isZero) ? "-" : "";
    out += ip;
    if (dot >= 0)
        out += "." + fp;
    return QString::fromStdString(out);
}

double ParseLeadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    std::string s;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        s += char(text[i++].unicode());
    bool digits = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        s += char(text[i++].unicode());
        digits = true;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        s += '.';
        ++i;
        while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
            s += char(text[i++].unicode());
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i + 1 < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        std::string e = "e";
        if (j < n && (text[j] == QLatin1Char('-') || text[j] == QLatin1Char('+')))
            e += char(text[j++].unicode());
        bool expDigits = false;
        while (j < n && text[j].unicode() >= '0' && text[j].unicode() <= '9') {
            e += char(text[j++].unicode());
            expDigits = true;
        }
        if (expDigits)
            s += e;
    }
    // A number too large for a double gives an infinity of its sign: reading it as 0 would
    // pass every range that holds 0 and put 0 where the user wrote something huge.
    return std::strtod(s.c_str(), nullptr);
}

long long RoundHalfEven(double value)
{
    return static_cast<long long>(std::nearbyint(value)); // default rounding mode: to nearest, ties to even
}
