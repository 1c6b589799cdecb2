#include "data/AppError.h"

#include <limits>

AppError::AppError(std::int32_t number, QString source, QString description)
    : std::runtime_error(description.toStdString()), m_number(number), m_source(std::move(source)),
      m_description(std::move(description))
{ }

namespace {
std::int32_t g_classDebugCounter = 0;
}

void RaiseError(std::int32_t number, const QString &source)
{
    const QString description = GetErrorMessage(number);
    const std::int64_t raised = std::int64_t(kAppErrorBase) + number;
    if (raised < std::numeric_limits<std::int32_t>::min() || raised > std::numeric_limits<std::int32_t>::max())
        throw std::overflow_error("Overflow: application error number out of range");
    throw AppError(std::int32_t(raised), source, description);
}

QString GetErrorMessage(std::int32_t number)
{
    // The message table is empty; a number outside 16 bits cannot be looked up either.
    (void)number;
    return QStringLiteral("An unknown error has occurred!");
}

std::int32_t NextClassDebugID()
{
    if (g_classDebugCounter == std::numeric_limits<std::int32_t>::max())
        throw std::overflow_error("Overflow: class debug ID counter exhausted");
    return ++g_classDebugCounter;
}

void ResetClassDebugID()
{
    g_classDebugCounter = 0;
}
