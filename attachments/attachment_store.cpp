#include "attachment_store.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

namespace halvo {

namespace {

// Rounded up to a tenth, so that a file a byte over the limit does not read as the limit.
QString megabytes(qint64 bytes)
{
    const qint64 tenths = (bytes * 10 + 1024 * 1024 - 1) / (1024 * 1024);
    return QLocale(QLocale::English).toString(double(tenths) / 10, 'f', 1) + QStringLiteral(" MB");
}

const char* const kindNames[] = {"PDF", "JPEG", "PNG"};

} // namespace

std::optional<AttachmentKind> attachmentKindOf(const QByteArray& head)
{
    if (head.startsWith("%PDF-"))
        return AttachmentKind::Pdf;
    if (head.startsWith("\xFF\xD8\xFF"))
        return AttachmentKind::Jpeg;
    if (head.startsWith("\x89PNG\r\n\x1A\n"))
        return AttachmentKind::Png;
    return std::nullopt;
}

QString attachmentKindName(AttachmentKind kind)
{
    return QString::fromLatin1(kindNames[int(kind)]);
}

Result<qint64> attachFile(const Connection& connection, const RecordRef& record,
                          const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    if (Status free = notHeldByEngine(path); !free)
        return free.error();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("The file \"%1\" could not be read: %2.")
                         .arg(QDir::toNativeSeparators(path), file.errorString())};
    // The size is known before a byte is read: a file too large is refused at once.
    if (file.size() > MostAttachmentBytes)
        return Error{QStringLiteral("The file \"%1\" is %2; files of at most 25 MB can be "
                                    "attached.")
                         .arg(name, megabytes(file.size()))};
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        return Error{QStringLiteral("The file \"%1\" could not be read whole.").arg(name)};
    const std::optional<AttachmentKind> kind = attachmentKindOf(bytes.left(16));
    if (!kind)
        return Error{QStringLiteral("Only PDF, JPEG and PNG files can be attached: \"%1\" is "
                                    "none of them.")
                         .arg(name)};
    const QString hash =
        QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());

    Transaction work(connection);
    if (!work.status())
        return work.status().error();
    Result<QVariant> stored =
        connection.scalar(QStringLiteral("SELECT ID FROM tblAttachment WHERE Sha256 = ?"), {hash});
    if (!stored)
        return stored.error();
    qint64 attachmentId = stored.value().toLongLong();
    if (stored.value().isNull()) {
        const qint64 chunks = (bytes.size() + AttachmentChunkBytes - 1) / AttachmentChunkBytes;
        Result<int> added = connection.execute(
            QStringLiteral("INSERT INTO tblAttachment (Sha256, Size, Kind, Chunks) "
                           "VALUES (?, ?, ?, ?)"),
            {hash, qlonglong(bytes.size()), attachmentKindName(*kind), qlonglong(chunks)});
        if (!added)
            return added.error();
        Result<QVariant> id = connection.scalar(QStringLiteral("SELECT last_insert_rowid()"));
        if (!id)
            return id.error();
        attachmentId = id.value().toLongLong();
        for (qint64 part = 0; part < chunks; ++part) {
            Result<int> chunk = connection.execute(
                QStringLiteral("INSERT INTO tblAttachmentChunk (AttachmentID, Part, Data) "
                               "VALUES (?, ?, ?)"),
                {attachmentId, part,
                 bytes.mid(part * AttachmentChunkBytes, AttachmentChunkBytes)});
            if (!chunk)
                return chunk.error();
        }
    }
    Result<int> linked = connection.execute(
        QStringLiteral("INSERT OR IGNORE INTO tblAttachmentLink (AttachmentID, RecordTable, "
                       "RecordID, Name, Attached) VALUES (?, ?, ?, ?, ?)"),
        {attachmentId, record.table, record.id, name,
         QDateTime::currentDateTimeUtc().toString(Qt::ISODate)});
    if (!linked)
        return linked.error();
    Result<QVariant> link = connection.scalar(
        QStringLiteral("SELECT ID FROM tblAttachmentLink WHERE RecordTable = ? AND RecordID = ? "
                       "AND AttachmentID = ?"),
        {record.table, record.id, attachmentId});
    if (!link)
        return link.error();
    if (Status committed = work.commit(); !committed)
        return committed.error();
    return link.value().toLongLong();
}

