#include "library/NotesFile.h"

#include "data/WholeFileWrite.h"
#include "library/LibraryFile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>

namespace {

const QString kFormat = QStringLiteral("varrow-notes");

// Keys are written in this order, the rest after them in alphabetical order; so the same
// notes always give the same bytes, and an entry reads date first.
const QStringList &keyOrder()
{
    static const QStringList order = {
        QStringLiteral("format"),         QStringLiteral("version"),      QStringLiteral("library"),
        QStringLiteral("library-sha256"), QStringLiteral("date"),         QStringLiteral("kind"),
        QStringLiteral("name"),           QStringLiteral("set"),          QStringLiteral("id"),
        QStringLiteral("field"),          QStringLiteral("old"),          QStringLiteral("new"),
        QStringLiteral("from"),           QStringLiteral("to"),           QStringLiteral("file"),
        QStringLiteral("line"),           QStringLiteral("observations"), QStringLiteral("sha256"),
        QStringLiteral("fires"),          QStringLiteral("objective"),    QStringLiteral("free"),
        QStringLiteral("before"),         QStringLiteral("after"),        QStringLiteral("changes"),
        QStringLiteral("description"),    QStringLiteral("owner"),        QStringLiteral("source"),
        QStringLiteral("author"),         QStringLiteral("notes"),        QStringLiteral("history"),
    };
    return order;
}

QStringList orderedKeys(const QJsonObject &o)
{
    QStringList keys;
    for (const QString &k : keyOrder())
        if (o.contains(k))
            keys << k;
    QStringList rest;
    for (auto it = o.begin(); it != o.end(); ++it)
        if (!keyOrder().contains(it.key()))
            rest << it.key();
    rest.sort();
    return keys + rest;
}

QString jsonString(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

QString jsonNumber(double v)
{
    if (!std::isfinite(v))
        return QStringLiteral("null");
    if (v == std::floor(v) && std::abs(v) < 1e15)
        return QString::number(qint64(v));
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

// One value on one line.
QString compact(const QJsonValue &v)
{
    switch (v.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QLatin1String(v.toBool() ? "true" : "false");
    case QJsonValue::Double:
        return jsonNumber(v.toDouble());
    case QJsonValue::String:
        return jsonString(v.toString());
    case QJsonValue::Array: {
        QStringList parts;
        for (const QJsonValue &item : v.toArray())
            parts << compact(item);
        return QLatin1Char('[') + parts.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    case QJsonValue::Object: {
        const QJsonObject o = v.toObject();
        QStringList parts;
        for (const QString &k : orderedKeys(o))
            parts << jsonString(k) + QStringLiteral(": ") + compact(o.value(k));
        return QLatin1Char('{') + parts.join(QStringLiteral(", ")) + QLatin1Char('}');
    }
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("null");
}

QJsonObject setObject(const SetNotes &s)
{
    QJsonObject o = s.extra;
    o.insert(QStringLiteral("name"), s.name);
    o.insert(QStringLiteral("description"), s.description);
    o.insert(QStringLiteral("owner"), s.owner);
    o.insert(QStringLiteral("notes"), s.notes);
    return o;
}

// A model's entry over several lines: its fields one a line, each history entry on a line.
QString modelBlock(const ModelNotes &m)
{
    QJsonObject o = m.extra;
    o.insert(QStringLiteral("set"), m.set);
    o.insert(QStringLiteral("id"), m.id);
    o.insert(QStringLiteral("source"), m.source);
    o.insert(QStringLiteral("author"), m.author);
    o.insert(QStringLiteral("notes"), m.notes);
    QStringList lines;
    for (const QString &k : orderedKeys(o))
        lines << QStringLiteral("      ") + jsonString(k) + QStringLiteral(": ") + compact(o.value(k));
    QString history = QStringLiteral("      \"history\": [");
    for (qsizetype i = 0; i < m.history.size(); ++i)
        history +=
            QStringLiteral("\n        ") + compact(m.history[i]) + QLatin1String(i + 1 < m.history.size() ? "," : "");
    history += m.history.isEmpty() ? QStringLiteral("]") : QStringLiteral("\n      ]");
    lines << history;
    return QStringLiteral("    {\n") + lines.join(QStringLiteral(",\n")) + QStringLiteral("\n    }");
}

QString section(const char *name, const QStringList &items)
{
    QString out = QStringLiteral("  \"%1\": [").arg(QLatin1String(name));
    for (qsizetype i = 0; i < items.size(); ++i)
        out += QLatin1Char('\n') + items[i] + QLatin1String(i + 1 < items.size() ? "," : "");
    return out + (items.isEmpty() ? QStringLiteral("]") : QStringLiteral("\n  ]"));
}

int lineAt(QByteArrayView bytes, qsizetype offset)
{
    int line = 1;
    for (qsizetype i = 0; i < offset && i < bytes.size(); ++i)
        if (bytes[i] == '\n')
            ++line;
    return line;
}

// Reads the texts of a set or model entry; false with *why when one has the wrong type.
bool takeText(QJsonObject &o, const char *key, QString *into, QString *why)
{
    const QJsonValue v = o.take(QLatin1String(key));
    if (v.isUndefined() || v.isNull())
        return true;
    if (!v.isString()) {
        *why = QStringLiteral("\"%1\" is not a text").arg(QLatin1String(key));
        return false;
    }
    *into = v.toString();
    return true;
}

bool readSet(const QJsonValue &v, SetNotes *s, QString *why)
{
    if (!v.isObject()) {
        *why = QStringLiteral("a set entry is not an object");
        return false;
    }
    QJsonObject o = v.toObject();
    if (!takeText(o, "name", &s->name, why) || !takeText(o, "description", &s->description, why) ||
        !takeText(o, "owner", &s->owner, why) || !takeText(o, "notes", &s->notes, why))
        return false;
    s->extra = o;
    return true;
}

bool readModel(const QJsonValue &v, ModelNotes *m, QString *why)
{
    if (!v.isObject()) {
        *why = QStringLiteral("a model entry is not an object");
        return false;
    }
    QJsonObject o = v.toObject();
    if (!takeText(o, "set", &m->set, why) || !takeText(o, "id", &m->id, why) ||
        !takeText(o, "source", &m->source, why) || !takeText(o, "author", &m->author, why) ||
        !takeText(o, "notes", &m->notes, why))
        return false;
    const QJsonValue history = o.take(QStringLiteral("history"));
    if (!history.isUndefined() && !history.isNull()) {
        if (!history.isArray()) {
            *why = QStringLiteral("the history of model %1 is not a list").arg(m->id);
            return false;
        }
        for (const QJsonValue &e : history.toArray()) {
            if (!e.isObject()) {
                *why = QStringLiteral("an entry of the history of model %1 is not an object").arg(m->id);
                return false;
            }
            m->history.append(e.toObject());
        }
    }
    m->extra = o;
    return true;
}

template <typename T>
bool readList(QJsonObject &top, const char *key, QList<T> *into, bool (*read)(const QJsonValue &, T *, QString *),
              QString *why)
{
    const QJsonValue v = top.take(QLatin1String(key));
    if (v.isUndefined() || v.isNull())
        return true;
    if (!v.isArray()) {
        *why = QStringLiteral("\"%1\" is not a list").arg(QLatin1String(key));
        return false;
    }
    for (const QJsonValue &item : v.toArray()) {
        T t;
        if (!read(item, &t, why)) {
            *why = QStringLiteral("in \"%1\": %2").arg(QLatin1String(key), *why);
            return false;
        }
        into->append(t);
    }
    return true;
}

QString sameID(const QString &id)
{
    return id.trimmed().toUpper();
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString freeAsidePath(const QString &path, const QString &tag)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString candidate = path + QLatin1Char('.') + tag + QLatin1Char('-') + stamp + QStringLiteral(".bak");
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = path + QStringLiteral(".%1-%2-%3.bak").arg(tag, stamp).arg(n);
    return candidate;
}

QString listed(const QStringList &names)
{
    QStringList shown = names.mid(0, 5);
    QString text = shown.join(QStringLiteral(", "));
    if (names.size() > shown.size())
        text += QStringLiteral(" and %1 more").arg(names.size() - shown.size());
    return text;
}

// Notes found in the library: their place is the model's own from now on.
ModelNotes placedNotes(ModelNotes m)
{
    m.set.clear();
    m.id.clear();
    return m;
}

} // namespace

QString NotesFilePath(const QString &libraryPath)
{
    if (!QFileInfo(libraryPath).isSymLink())
        return libraryPath + QStringLiteral(".notes");
    return FinalFilePath(libraryPath) + QStringLiteral(".notes");
}

NotesParse ParseNotes(QByteArrayView bytes)
{
    NotesParse result;
    QByteArrayView text = bytes;
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    if (text.trimmed().isEmpty()) {
        result.problem = QStringLiteral("the file is empty");
        return result;
    }
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(text.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError) {
        result.line = lineAt(text, error.offset);
        result.problem = QStringLiteral("it is not JSON (%1)").arg(error.errorString());
        return result;
    }
    if (!json.isObject() || json.object().value(QStringLiteral("format")).toString() != kFormat) {
        result.problem = QStringLiteral("it is not a notes file (no \"format\": \"%1\")").arg(kFormat);
        return result;
    }
    QJsonObject top = json.object();
    top.remove(QStringLiteral("format"));
    NotesDocument &doc = result.document;
    doc.version = top.take(QStringLiteral("version")).toInt(1);
    QString why;
    if (!takeText(top, "library", &doc.library, &why) || !takeText(top, "library-sha256", &doc.librarySha256, &why) ||
        !readList<SetNotes>(top, "sets", &doc.sets, readSet, &why) ||
        !readList<ModelNotes>(top, "models", &doc.models, readModel, &why) ||
        !readList<SetNotes>(top, "orphan-sets", &doc.orphanSets, readSet, &why) ||
        !readList<ModelNotes>(top, "orphans", &doc.orphans, readModel, &why)) {
        result.problem = why;
        return result;
    }
    doc.extra = top;
    result.ok = true;
    return result;
}

QByteArray SerializeNotes(const NotesDocument &doc)
{
    QStringList head;
    head << QStringLiteral("  \"format\": ") + jsonString(kFormat)
         << QStringLiteral("  \"version\": ") + QString::number(doc.version)
         << QStringLiteral("  \"library\": ") + jsonString(doc.library)
         << QStringLiteral("  \"library-sha256\": ") + jsonString(doc.librarySha256);
    QStringList extraKeys = doc.extra.keys();
    extraKeys.sort();
    for (const QString &k : extraKeys)
        head << QStringLiteral("  ") + jsonString(k) + QStringLiteral(": ") + compact(doc.extra.value(k));
    QStringList sets, models, orphanSets, orphans;
    for (const SetNotes &s : doc.sets)
        sets << QStringLiteral("    ") + compact(setObject(s));
    for (const ModelNotes &m : doc.models)
        models << modelBlock(m);
    for (const SetNotes &s : doc.orphanSets)
        orphanSets << QStringLiteral("    ") + compact(setObject(s));
    for (const ModelNotes &m : doc.orphans)
        orphans << modelBlock(m);
    head << section("sets", sets) << section("models", models) << section("orphan-sets", orphanSets)
         << section("orphans", orphans);
    return (QStringLiteral("{\n") + head.join(QStringLiteral(",\n")) + QStringLiteral("\n}\n")).toUtf8();
}

NotesDocument DetachNotes(const LibraryNotes &notes, const FuelModelSets &sets)
{
    NotesDocument doc;
    doc.extra = notes.extra;
    for (const auto &set : sets) {
        if (const SetNotes *s = notes.Of(set.get()); s && !s->IsEmpty()) {
            SetNotes copy = *s;
            copy.name = set->Name();
            doc.sets << copy;
        }
        for (const auto &fm : *set->FuelModels()) {
            const ModelNotes *m = notes.Of(fm.get());
            if (!m || m->IsEmpty())
                continue;
            ModelNotes copy = *m;
            copy.set = set->Name();
            copy.id = fm->FuelModelID();
            doc.models << copy;
        }
    }
    doc.orphanSets = notes.OrphanedSets(sets);
    for (const LibraryNotes::Orphan &o : notes.OrphanedModels(sets))
        doc.orphans << o.notes;
    return doc;
}

LibraryNotes AttachNotes(const NotesDocument &doc, const FuelModelSets &sets, AttachReport *report)
{
    LibraryNotes notes;
    notes.extra = doc.extra;
    AttachReport local;
    AttachReport &r = report ? *report : local;

    struct Place
    {
        std::shared_ptr<FuelModel> model;
        QString set;
    };
    QHash<QString, QList<Place>> byID;
    for (const auto &set : sets)
        for (const auto &fm : *set->FuelModels())
            byID[sameID(fm->FuelModelID())].append({fm, set->Name()});

    QList<const ModelNotes *> unplaced;
    // First every entry whose set and ID both match, then those whose ID alone is found once.
    for (const ModelNotes &m : doc.models) {
        bool placed = false;
        for (const Place &p : byID.value(sameID(m.id)))
            if (p.set == m.set && !notes.Of(p.model.get())) {
                notes.Edit(p.model) = placedNotes(m);
                ++r.models;
                placed = true;
                break;
            }
        if (!placed)
            unplaced << &m;
    }
    for (const ModelNotes *m : unplaced) {
        const QList<Place> places = byID.value(sameID(m->id));
        if (places.size() == 1 && !notes.Of(places.first().model.get())) {
            notes.Edit(places.first().model) = placedNotes(*m);
            ++r.models;
            ++r.moved;
        } else {
            notes.orphanModels << *m;
            r.orphaned << QStringLiteral("%1 / %2").arg(m->set, m->id);
        }
    }
    notes.orphanModels += doc.orphans;

    for (const SetNotes &s : doc.sets) {
        bool placed = false;
        for (const auto &set : sets)
            if (set->Name() == s.name && !notes.Of(set.get())) {
                notes.Edit(set) = s;
                notes.Edit(set).name.clear();
                placed = true;
                break;
            }
        if (!placed) {
            notes.orphanSets << s;
            r.orphanedSets << s.name;
        }
    }
    notes.orphanSets += doc.orphanSets;
    return notes;
}

NotesLoad LoadNotes(const QString &libraryPath, const FuelModelSets &sets, bool keepAside)
{
    NotesLoad load;
    const QString path = NotesFilePath(libraryPath);
    if (!QFileInfo::exists(path))
        return load;
    // A notes file holds a few lines per model: one beyond the largest library is not one.
    constexpr qint64 kLargestNotesFile = 64 * 1024 * 1024;
    QByteArray bytes;
    if (QString why; !ReadBoundedFile(path, kLargestNotesFile, &bytes, &why)) {
        load.kind = NotesLoad::Unreadable;
        load.writeBlocked = true;
        load.message = QStringLiteral("The notes file %1 cannot be read (it %2). The library opens without its notes; "
                                      "they are not saved until the file can be read.")
                           .arg(nativePath(path), why);
        return load;
    }
    if (bytes.isNull())
        bytes = QByteArray("");
    load.bytes = bytes;
    // The stamp of the very bytes read: a write landing meanwhile is not taken for them.
    load.stamp = StampOfBytes(bytes);
    if (bytes.trimmed().isEmpty()) {
        load.kind = NotesLoad::Empty;
        load.message = QStringLiteral("The notes file %1 is empty: the library has no notes. Notes made now are saved "
                                      "into it.")
                           .arg(nativePath(path));
        return load;
    }
    const NotesParse parse = ParseNotes(bytes);
    if (!parse.ok) {
        load.kind = NotesLoad::Unreadable;
        const QString where =
            parse.line > 0 ? QStringLiteral("%1, line %2").arg(nativePath(path)).arg(parse.line) : nativePath(path);
        QString text = QStringLiteral("The notes file could not be read.\r%1: %2\r\r").arg(where, parse.problem);
        const QString aside = keepAside ? freeAsidePath(path, QStringLiteral("unreadable")) : QString();
        if (!keepAside) {
            load.writeBlocked = true;
            text += QStringLiteral("The library's notes are not shown.");
        } else if (QFile::copy(path, aside)) {
            load.asidePath = aside;
            text += QStringLiteral("It is kept unchanged as\r%1\rThe library opens without notes; notes made now "
                                   "start a new notes file.")
                        .arg(nativePath(aside));
        } else {
            load.writeBlocked = true;
            text += QStringLiteral("A copy of it could not be made, so it is left as it is: the library opens without "
                                   "notes, and notes made now are not saved.");
        }
        load.message = text;
        return load;
    }

    const NotesDocument &doc = parse.document;
    AttachReport report;
    load.notes = AttachNotes(doc, sets, &report);
    load.kind = NotesLoad::Read;
    QStringList said;
    const QString libraryName = QFileInfo(libraryPath).fileName();
    if (!doc.library.isEmpty() && doc.library != libraryName) {
        load.kind = NotesLoad::OtherLibrary;
        QString text = QStringLiteral("The notes file %1 was written for the library \"%2\", not for %3.")
                           .arg(nativePath(path), doc.library, libraryName);
        const QString aside = keepAside ? freeAsidePath(path, QStringLiteral("other")) : QString();
        if (!keepAside) {
            load.writeBlocked = true;
        } else if (QFile::copy(path, aside)) {
            load.asidePath = aside;
            text += QStringLiteral(" It is kept unchanged as %1.").arg(nativePath(aside));
        } else {
            load.writeBlocked = true;
            text += QStringLiteral(" A copy of it could not be made, so it is not written over.");
        }
        said << text;
    }
    const QByteArray libraryHash = StampOfFile(libraryPath).hash.toHex();
    if (!doc.librarySha256.isEmpty() && doc.librarySha256.toLatin1() != libraryHash) {
        load.libraryChanged = true;
        if (load.kind != NotesLoad::OtherLibrary)
            said << QStringLiteral("The library file was changed after its notes were last saved (the program may "
                                   "have stopped between saving the two, or another program changed the library).");
    }
    if (report.moved > 0)
        said << QStringLiteral("The notes of %1 model(s) were found by their ID in another set.").arg(report.moved);
    if (!report.orphaned.isEmpty() || !report.orphanedSets.isEmpty()) {
        QStringList parts;
        if (!report.orphaned.isEmpty())
            parts << QStringLiteral("%1 model(s) (%2)").arg(report.orphaned.size()).arg(listed(report.orphaned));
        if (!report.orphanedSets.isEmpty())
            parts << QStringLiteral("%1 set(s) (%2)").arg(report.orphanedSets.size()).arg(listed(report.orphanedSets));
        said << QStringLiteral("The notes of %1 are not in the library. They are kept as orphaned notes: File > "
                               "Library... lists them, to attach them to a model or delete them.")
                    .arg(parts.join(QStringLiteral(" and ")));
    }
    load.message = said.join(QLatin1Char('\r'));
    return load;
}

QString NotesJson(const ModelNotes &notes)
{
    QJsonObject o = notes.extra;
    o.insert(QStringLiteral("source"), notes.source);
    o.insert(QStringLiteral("author"), notes.author);
    o.insert(QStringLiteral("notes"), notes.notes);
    QJsonArray history;
    for (const QJsonObject &e : notes.history)
        history.append(e);
    o.insert(QStringLiteral("history"), history);
    return compact(o);
}

QString NotesJson(const SetNotes &notes)
{
    QJsonObject o = notes.extra;
    o.insert(QStringLiteral("description"), notes.description);
    o.insert(QStringLiteral("owner"), notes.owner);
    o.insert(QStringLiteral("notes"), notes.notes);
    return compact(o);
}

bool NotesWanted(const QString &libraryPath, const LibraryNotes &notes)
{
    return !notes.IsEmpty() || QFileInfo::exists(NotesFilePath(libraryPath));
}

bool WriteNotes(const QString &libraryPath, const QByteArray &librarySha256, const LibraryNotes &notes,
                const FuelModelSets &sets, QString *error)
{
    NotesDocument doc = DetachNotes(notes, sets);
    doc.library = QFileInfo(libraryPath).fileName();
    doc.librarySha256 = QString::fromLatin1(librarySha256.toHex());
    QString why;
    if (WriteFileWhole(NotesFilePath(libraryPath), SerializeNotes(doc), &why))
        return true;
    if (error)
        *error = QStringLiteral("The notes file %1 could not be written: %2")
                     .arg(nativePath(NotesFilePath(libraryPath)), why);
    return false;
}

QByteArray NotesBytes(const QString &libraryPath, const QByteArray &librarySha256, const LibraryNotes &notes,
                      const FuelModelSets &sets)
{
    NotesDocument doc = DetachNotes(notes, sets);
    doc.library = QFileInfo(libraryPath).fileName();
    doc.librarySha256 = QString::fromLatin1(librarySha256.toHex());
    return SerializeNotes(doc);
}

CheckedWrite WriteNotesIfUnchanged(const QString &libraryPath, const QByteArray &librarySha256,
                                   const LibraryNotes &notes, const FuelModelSets &sets, const QByteArray &expectedHash,
                                   QString *error, QByteArray *written, QString *keptAside)
{
    const QByteArray bytes = NotesBytes(libraryPath, librarySha256, notes, sets);
    QString why;
    const CheckedWrite outcome =
        WriteFileWholeIfUnchanged(NotesFilePath(libraryPath), bytes, expectedHash, &why, keptAside);
    if (outcome == CheckedWrite::Written && written)
        *written = bytes;
    if (outcome == CheckedWrite::Failed && error)
        *error = QStringLiteral("The notes file %1 could not be written: %2")
                     .arg(nativePath(NotesFilePath(libraryPath)), why);
    return outcome;
}

namespace {

// Notes of the library's backups deleted as too old go with them.
void removeNotesOfGoneBackups(const QString &libraryPath, const QString &backupPath)
{
    const QFileInfo backup(backupPath);
    const QString prefix = QFileInfo(libraryPath).completeBaseName() + QStringLiteral(".backup-");
    QDir folder = backup.absoluteDir();
    for (const QString &name : folder.entryList({prefix + QStringLiteral("*.notes")}, QDir::Files))
        if (!QFileInfo::exists(folder.filePath(name.chopped(6))))
            folder.remove(name);
}

} // namespace

bool WriteNotesBeside(const QString &libraryPath, const QString &copyPath, const QByteArray &bytes, QString *error)
{
    removeNotesOfGoneBackups(libraryPath, copyPath);
    if (bytes.isNull())
        return true;
    QString why;
    if (WriteFileWhole(NotesFilePath(copyPath), bytes, &why))
        return true;
    if (error)
        *error = why;
    return false;
}

bool BackUpNotes(const QString &libraryPath, const QString &backupPath, QString *error)
{
    const QString notes = NotesFilePath(libraryPath);
    // Notes of backups deleted as too old go with them.
    const QFileInfo backup(backupPath);
    const QString prefix = QFileInfo(libraryPath).completeBaseName() + QStringLiteral(".backup-");
    QDir folder = backup.absoluteDir();
    for (const QString &name : folder.entryList({prefix + QStringLiteral("*.notes")}, QDir::Files))
        if (!QFileInfo::exists(folder.filePath(name.chopped(6))))
            folder.remove(name);
    if (!QFileInfo::exists(notes))
        return true;
    QFile file(notes);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QString why;
    if (WriteFileWhole(NotesFilePath(backupPath), file.readAll(), &why))
        return true;
    if (error)
        *error = why;
    return false;
}

bool CopyNotesAside(const QString &libraryPath, const QString &asidePath, QString *error)
{
    const QString notes = NotesFilePath(libraryPath);
    if (!QFileInfo::exists(notes))
        return true;
    QFile file(notes);
    if (file.copy(NotesFilePath(asidePath)))
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

void AddMissingNotes(LibraryNotes &into, const NotesDocument &document, const FuelModelSets &sets)
{
    const LibraryNotes ours = AttachNotes(document, sets, nullptr);
    for (const ModelNotes &orphan : ours.orphanModels)
        if (!orphan.IsEmpty() && !into.orphanModels.contains(orphan))
            into.orphanModels << orphan;
    for (const SetNotes &orphan : ours.orphanSets)
        if (!orphan.IsEmpty() && !into.orphanSets.contains(orphan))
            into.orphanSets << orphan;
    for (const LibraryNotes::AttachedModel &m : ours.AttachedModels())
        if (const ModelNotes *there = into.Of(m.model.get()); !there || there->IsEmpty())
            into.Edit(m.model) = m.notes;
    for (const LibraryNotes::AttachedSet &s : ours.AttachedSets())
        if (const SetNotes *there = into.Of(s.set.get()); !there || there->IsEmpty())
            into.Edit(s.set) = s.notes;
}
