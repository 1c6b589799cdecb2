#include "library/ModelNotes.h"

#include "data/FuelParameters.h"
#include "data/NumberText.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>

LibraryNotes gLibraryNotes;

void ResetLibraryNotes()
{
    gLibraryNotes = LibraryNotes();
}

namespace {

std::function<QDateTime()> &notesClock()
{
    static std::function<QDateTime()> c;
    return c;
}

QJsonObject entry(const QDateTime &when, const QString &kind)
{
    QJsonObject e;
    e.insert(QStringLiteral("date"), NotesDateText(when));
    e.insert(QStringLiteral("kind"), kind);
    return e;
}

QJsonValue number(double v)
{
    return QJsonValue(v);
}

QJsonObject statistics(const QList<QPair<QString, double>> &values)
{
    QJsonObject o;
    for (const auto &[name, value] : values)
        o.insert(name, value);
    return o;
}

// A value of a change for people: numbers as the library writes them, codes of the carrier and
// herb type with their names, texts quoted.
QString valueText(const QString &field, const QJsonValue &v)
{
    if (v.isDouble()) {
        const QString n = FormatGeneral(v.toDouble());
        if (field == QLatin1String("fire-carrier") && !FuelCatText(v.toDouble()).isEmpty())
            return FuelCatText(v.toDouble());
        if (field == QLatin1String("herb-type") && !HerbTypeText(v.toDouble()).isEmpty())
            return HerbTypeText(v.toDouble());
        return n;
    }
    if (v.isString())
        return QLatin1Char('"') + v.toString() + QLatin1Char('"');
    return QStringLiteral("?");
}

QString fieldName(const QString &field)
{
    if (const FuelParameterInfo *p = FindFuelParameter(field.toStdString()))
        return QString::fromUtf8(p->chartName.data(), qsizetype(p->chartName.size()));
    if (field == QLatin1String("id"))
        return QStringLiteral("ID");
    if (field == QLatin1String("fire-carrier"))
        return QStringLiteral("fire carrier");
    if (field == QLatin1String("herb-type"))
        return QStringLiteral("herb type");
    return field;
}

QString joinedTexts(const QString &a, const QString &b)
{
    if (a.isEmpty() || a == b)
        return b.isEmpty() ? a : b;
    if (b.isEmpty())
        return a;
    return a + QLatin1Char('\n') + b;
}

} // namespace

QDateTime NotesNow()
{
    if (notesClock())
        return notesClock()();
    return QDateTime::currentDateTime();
}

void SetNotesClock(std::function<QDateTime()> c)
{
    notesClock() = std::move(c);
}

QString NotesDateText(const QDateTime &when)
{
    const int offset = when.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return when.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + QLatin1Char(offset < 0 ? '-' : '+') +
        QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QLatin1Char('0')).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QJsonObject CreatedBlankEntry(const QDateTime &when)
{
    return entry(when, HistoryKind::CreatedBlank);
}

QJsonObject CopiedFromEntry(const QDateTime &when, const QString &set, const QString &id)
{
    QJsonObject e = entry(when, HistoryKind::CopiedFrom);
    e.insert(QStringLiteral("set"), set);
    e.insert(QStringLiteral("id"), id);
    return e;
}

QJsonObject ImportedEntry(const QDateTime &when, const QString &file, int line, const QString &sha256)
{
    QJsonObject e = entry(when, HistoryKind::Imported);
    e.insert(QStringLiteral("file"), file);
    if (line > 0)
        e.insert(QStringLiteral("line"), line);
    e.insert(QStringLiteral("sha256"), sha256);
    return e;
}

QJsonObject SavedEntry(const QDateTime &when, const QList<ValueChange> &changes)
{
    QJsonObject e = entry(when, HistoryKind::Saved);
    QJsonArray list;
    for (const ValueChange &c : changes) {
        QJsonObject o;
        o.insert(QStringLiteral("field"), c.field);
        o.insert(QStringLiteral("old"), c.oldValue);
        o.insert(QStringLiteral("new"), c.newValue);
        list.append(o);
    }
    e.insert(QStringLiteral("changes"), list);
    return e;
}

