#include "record_set_impl.h"

#include "write_notices.h"

namespace halvo {

using detail::noCurrentRecord;
using detail::notUpdatable;
using detail::quoted;

Status RecordSet::addNew()
{
    if (!isOpen() || !d->updatable)
        return Error{notUpdatable};
    if (Status s = writePending(true); !s)
        return s;
    d->adding = true;
    d->current = d->storedCount();
    d->currentDeleted = false;
    editMode_ = EditMode::Adding;
    Status loaded = loadCurrent();
    emit recordsChanged();
    emit moveComplete();
    return loaded;
}

void RecordSet::writeAlongside(std::function<Status(qint64 rowid)> write)
{
    alongside = std::move(write);
}

Status RecordSet::update()
{
    if (!isOpen())
        return Error{QStringLiteral("The set of records is not open.")};
    return writePending(false);
}

long long RecordSet::rowsRead() const { return d->updatable ? d->rowsRead : d->rows.size(); }

bool RecordSet::isDirty() const
{
    return editMode_ == EditMode::Adding || (editMode_ == EditMode::Editing && d->edited.count(true));
}

void RecordSet::cancelUpdate()
{
    if (editMode_ == EditMode::None)
        return;
    const bool wasAdding = editMode_ == EditMode::Adding;
    editMode_ = EditMode::None;
    if (wasAdding) {
        d->adding = false;
        d->current = d->storedCount(); // ADO leaves the set at its end after a cancelled add
        emit recordsChanged();
    }
    (void)loadCurrent();
    emit moveComplete();
}

// Writes the current record's pending change. A new record that nobody typed into is dropped
// instead when dropUntouchedNew is set (leaving it, closing the window).
Status RecordSet::writePending(bool dropUntouchedNew)
{
    if (editMode_ == EditMode::None || !d->updatable)
        return {};
    const Connection& conn = *d->conn;
    QStringList names;
    QVariantList values;
    for (int c = 0; c < columns_.size(); ++c) {
        if (d->edited.testBit(c)) {
            names.append(quoted(columns_[c].name));
            values.append(d->buffer[c]);
        }
    }
    const bool adding = editMode_ == EditMode::Adding;
    RowFields before;
    if (adding && names.isEmpty() && dropUntouchedNew) {
        editMode_ = EditMode::None;
        d->adding = false;
        emit recordsChanged();
        return {};
    }
    // The row and what is written with it go together or not at all; until then the set and
    // its record stay as they were, the change pending.
    Transaction work(conn);
    if (!work.status())
        return work.status();
    // The current record's key was read with its fields.
    qint64 key = adding ? 0 : d->keys.at(d->current).valueOr(detail::KeyList::Gone);
    // What the row's statement changes, its triggers' rows among them, is the set's own write;
    // what is written alongside is not counted in it.
    const qint64 changesBefore = conn.changesMade();
    if (adding) {
        const QString sql = names.isEmpty()
                                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(d->table)
                                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                      .arg(d->table, names.join(QLatin1Char(',')),
                                           QStringList(names.size(), QStringLiteral("?"))
                                               .join(QLatin1Char(',')));
        if (Result<int> r = conn.execute(sql, values); !r)
            return r.error();
        Result<qint64> added = conn.lastInsertedKey();
        if (!added)
            return added.error();
        key = added.value();
    } else if (!names.isEmpty()) {
        before = storedFields(d->current);
        values.append(QVariant::fromValue<qlonglong>(key));
        // On shared books the row is written only as it was read: another desktop's change
        // since then is not written over unless the user says so.
        QString unchanged;
        if (conn.isServer() && !overwriting)
            for (int c = 0; c < columns_.size() && c < d->shown.size(); ++c)
                if (columns_[c].name.compare(conn.rowKey(), Qt::CaseInsensitive) != 0) {
                    unchanged += QStringLiteral(" AND %1 IS NOT DISTINCT FROM ?")
                                     .arg(quoted(columns_[c].name));
                    values.append(d->shown[c]);
                }
        Result<int> r = conn.execute(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?%4")
                                         .arg(d->table, names.join(QStringLiteral(" = ?, ")),
                                              conn.rowKey(), unchanged),
                                     values);
        if (!r)
            return r.error();
        if (r.value() == 0)
            return notWritten(key);
    }
    const qint64 changes = conn.changesMade() - changesBefore;
    if (alongside)
        if (Status along = alongside(key); !along)
            return along;
    if (Status committed = work.commit(); !committed)
        return committed;
    if (adding) {
        d->keys.append(key);
        d->adding = false;
    }
    const bool wrote = adding || !names.isEmpty();
    editMode_ = EditMode::None;
    // Read the written record back: the database fills defaults and the counter.
    d->cache.remove(key);
    Status loaded = loadCurrent();
    if (wrote) {
        noteOwnWrite(changes);
        announce(adding ? CommittedWrite::Kind::Insert : CommittedWrite::Kind::Update, before,
                 fieldsOf(d->buffer), changes);
    }
    return loaded;
}

// Why a row could not be written: gone, or (on shared books) changed by someone since it was read.
Error RecordSet::notWritten(qint64 key) const
{
    const Connection& conn = *d->conn;
    if (!conn.isServer())
        return Error{QStringLiteral("The record was deleted by another window.")};
    Result<QVariant> there = conn.scalar(
        QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = ?").arg(d->table, conn.rowKey()),
        {QVariant::fromValue<qlonglong>(key)});
    if (!there)
        return there.error();
    const bool gone = there.value().toLongLong() == 0;
    Result<QVariant> who = conn.scalar(
        QStringLiteral("SELECT changed_by FROM halvo_row_change WHERE tbl = lower(?) AND id = ?"),
        {d->tableName, QVariant::fromValue<qlonglong>(key)});
    const QString someone = who && !who.value().toString().isEmpty()
                                ? who.value().toString()
                                : QStringLiteral("Someone");
    if (gone)
        return Error{QStringLiteral("%1 deleted this record on another desktop.").arg(someone)};
    return Error{QStringLiteral("%1 changed this record on another desktop after it was shown "
                                "here.")
                     .arg(someone),
                 RecordChangedElsewhere};
}

Status RecordSet::writeOverTheirs()
{
    overwriting = true;
    Status written = update();
    overwriting = false;
    return written;
}

Status RecordSet::showTheirs()
{
    if (editMode_ == EditMode::Editing)
        editMode_ = EditMode::None;
    if (const qint64 key = currentKey())
        d->cache.remove(key);
    Status loaded = loadCurrent();
    emit moveComplete();
    return loaded;
}

qint64 RecordSet::currentKey() const
{
    if (!d->updatable || !d->hasCurrent() || d->adding)
        return 0;
    const qint64 key = d->keys.at(d->current).valueOr(detail::KeyList::Gone);
    return key == detail::KeyList::Gone ? 0 : key;
}

void RecordSet::forgetRow(qint64 key) { d->cache.remove(key); }

QString RecordSet::table() const { return d->updatable ? d->tableName : QString(); }

RowFields RecordSet::fieldsOf(const QVariantList& row) const
{
    RowFields fields;
    for (int c = 0; c < columns_.size() && c < row.size(); ++c)
        fields.insert(columns_[c].name, row[c]);
    return fields;
}

RowFields RecordSet::storedFields(long long index) const
{
    Result<QVariantList> row = d->storedRow(index, int(columns_.size()));
    return row ? fieldsOf(row.value()) : RowFields();
}

// A write that the engine has committed is told (one inside a unit of work of the caller's is
// committed only with it, and is not).
void RecordSet::announce(CommittedWrite::Kind kind, const RowFields& before,
                         const RowFields& after, qint64 changes) const
{
    if (d->conn->isInTransaction())
        return;
    CommittedWrite write;
    write.file = d->conn->filePath();
    write.table = d->tableName;
    write.kind = kind;
    write.before = before;
    write.after = after;
    write.changesSoFar = d->conn->changesMade();
    write.changesOfWrite = changes;
    emit WriteNotices::instance().committed(write);
}

Status RecordSet::deleteCurrent()
{
    if (!d->updatable)
        return Error{notUpdatable};
    if (!d->hasCurrent())
        return Error{noCurrentRecord};
    if (editMode_ == EditMode::Adding) {
        cancelUpdate();
        return {};
    }
    const qint64 key = d->keys.at(d->current).valueOr(detail::KeyList::Gone);
    const RowFields before = storedFields(d->current);
    const qint64 changesBefore = d->conn->changesMade();
    Result<int> r = d->conn->execute(
        QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(d->table, d->conn->rowKey()), {QVariant::fromValue<qlonglong>(key)});
    if (!r)
        return r.error();
    editMode_ = EditMode::None;
    d->keys.erase(d->current);
    d->cache.remove(key);
    d->currentDeleted = true;
    d->buffer.clear();
    if (r.value() > 0) {
        const qint64 changes = d->conn->changesMade() - changesBefore;
        noteOwnWrite(changes);
        announce(CommittedWrite::Kind::Delete, before, {}, changes);
    }
    emit recordsChanged();
    return {};
}

} // namespace halvo
