#pragma once

#include "data/FuelModel.h"
#include "data/FuelModelSet.h"
#include "data/FuelModelSets.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// What is known about where a model comes from: its source, its author, free notes and a
// history the program keeps by itself; and for a set its description, owner and notes. The
// library file cannot hold any of it, so it lives in a notes file beside the library (see
// NotesFile.h and docs/notes-format.md).
//
// History entries are kept as the JSON objects the notes file holds ("date", "kind" and the
// kind's own fields), so that an entry or a field written by a later version of the program is
// read, kept and written back unchanged. The makers below build the entries this version
// writes; DescribeEntry turns any entry into one line for people.

// The kinds of history entry.
namespace HistoryKind {
inline const QString CreatedBlank = QStringLiteral("created-blank");
inline const QString CopiedFrom = QStringLiteral("copied-from");
inline const QString Imported = QStringLiteral("imported");
inline const QString Saved = QStringLiteral("saved");
inline const QString Calibrated = QStringLiteral("calibrated");
inline const QString SetRenamed = QStringLiteral("set-renamed");
inline const QString Exported = QStringLiteral("exported");
} // namespace HistoryKind

struct SetNotes
{
    QString name; // the set's name, as written in the file (kept up to date when written)
    QString description;
    QString owner;
    QString notes;
    QJsonObject extra; // fields of a later version, kept as read

    bool IsEmpty() const;
    bool operator==(const SetNotes &o) const = default;
};

struct ModelNotes
{
    // Where the model was last seen: its set's name and its ID. Written from the library for a
    // model in it; kept here for notes whose model is gone (orphaned notes).
    QString set;
    QString id;
    QString source;
    QString author;
    QString notes;
    QList<QJsonObject> history; // oldest first
    QJsonObject extra;

    bool IsEmpty() const;
    bool operator==(const ModelNotes &o) const = default;
};

// One changed value of a model: "id", "description", a fuel parameter's short name
// ("load-1h" ... "mx", the moisture of extinction in percent), "fire-carrier" or "herb-type"
// (their codes); numbers as numbers, texts as texts.
struct ValueChange
{
    QString field;
    QJsonValue oldValue;
    QJsonValue newValue;
    bool operator==(const ValueChange &o) const = default;
};

// What a calibration did, as the calibration records it.
struct CalibrationRecord
{
    QString observationsFile;
    QString observationsSha256; // hexadecimal
    int fires = 0;
    QString objective;
    QStringList freeParameters;           // short names
    bool tiedLoads = false;               // the free loads moved together by one factor
    QList<QPair<QString, double>> before; // statistics by name, before and after the fit
    QList<QPair<QString, double>> after;
};

// The clock of history entries (the local time with its offset from UTC); tests set their own.
QDateTime NotesNow();
void SetNotesClock(std::function<QDateTime()> clock);
// ISO 8601 with the offset always written: "2026-12-09T23:40:05+01:00", "...+00:00".
QString NotesDateText(const QDateTime &when);

QJsonObject CreatedBlankEntry(const QDateTime &when);
QJsonObject CopiedFromEntry(const QDateTime &when, const QString &set, const QString &id);
QJsonObject ImportedEntry(const QDateTime &when, const QString &file, int line, const QString &sha256);
QJsonObject SavedEntry(const QDateTime &when, const QList<ValueChange> &changes);
QJsonObject CalibratedEntry(const QDateTime &when, const CalibrationRecord &record);
QJsonObject SetRenamedEntry(const QDateTime &when, const QString &from, const QString &to);
// Written to a custom model file as its model number (and code): the number-to-ID mapping the
// simulators' projects depend on.
QJsonObject ExportedEntry(const QDateTime &when, const QString &file, int number, const QString &code,
                          const QString &sha256);

// Exactly the values that differ between two versions of a model, in the editor's order: ID,
// description, the 13 fuel parameters, fire carrier, herb type.
QList<ValueChange> ModelChanges(const FuelModel &before, const FuelModel &after);

// The changes a "saved" entry lists.
QList<ValueChange> ChangesOf(const QJsonObject &entry);

// One line for people: "2026-12-09 23:40 saved: 1-h load 0.74 -> 0.8, Fuel bed depth 1 -> 1.2".
QString DescribeEntry(const QJsonObject &entry);