QJsonObject CalibratedEntry(const QDateTime &when, const CalibrationRecord &record)
{
    QJsonObject e = entry(when, HistoryKind::Calibrated);
    e.insert(QStringLiteral("observations"), record.observationsFile);
    e.insert(QStringLiteral("sha256"), record.observationsSha256);
    e.insert(QStringLiteral("fires"), record.fires);
    e.insert(QStringLiteral("objective"), record.objective);
    e.insert(QStringLiteral("free"), QJsonArray::fromStringList(record.freeParameters));
    if (record.tiedLoads)
        e.insert(QStringLiteral("tied-loads"), true);
    e.insert(QStringLiteral("before"), statistics(record.before));
    e.insert(QStringLiteral("after"), statistics(record.after));
    return e;
}

QJsonObject SetRenamedEntry(const QDateTime &when, const QString &from, const QString &to)
{
    QJsonObject e = entry(when, HistoryKind::SetRenamed);
    e.insert(QStringLiteral("from"), from);
    e.insert(QStringLiteral("to"), to);
    return e;
}

QJsonObject ExportedEntry(const QDateTime &when, const QString &file, int number, const QString &code,
                          const QString &sha256)
{
    QJsonObject e = entry(when, HistoryKind::Exported);
    e.insert(QStringLiteral("file"), file);
    e.insert(QStringLiteral("number"), number);
    if (!code.isEmpty())
        e.insert(QStringLiteral("code"), code);
    e.insert(QStringLiteral("sha256"), sha256);
    return e;
}

QList<ValueChange> ModelChanges(const FuelModel &before, const FuelModel &after)
{
    QList<ValueChange> out;
    const auto text = [&](const char *field, const QString &a, const QString &b) {
        if (a != b)
            out.append({QLatin1String(field), a, b});
    };
    const auto value = [&](const QString &field, double a, double b) {
        // Bit for bit: a value typed again the same is no change, any other is one.
        if (a != b && !(std::isnan(a) && std::isnan(b)))
            out.append({field, number(a), number(b)});
    };
    text("id", before.FuelModelID(), after.FuelModelID());
    text("description", before.Description(), after.Description());
    for (const FuelParameterInfo &p : FuelParameterTable())
        value(QString::fromUtf8(p.shortName.data(), qsizetype(p.shortName.size())), p.valueOf(before),
              p.valueOf(after));
    value(QStringLiteral("fire-carrier"), before.FuelCat(), after.FuelCat());
    value(QStringLiteral("herb-type"), before.HerbType(), after.HerbType());
    return out;
}

QList<ValueChange> ChangesOf(const QJsonObject &e)
{
    QList<ValueChange> out;
    for (const QJsonValue &v : e.value(QStringLiteral("changes")).toArray()) {
        const QJsonObject o = v.toObject();
        out.append({o.value(QStringLiteral("field")).toString(), o.value(QStringLiteral("old")),
                    o.value(QStringLiteral("new"))});
    }
    return out;
}

