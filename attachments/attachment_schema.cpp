#include "attachment_schema.h"

namespace halvo {

namespace {

const char* const attachmentTables = R"(
CREATE TABLE IF NOT EXISTS tblAttachment (ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Sha256 TEXT NOT NULL UNIQUE, Size INTEGER NOT NULL, Kind TEXT NOT NULL,
    Chunks INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS tblAttachmentChunk (AttachmentID INTEGER NOT NULL,
    Part INTEGER NOT NULL, Data BLOB NOT NULL, PRIMARY KEY (AttachmentID, Part));
CREATE TABLE IF NOT EXISTS tblAttachmentLink (ID INTEGER PRIMARY KEY AUTOINCREMENT,
    AttachmentID INTEGER NOT NULL, RecordTable TEXT NOT NULL, RecordID INTEGER NOT NULL,
    Name TEXT NOT NULL, Attached TEXT NOT NULL, UNIQUE (RecordTable, RecordID, AttachmentID));
CREATE INDEX IF NOT EXISTS idxAttachmentLinkRecord ON tblAttachmentLink(RecordTable, RecordID);
CREATE TABLE IF NOT EXISTS tblRecordPicture (RecordTable TEXT NOT NULL,
    RecordID INTEGER NOT NULL, AttachmentID INTEGER NOT NULL, KeptFrom TEXT NOT NULL,
    PRIMARY KEY (RecordTable, RecordID));
)";

} // namespace

const SchemaSteps& attachmentSchemaSteps()
{
    static const SchemaSteps steps = {
        {6, "the documents' tables", QString::fromUtf8(attachmentTables)},
    };
    return steps;
}

} // namespace halvo
