#pragma once

#include <QString>

#include <cstdint>
#include <stdexcept>

// The one application error of the data classes: number (the application error base plus
// the number the caller gave), the failing operation as source text, and a description.
class AppError : public std::runtime_error
{
public:
    AppError(std::int32_t number, QString source, QString description);

    std::int32_t number() const { return m_number; }
    const QString &source() const { return m_source; }
    const QString &description() const { return m_description; }

private:
    std::int32_t m_number;
    QString m_source;
    QString m_description;
};

// Base of application-defined error numbers (hexadecimal 80040000).
inline constexpr std::int32_t kAppErrorBase = -2147221504;
// The number every data class reports its failures with.
inline constexpr std::int32_t kUnknownErrorNumber = 9999;

// Raises the application error kAppErrorBase + number with the given source. Never returns.
// A number that would push the sum out of the 32-bit range raises std::overflow_error instead.
[[noreturn]] void RaiseError(std::int32_t number, const QString &source);

// Looks the number up in the message table, which ships empty.
QString GetErrorMessage(std::int32_t number);

// Running instance number: 1 for the first call of a run, then 2, 3, ...
// Throws std::overflow_error past INT32_MAX.
std::int32_t NextClassDebugID();
void ResetClassDebugID();