QString DescribeEntry(const QJsonObject &e)
{
    const auto str = [&](const char *key) { return e.value(QLatin1String(key)).toString(); };
    QString when = str("date");
    const QDateTime parsed = QDateTime::fromString(when, Qt::ISODate);
    if (parsed.isValid())
        when = when.left(16).replace(QLatin1Char('T'), QLatin1Char(' '));
    const QString kind = str("kind");
    QString what;
    if (kind == HistoryKind::CreatedBlank) {
        what = QStringLiteral("created as a new blank model");
    } else if (kind == HistoryKind::CopiedFrom) {
        what = QStringLiteral("copied from %1 of set \"%2\"").arg(str("id"), str("set"));
    } else if (kind == HistoryKind::Imported) {
        what = QStringLiteral("imported from %1").arg(str("file"));
        if (e.contains(QStringLiteral("set")))
            what += QStringLiteral(" (model %1 of set \"%2\")").arg(str("id"), str("set"));
        if (e.contains(QStringLiteral("line")))
            what += QStringLiteral(", line %1").arg(e.value(QStringLiteral("line")).toInt());
        if (!str("sha256").isEmpty())
            what += QStringLiteral(" (SHA-256 %1)").arg(str("sha256").left(12));
    } else if (kind == HistoryKind::Saved) {
        QStringList parts;
        for (const ValueChange &c : ChangesOf(e))
            parts << QStringLiteral("%1 %2 -> %3")
                         .arg(fieldName(c.field), valueText(c.field, c.oldValue), valueText(c.field, c.newValue));
        what = QStringLiteral("saved: ") +
            (parts.isEmpty() ? QStringLiteral("no change") : parts.join(QStringLiteral(", ")));
    } else if (kind == HistoryKind::Calibrated) {
        QStringList free;
        for (const QJsonValue &v : e.value(QStringLiteral("free")).toArray())
            free << v.toString();
        const QString against = str("observations").isEmpty()
            ? QStringLiteral("fires typed or pasted, SHA-256 %1").arg(str("sha256").left(12))
            : str("observations");
        what = QStringLiteral("calibrated against %1 (%2 fires, %3; free: %4)")
                   .arg(against)
                   .arg(e.value(QStringLiteral("fires")).toInt())
                   .arg(str("objective"), free.join(QStringLiteral(", ")));
        const QJsonValue before = e.value(QStringLiteral("before")).toObject().value(QStringLiteral("objective"));
        const QJsonValue after = e.value(QStringLiteral("after")).toObject().value(QStringLiteral("objective"));
        if (before.isDouble() && after.isDouble())
            what += QStringLiteral(", objective %1 -> %2")
                        .arg(QString::number(before.toDouble(), 'g', 4), QString::number(after.toDouble(), 'g', 4));
    } else if (kind == HistoryKind::Exported) {
        what = QStringLiteral("exported to %1 as model number %2")
                   .arg(str("file"))
                   .arg(e.value(QStringLiteral("number")).toInt());
        if (!str("code").isEmpty())
            what += QStringLiteral(" (code %1)").arg(str("code"));
    } else if (kind == HistoryKind::SetRenamed) {
        what = QStringLiteral("set renamed from \"%1\" to \"%2\"").arg(str("from"), str("to"));
    } else {
        what = kind.isEmpty() ? QStringLiteral("(entry of an unknown kind)") : kind;
    }
    return when.isEmpty() ? what : when + QLatin1Char(' ') + what;
}

bool SetNotes::IsEmpty() const
{
    return description.isEmpty() && owner.isEmpty() && notes.isEmpty() && extra.isEmpty();
}

bool ModelNotes::IsEmpty() const
{
    return source.isEmpty() && author.isEmpty() && notes.isEmpty() && history.isEmpty() && extra.isEmpty();
}

const ModelNotes *LibraryNotes::Of(const FuelModel *model) const
{
    const auto it = m_models.constFind(model);
    return it == m_models.constEnd() ? nullptr : &it->notes;
}

const SetNotes *LibraryNotes::Of(const FuelModelSet *set) const
{
    const auto it = m_sets.constFind(set);
    return it == m_sets.constEnd() ? nullptr : &it->notes;
}

ModelNotes &LibraryNotes::Edit(const std::shared_ptr<FuelModel> &model)
{
    ModelEntry &e = m_models[model.get()];
    e.model = model;
    return e.notes;
}

SetNotes &LibraryNotes::Edit(const std::shared_ptr<FuelModelSet> &set)
{
    SetEntry &e = m_sets[set.get()];
    e.set = set;
    return e.notes;
}

void LibraryNotes::Record(const std::shared_ptr<FuelModel> &model, const QJsonObject &entry)
{
    Edit(model).history.append(entry);
}

void LibraryNotes::Drop(const FuelModel *model)
{
    m_models.remove(model);
}

void LibraryNotes::Drop(const FuelModelSet *set)
{
    m_sets.remove(set);
}

void LibraryNotes::Leave(const FuelModel *model, const QString &setName)
{
    const auto it = m_models.find(model);
    if (it == m_models.end())
        return;
    it->notes.set = setName;
    it->notes.id = model->FuelModelID();
}

void LibraryNotes::Move(const FuelModel *from, const std::shared_ptr<FuelModel> &to)
{
    const auto it = m_models.find(from);
    if (it == m_models.end() || from == to.get())
        return;
    ModelNotes notes = it->notes;
    m_models.erase(it);
    Edit(to) = notes;
}

