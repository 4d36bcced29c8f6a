#pragma once
// Documents kept inside the encrypted database file: receipts, leases, policies and photos (PDF,
// JPEG, PNG, at most 25 MB each), attached to a record of one of the program's tables. A file's
// bytes are stored once however often it is attached (by its SHA-256), in chunks, so that no
// value in the file is huge; the records' own tables stay as they are.
//   tblAttachment       one stored file: its hash, size, kind and the name it came with
//   tblAttachmentChunk  its bytes, chunk by chunk, in order
//   tblAttachmentLink   which record it is attached to, and under which name
//   tblRecordPicture    the attachment a record shows as its picture (a property's photo)
// A link outlives its record unless the user deletes the two together: the record's ID is never
// given again (every table counts its IDs up), so such a link is a document kept unattached.
// Reading gives the bytes in memory, checked against the hash: nothing is written out in plain
// form except where the user saves a copy.

#include "data/connection.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace halvo {

constexpr qint64 MostAttachmentBytes = 25LL * 1024 * 1024;
constexpr int AttachmentChunkBytes = 256 * 1024;

enum class AttachmentKind { Pdf, Jpeg, Png };
// By the file's first bytes, whatever its name says; none for any other file.
std::optional<AttachmentKind> attachmentKindOf(const QByteArray& head);
QString attachmentKindName(AttachmentKind kind); // "PDF", "JPEG", "PNG"

// A record attachments hang from: its table and its ID ("tblFinance", 17).
struct RecordRef {
    QString table;
    qint64 id = 0;
};

struct AttachmentInfo {
    qint64 linkId = 0;
    qint64 attachmentId = 0;
    QString recordTable; // the table of the record it is (or was) attached to
    QString name; // the file's name when it was attached
    AttachmentKind kind = AttachmentKind::Pdf;
    qint64 size = 0;
    QDateTime attached;
};

// Reads the file and attaches it to the record; the same bytes already in the file are not
// stored again. The link's id.
Result<qint64> attachFile(const Connection& connection, const RecordRef& record,
                          const QString& path);
Result<QList<AttachmentInfo>> attachmentsOf(const Connection& connection, const RecordRef& record);
Result<int> attachmentCount(const Connection& connection, const RecordRef& record);
// The documents whose records were deleted without them, oldest link first.
Result<QList<AttachmentInfo>> unattachedAttachments(const Connection& connection);
// What a record of the table is called in a sentence ("tenant", "ledger row"); empty for a
// table that holds no attachments.
QString recordKindName(const QString& table);
// The stored bytes, whole and checked; a damaged file is an error naming it.
Result<QByteArray> attachmentBytes(const Connection& connection, qint64 attachmentId);
// Takes the attachment off its record; its bytes go when no record holds them any more.
Status detach(const Connection& connection, qint64 linkId);
// Takes every attachment off the record, as when it is deleted with them.
Status detachAll(const Connection& connection, const RecordRef& record);

// The attachment a record shows as its picture, while it is still attached to the record. A
// picture kept from a path (a property's "Add Image") names the path: it stands in for the file
// while the path names the same and the file there cannot be read. One chosen among the
// attachments names none, and shows whatever the path says.
struct RecordPicture {
    AttachmentInfo attachment;
    QString keptFrom;
};
Result<std::optional<RecordPicture>> recordPicture(const Connection& connection,
                                                   const RecordRef& record);
// Makes one of the record's attachments (a JPEG or PNG), by its link, the record's picture; 0
// shows none.
Status setRecordPicture(const Connection& connection, const RecordRef& record, qint64 linkId,
                        const QString& keptFrom = QString());

// Writes a copy where the user chose, whole or not at all.
Status saveAttachmentCopy(const QByteArray& bytes, const QString& path);

} // namespace halvo
