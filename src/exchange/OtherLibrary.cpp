#include "exchange/OtherLibrary.h"

#include "data/Cp1252.h"
#include "exchange/CustomModelFile.h"
#include "library/LibraryFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

OtherLibrary ReadOtherLibrary(const QString &path)
{
    OtherLibrary result;
    QByteArray bytes;
    if (QString why; !ReadBoundedFile(path, kLargestLibraryFile, &bytes, &why)) {
        result.problem = QStringLiteral("%1 %2").arg(path, why);
        return result;
    }
    const LibraryReadResult read = ReadLibrary(bytes);
    if (!read.ok) {
        LibraryProblem problem = read.problem;
        problem.path = path;
        result.problem = QStringLiteral("%1 is not a library file that can be read:\n%2").arg(path, problem.toString());
        return result;
    }
    for (const auto &set : *read.sets)
        result.sets << OtherLibrarySet{set, set->Name(), set->Locked(), set->FuelModels()->Count()};
    result.ok = true;
    return result;
}

bool SetNameTaken(const FuelModelSets &sets, const QString &name, const QStringList &alsoTaken)
{
    for (const auto &set : sets)
        if (set->Name().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    for (const QString &n : alsoTaken)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString FreeSetName(const FuelModelSets &sets, const QString &name, const QStringList &alsoTaken)
{
    QString candidate = name;
    for (int n = 2; SetNameTaken(sets, candidate, alsoTaken); ++n)
        candidate = QStringLiteral("%1 (%2)").arg(name).arg(n);
    return candidate;
}

QString ImportedSetNameProblem(const FuelModelSets &sets, const QString &name, const QStringList &alsoTaken)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("A set needs a name.");
    if (SetNameTaken(sets, name, alsoTaken))
        return QStringLiteral("A set named \"%1\" exists already.").arg(name);
    return SetNameProblem(name);
}

QList<std::shared_ptr<FuelModel>> CopyModels(FuelModelSet &set)
{
    QList<std::shared_ptr<FuelModel>> out;
    for (const auto &m : *set.FuelModels()) {
        auto copy = std::make_shared<FuelModel>(*m);
        copy->setKey(QString());
        out << copy;
    }
    return out;
}

IdTaken LibraryIdTaken(const FuelModelSets &library)
{
    return [&library](const QString &id) {
        const QString wanted = id.trimmed().toUpper();
        for (const auto &set : library)
            for (const auto &m : *set->FuelModels())
                if (m->FuelModelID().trimmed().toUpper() == wanted)
                    return true;
        return false;
    };
}

QStringList GiveFreeIDs(QList<ImportedSet> &sets, const FuelModelSets &library)
{
    QStringList changed;
    QSet<QString> given; // upper case
    const IdTaken inLibrary = LibraryIdTaken(library);
    const auto taken = [&](const QString &id) { return given.contains(id.trimmed().toUpper()) || inLibrary(id); };
    for (ImportedSet &set : sets) {
        for (const auto &model : set.models) {
            const QString own = model->FuelModelID();
            const QString id = FreeModelID(own, taken);
            if (id != own.trimmed()) {
                model->setFuelModelID(id);
                changed << QStringLiteral("Set \"%1\": the ID \"%2\" is taken; the model's ID is \"%3\"")
                               .arg(set.name, own, id);
            }
            given.insert(id.toUpper());
        }
    }
    return changed;
}