void LibraryNotes::CopyTo(const FuelModel *from, const QString &fromSet, const std::shared_ptr<FuelModel> &to)
{
    ModelNotes copy;
    if (const ModelNotes *source = Of(from)) {
        copy.source = source->source;
        copy.author = source->author;
        copy.notes = source->notes;
    }
    copy.history.append(CopiedFromEntry(NotesNow(), fromSet, from->FuelModelID()));
    Edit(to) = copy;
}

QList<LibraryNotes::AttachedModel> LibraryNotes::AttachedModels() const
{
    QList<AttachedModel> out;
    for (const ModelEntry &e : m_models)
        if (!e.notes.IsEmpty())
            out.append({e.model, e.notes});
    return out;
}

QList<LibraryNotes::AttachedSet> LibraryNotes::AttachedSets() const
{
    QList<AttachedSet> out;
    for (const SetEntry &e : m_sets)
        if (!e.notes.IsEmpty())
            out.append({e.set, e.notes});
    return out;
}

bool LibraryNotes::IsEmpty() const
{
    if (!orphanModels.isEmpty() || !orphanSets.isEmpty() || !extra.isEmpty())
        return false;
    for (const ModelEntry &e : m_models)
        if (!e.notes.IsEmpty())
            return false;
    for (const SetEntry &e : m_sets)
        if (!e.notes.IsEmpty())
            return false;
    return true;
}

bool LibraryNotes::operator==(const LibraryNotes &o) const
{
    if (orphanModels != o.orphanModels || orphanSets != o.orphanSets || extra != o.extra)
        return false;
    // Empty notes count as none.
    const auto sameModels = [](const LibraryNotes &a, const LibraryNotes &b) {
        for (auto it = a.m_models.begin(); it != a.m_models.end(); ++it) {
            const ModelNotes *other = b.Of(it.key());
            if (it->notes.IsEmpty() ? other && !other->IsEmpty() : !other || !(*other == it->notes))
                return false;
        }
        return true;
    };
    const auto sameSets = [](const LibraryNotes &a, const LibraryNotes &b) {
        for (auto it = a.m_sets.begin(); it != a.m_sets.end(); ++it) {
            const SetNotes *other = b.Of(it.key());
            if (it->notes.IsEmpty() ? other && !other->IsEmpty() : !other || !(*other == it->notes))
                return false;
        }
        return true;
    };
    return sameModels(*this, o) && sameModels(o, *this) && sameSets(*this, o) && sameSets(o, *this);
}

void RecordSetRename(LibraryNotes &notes, FuelModelSet &set, const QString &from, const QString &to)
{
    const QJsonObject entry = SetRenamedEntry(NotesNow(), from, to);
    for (const auto &fm : *set.FuelModels())
        notes.Record(fm, entry);
}

std::shared_ptr<FuelModelSet> SetHoldingModel(const FuelModelSets &sets, const FuelModel *model)
{
    for (const auto &set : sets)
        if (set->FuelModels()->Contains(model->Key()) && set->FuelModels()->Item(model->Key()).get() == model)
            return set;
    return nullptr;
}

QList<LibraryNotes::Orphan> LibraryNotes::OrphanedModels(const FuelModelSets &sets) const
{
    QList<Orphan> out;
    for (int i = 0; i < orphanModels.size(); ++i)
        out.append({orphanModels[i], nullptr, i});
    QList<Orphan> gone;
    for (const ModelEntry &e : m_models) {
        if (e.notes.IsEmpty() || SetHoldingModel(sets, e.model.get()))
            continue;
        ModelNotes n = e.notes;
        if (n.id.isEmpty())
            n.id = e.model->FuelModelID();
        gone.append({n, e.model.get(), -1});
    }
    std::sort(gone.begin(), gone.end(), [](const Orphan &a, const Orphan &b) {
        return a.notes.set != b.notes.set ? a.notes.set < b.notes.set : a.notes.id < b.notes.id;
    });
    return out + gone;
}

QList<SetNotes> LibraryNotes::OrphanedSets(const FuelModelSets &sets) const
{
    QList<SetNotes> out;
    for (const OrphanSet &o : OrphanedSetEntries(sets))
        out.append(o.notes);
    return out;
}

