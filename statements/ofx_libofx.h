#pragma once
// The part of the program that reads OFX files through libofx, loaded the first time a statement
// is read (core/late_part.h): libhalvo_ofx.so. ofx_reader.h is how the rest of the program reads.

#include "core/result.h"
#include "statements/statement.h"

#include <QString>

// Reads as readOfxFile says, into `read`; the file is not checked against the live database.
extern "C" void halvo_read_ofx_file(const QString& path, const QString& privateFolder,
                                    halvo::Result<halvo::Statement>* read);
