#include "fmtool/CommandOptions.h"

QString CommandOptions::value(const char *name) const
{
    QString v;
    for (const auto &[n, val] : options)
        if (n == QLatin1String(name))
            v = val;
    return v;
}

bool CommandOptions::given(const char *name) const
{
    for (const auto &o : options)
        if (o.first == QLatin1String(name))
            return true;
    return flags.contains(QLatin1String(name));
}

CommandOptions ParseCommandOptions(const QStringList &args, const QStringList &valued, const QStringList &flags)
{
    CommandOptions p;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString a = args[i];
        if (!a.startsWith(QLatin1String("--"))) {
            p.positional << a;
            continue;
        }
        if (flags.contains(a)) {
            p.flags << a;
            continue;
        }
        QString value;
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        if (eq >= 0) {
            value = a.mid(eq + 1);
            a = a.left(eq);
        } else if (valued.contains(a) && i + 1 < args.size()) {
            value = args[++i];
        } else if (valued.contains(a)) {
            p.problem = a + QStringLiteral(" needs a value");
            return p;
        }
        if (!valued.contains(a)) {
            p.problem = QStringLiteral("unknown option ") + a;
            return p;
        }
        p.options.append({a, value});
    }
    return p;
}