QList<LibraryNotes::OrphanSet> LibraryNotes::OrphanedSetEntries(const FuelModelSets &sets) const
{
    QList<OrphanSet> out;
    for (int i = 0; i < orphanSets.size(); ++i)
        out.append({orphanSets[i], nullptr, i});
    QList<OrphanSet> gone;
    for (const SetEntry &e : m_sets) {
        if (e.notes.IsEmpty())
            continue;
        bool present = false;
        for (const auto &set : sets)
            present = present || set.get() == e.set.get();
        if (!present) {
            SetNotes n = e.notes;
            if (n.name.isEmpty())
                n.name = e.set->Name();
            gone.append({n, e.set.get(), -1});
        }
    }
    // A stable order: the hash's is not.
    std::sort(gone.begin(), gone.end(),
              [](const OrphanSet &a, const OrphanSet &b) { return a.notes.name < b.notes.name; });
    return out + gone;
}

bool LibraryNotes::AttachOrphanSet(const OrphanSet &orphan, const std::shared_ptr<FuelModelSet> &set)
{
    SetNotes taken;
    if (orphan.set) {
        const auto it = m_sets.find(orphan.set);
        if (it == m_sets.end() || orphan.set == set.get())
            return false;
        taken = it->notes;
        m_sets.erase(it);
    } else {
        if (orphan.index < 0 || orphan.index >= orphanSets.size() || !(orphanSets[orphan.index] == orphan.notes))
            return false;
        taken = orphanSets.takeAt(orphan.index);
    }
    SetNotes &target = Edit(set);
    target.description = joinedTexts(target.description, taken.description);
    target.owner = joinedTexts(target.owner, taken.owner);
    target.notes = joinedTexts(target.notes, taken.notes);
    for (auto it = taken.extra.begin(); it != taken.extra.end(); ++it)
        if (!target.extra.contains(it.key()))
            target.extra.insert(it.key(), it.value());
    return true;
}

bool LibraryNotes::DeleteOrphanSet(const OrphanSet &orphan)
{
    if (orphan.set)
        return m_sets.remove(orphan.set) > 0;
    if (orphan.index < 0 || orphan.index >= orphanSets.size() || !(orphanSets[orphan.index] == orphan.notes))
        return false;
    orphanSets.removeAt(orphan.index);
    return true;
}

bool LibraryNotes::AttachOrphan(const Orphan &orphan, const std::shared_ptr<FuelModel> &model)
{
    ModelNotes taken;
    if (orphan.model) {
        const auto it = m_models.find(orphan.model);
        if (it == m_models.end() || orphan.model == model.get())
            return false;
        taken = it->notes;
        m_models.erase(it);
    } else {
        if (orphan.index < 0 || orphan.index >= orphanModels.size() || !(orphanModels[orphan.index] == orphan.notes))
            return false;
        taken = orphanModels.takeAt(orphan.index);
    }
    ModelNotes &target = Edit(model);
    target.source = joinedTexts(target.source, taken.source);
    target.author = joinedTexts(target.author, taken.author);
    target.notes = joinedTexts(target.notes, taken.notes);
    target.history += taken.history;
    std::stable_sort(target.history.begin(), target.history.end(), [](const QJsonObject &a, const QJsonObject &b) {
        const QDateTime da = QDateTime::fromString(a.value(QStringLiteral("date")).toString(), Qt::ISODate);
        const QDateTime db = QDateTime::fromString(b.value(QStringLiteral("date")).toString(), Qt::ISODate);
        return da.isValid() && db.isValid() && da < db;
    });
    for (auto it = taken.extra.begin(); it != taken.extra.end(); ++it)
        if (!target.extra.contains(it.key()))
            target.extra.insert(it.key(), it.value());
    return true;
}

bool LibraryNotes::DeleteOrphan(const Orphan &orphan)
{
    if (orphan.model)
        return m_models.remove(orphan.model) > 0;
    if (orphan.index < 0 || orphan.index >= orphanModels.size() || !(orphanModels[orphan.index] == orphan.notes))
        return false;
    orphanModels.removeAt(orphan.index);
    return true;
}