// The notes of the running library: attached to the very set and model objects (so that undo,
// cut and paste carry them without looking anything up), plus the orphaned notes, whose model
// or set is gone. A model that leaves the library (deleted, cut) keeps its entry here: its
// notes count as orphaned while it is out, and come back with it when undo puts it back.
//
// A plain value: copying it is cheap (the containers share their data), so that every picture
// of the library for undo holds the notes as they were.
class LibraryNotes
{
public:
    // The notes of a model or set, nullptr when it has none.
    const ModelNotes *Of(const FuelModel *model) const;
    const SetNotes *Of(const FuelModelSet *set) const;
    // The notes of a model or set to change, made empty first when it has none.
    ModelNotes &Edit(const std::shared_ptr<FuelModel> &model);
    SetNotes &Edit(const std::shared_ptr<FuelModelSet> &set);
    // Adds entry to the model's history.
    void Record(const std::shared_ptr<FuelModel> &model, const QJsonObject &entry);
    // Forgets the notes of a model or set (empty notes are not kept).
    void Drop(const FuelModel *model);
    void Drop(const FuelModelSet *set);

    // A model goes out of the library: its notes remember its set and ID.
    void Leave(const FuelModel *model, const QString &setName);
    // Cut and paste: the notes of from go over to to (nothing when from has none).
    void Move(const FuelModel *from, const std::shared_ptr<FuelModel> &to);
    // Copy and paste: to gets from's source, author and notes and a history of its own that
    // starts with "copied from" fromSet / from's ID.
    void CopyTo(const FuelModel *from, const QString &fromSet, const std::shared_ptr<FuelModel> &to);

    // Every model and set with notes, attached to objects (also those out of the library now).
    struct AttachedModel
    {
        std::shared_ptr<FuelModel> model;
        ModelNotes notes;
    };
    struct AttachedSet
    {
        std::shared_ptr<FuelModelSet> set;
        SetNotes notes;
    };
    QList<AttachedModel> AttachedModels() const;
    QList<AttachedSet> AttachedSets() const;

    // Notes read from the file that belong to no model or set of the library.
    QList<ModelNotes> orphanModels;
    QList<SetNotes> orphanSets;
    // Top-level fields of a later version's file, kept as read.
    QJsonObject extra;

    bool IsEmpty() const;
    bool operator==(const LibraryNotes &o) const;

    // The orphaned notes as sets now stand: the read orphans, then the notes of models and sets
    // out of the library (their place as they left it).
    struct Orphan
    {
        ModelNotes notes;
        const FuelModel *model = nullptr; // the model out of the library, or nullptr for a read one
        int index = -1;                   // position in orphanModels for a read one
    };
    QList<Orphan> OrphanedModels(const FuelModelSets &sets) const;
    QList<SetNotes> OrphanedSets(const FuelModelSets &sets) const;
    // Gives an orphan's notes to model (merged with what it has: texts appended, histories
    // in date order); the orphan is gone after. False when the orphan is not there.
    bool AttachOrphan(const Orphan &orphan, const std::shared_ptr<FuelModel> &model);
    bool DeleteOrphan(const Orphan &orphan);
    // The same for the notes of sets: the read orphans, then those of sets out of the library.
    struct OrphanSet
    {
        SetNotes notes;
        const FuelModelSet *set = nullptr; // the set out of the library, or nullptr for a read one
        int index = -1;                    // position in orphanSets for a read one
    };
    QList<OrphanSet> OrphanedSetEntries(const FuelModelSets &sets) const;
    bool AttachOrphanSet(const OrphanSet &orphan, const std::shared_ptr<FuelModelSet> &set);
    bool DeleteOrphanSet(const OrphanSet &orphan);

private:
    struct ModelEntry
    {
        std::shared_ptr<FuelModel> model;
        ModelNotes notes;
    };
    struct SetEntry
    {
        std::shared_ptr<FuelModelSet> set;
        SetNotes notes;
    };
    QHash<const FuelModel *, ModelEntry> m_models;
    QHash<const FuelModelSet *, SetEntry> m_sets;
};

// The notes of the running library (beside gFMSets).
extern LibraryNotes gLibraryNotes;
void ResetLibraryNotes();

// Renaming a set is in the history of each of its models.
void RecordSetRename(LibraryNotes &notes, FuelModelSet &set, const QString &from, const QString &to);

// The set of the library holding model, or nullptr.
std::shared_ptr<FuelModelSet> SetHoldingModel(const FuelModelSets &sets, const FuelModel *model);