namespace {

// The tables whose records hold attachments, and what one of their records is called.
const QList<std::pair<QString, QString>>& recordKinds()
{
    static const QList<std::pair<QString, QString>> kinds{
        {QStringLiteral("tblFinance"), QStringLiteral("ledger row")},
        {QStringLiteral("tblTenant"), QStringLiteral("tenant")},
        {QStringLiteral("tblLoan"), QStringLiteral("loan")},
        {QStringLiteral("tblInsurance"), QStringLiteral("insurance policy")},
        {QStringLiteral("tblBuilding"), QStringLiteral("property")},
        {QStringLiteral("tblVendor"), QStringLiteral("vendor")}};
    return kinds;
}

const QString linkColumns = QStringLiteral(
    "SELECT l.ID, a.ID, l.Name, a.Kind, a.Size, l.Attached, l.RecordTable "
    "FROM tblAttachmentLink l JOIN tblAttachment a ON a.ID = l.AttachmentID ");

Result<QList<AttachmentInfo>> linksOf(const Connection& connection, const QString& sql,
                                      const QVariantList& params)
{
    Result<Rows> rows = connection.select(sql, params);
    if (!rows)
        return rows.error();
    QList<AttachmentInfo> found;
    for (const QVariantList& r : rows.value().values) {
        AttachmentInfo a;
        a.linkId = r[0].toLongLong();
        a.attachmentId = r[1].toLongLong();
        a.name = r[2].toString();
        for (int k = 0; k < 3; ++k)
            if (r[3].toString() == QLatin1String(kindNames[k]))
                a.kind = AttachmentKind(k);
        a.size = r[4].toLongLong();
        a.attached = QDateTime::fromString(r[5].toString(), Qt::ISODate);
        a.recordTable = r[6].toString();
        found.append(a);
    }
    return found;
}

} // namespace

Result<QList<AttachmentInfo>> attachmentsOf(const Connection& connection, const RecordRef& record)
{
    return linksOf(connection,
                   linkColumns + "WHERE l.RecordTable = ? AND l.RecordID = ? ORDER BY l.ID",
                   {record.table, record.id});
}

Result<QList<AttachmentInfo>> unattachedAttachments(const Connection& connection)
{
    // The table names are the program's own, never read from the file.
    QStringList gone;
    for (const auto& [table, kind] : recordKinds())
        gone << QStringLiteral("(l.RecordTable = '%1' AND NOT EXISTS (SELECT 1 FROM %1 WHERE "
                               "ID = l.RecordID))")
                    .arg(table);
    return linksOf(connection, linkColumns + "WHERE " + gone.join(" OR ") + " ORDER BY l.ID", {});
}

QString recordKindName(const QString& table)
{
    for (const auto& [known, kind] : recordKinds())
        if (known == table)
            return kind;
    return {};
}

Result<int> attachmentCount(const Connection& connection, const RecordRef& record)
{
    Result<QVariant> count = connection.scalar(
        QStringLiteral("SELECT count(*) FROM tblAttachmentLink WHERE RecordTable = ? AND "
                       "RecordID = ?"),
        {record.table, record.id});
    if (!count)
        return count.error();
    return count.value().toInt();
}

Result<QByteArray> attachmentBytes(const Connection& connection, qint64 attachmentId)
{
    Result<Rows> head = connection.select(
        QStringLiteral("SELECT a.Sha256, a.Size, a.Chunks, (SELECT Name FROM tblAttachmentLink "
                       "WHERE AttachmentID = a.ID ORDER BY ID LIMIT 1) FROM tblAttachment a "
                       "WHERE a.ID = ?"),
        {attachmentId});
    if (!head)
        return head.error();
    if (head.value().values.isEmpty())
        return Error{QStringLiteral("The attachment is no longer in the database file.")};
    const QVariantList& h = head.value().values.first();
    const QString name = h[3].toString();
    const qint64 size = h[1].toLongLong();
    const qint64 chunks = h[2].toLongLong();
    QByteArray bytes;
    bytes.reserve(size);
    qint64 expected = 0;
    bool whole = true;
    Status read = connection.eachRow(
        QStringLiteral("SELECT Part, Data FROM tblAttachmentChunk WHERE AttachmentID = ? "
                       "ORDER BY Part"),
        {attachmentId}, [&](const QStringList&, QVariantList r) {
            if (r[0].toLongLong() != expected++) {
                whole = false;
                return false;
            }
            bytes.append(r[1].toByteArray());
            return bytes.size() <= size;
        });
    if (!read)
        return read.error();
    const bool intact = whole && expected == chunks && bytes.size() == size
                        && QString::fromLatin1(QCryptographicHash::hash(
                                                   bytes, QCryptographicHash::Sha256)
                                                   .toHex())
                               == h[0].toString();
    if (!intact)
        return Error{QStringLiteral("The attachment \"%1\" is damaged in the database file: its "
                                    "bytes are not the ones that were stored, so it is not "
                                    "shown.")
                         .arg(name)};
    return bytes;
}

