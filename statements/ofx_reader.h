#pragma once
// Reading a bank's OFX file (OFX 1.x in SGML, OFX 2.x in XML, and Quicken's QFX) into a statement,
// through libofx.

#include "core/result.h"
#include "statements/statement.h"

#include <QString>

namespace halvo {

// Reads the statement at path. Each transaction becomes a line numbered by its place among the
// file's transactions (1-based), dated as the bank wrote the date, whatever the time zone of this
// machine. libofx writes a working copy of the statement while it reads; it is made in a fresh
// folder, open to the user alone, inside privateFolder (which must exist), and the folder is
// removed before this returns, whether the reading succeeded or not. A file that is no bank
// statement, holds no transaction, was cut short, or has a transaction without an amount or a
// date is an error, and nothing of it is read.
Result<Statement> readOfxFile(const QString& path, const QString& privateFolder);

} // namespace halvo
