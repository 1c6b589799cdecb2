#include "data/UserMessage.h"

#include "data/AppError.h"

#include <new>
#include <stdexcept>

QString UserMessageOf(const std::exception &e)
{
    if (const auto *app = dynamic_cast<const AppError *>(&e)) {
        if (!app->description().isEmpty())
            return app->description();
        return QStringLiteral("The fuel model data refused the change (error %1 in %2).")
            .arg(app->number() - kAppErrorBase)
            .arg(app->source());
    }
    if (dynamic_cast<const std::bad_alloc *>(&e))
        return QStringLiteral("There is not enough memory for this.");
    if (dynamic_cast<const std::overflow_error *>(&e))
        return QStringLiteral("The program has used up its numbers for sets and models in this run. "
                              "Close it and start it again; the library is kept as last saved.");
    if (dynamic_cast<const std::out_of_range *>(&e) || dynamic_cast<const std::invalid_argument *>(&e))
        return QStringLiteral("A set or model the command works on is no longer where it was in the library.");
    return QStringLiteral("An unexpected problem stopped the command.");
}