Status detach(const Connection& connection, qint64 linkId)
{
    Transaction work(connection);
    if (!work.status())
        return work.status();
    Result<QVariant> attachment = connection.scalar(
        QStringLiteral("SELECT AttachmentID FROM tblAttachmentLink WHERE ID = ?"), {linkId});
    if (!attachment)
        return attachment.error();
    const QVariant id = attachment.value();
    const QList<std::pair<const char*, QVariantList>> steps{
        {"DELETE FROM tblAttachmentLink WHERE ID = ?", {linkId}},
        {"DELETE FROM tblAttachmentChunk WHERE AttachmentID = ? AND NOT EXISTS "
         "(SELECT 1 FROM tblAttachmentLink WHERE AttachmentID = ?)",
         {id, id}},
        {"DELETE FROM tblAttachment WHERE ID = ? AND NOT EXISTS "
         "(SELECT 1 FROM tblAttachmentLink WHERE AttachmentID = ?)",
         {id, id}}};
    for (const auto& [sql, params] : steps)
        if (Result<int> done = connection.execute(QString::fromLatin1(sql), params); !done)
            return done.error();
    return work.commit();
}

Status detachAll(const Connection& connection, const RecordRef& record)
{
    Result<QList<AttachmentInfo>> links = attachmentsOf(connection, record);
    if (!links)
        return links.error();
    const QList<AttachmentInfo> all = links.value();
    Transaction work(connection);
    if (!work.status())
        return work.status();
    for (const AttachmentInfo& a : all)
        if (Status gone = detach(connection, a.linkId); !gone)
            return gone;
    return work.commit();
}

Result<std::optional<RecordPicture>> recordPicture(const Connection& connection,
                                                   const RecordRef& record)
{
    Result<QList<AttachmentInfo>> picture = linksOf(
        connection,
        linkColumns + "JOIN tblRecordPicture p ON p.RecordTable = l.RecordTable AND "
                      "p.RecordID = l.RecordID AND p.AttachmentID = l.AttachmentID "
                      "WHERE l.RecordTable = ? AND l.RecordID = ?",
        {record.table, record.id});
    if (!picture)
        return picture.error();
    if (picture.value().isEmpty())
        return std::optional<RecordPicture>();
    Result<QVariant> keptFrom = connection.scalar(
        QStringLiteral("SELECT KeptFrom FROM tblRecordPicture WHERE RecordTable = ? AND "
                       "RecordID = ?"),
        {record.table, record.id});
    if (!keptFrom)
        return keptFrom.error();
    return std::optional<RecordPicture>(
        RecordPicture{picture.value().first(), keptFrom.value().toString()});
}

Status setRecordPicture(const Connection& connection, const RecordRef& record, qint64 linkId,
                        const QString& keptFrom)
{
    Transaction work(connection);
    if (!work.status())
        return work.status();
    Result<int> cleared = connection.execute(
        QStringLiteral("DELETE FROM tblRecordPicture WHERE RecordTable = ? AND RecordID = ?"),
        {record.table, record.id});
    if (!cleared)
        return cleared.error();
    // Only a link of this record's makes its picture.
    Result<int> chosen = connection.execute(
        QStringLiteral("INSERT INTO tblRecordPicture (RecordTable, RecordID, AttachmentID, "
                       "KeptFrom) SELECT RecordTable, RecordID, AttachmentID, ? FROM "
                       "tblAttachmentLink WHERE ID = ? AND RecordTable = ? AND RecordID = ?"),
        {keptFrom, linkId, record.table, record.id});
    if (!chosen)
        return chosen.error();
    return work.commit();
}

Status saveAttachmentCopy(const QByteArray& bytes, const QString& path)
{
    if (Status free = notHeldByEngine(path); !free)
        return free;
    QSaveFile file(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Error{QStringLiteral("The copy could not be saved as \"%1\": %2.")
                         .arg(shown, file.errorString())};
    return {};
}

} // namespace halvo
