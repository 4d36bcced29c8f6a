#pragma once
// The PostgreSQL programs the shared books are backed up with (pg_dump, pg_restore) and that the
// tests start a cluster with: found in the folder `pg_config --bindir` names, else in the newest
// /usr/lib/postgresql/<version>/bin, and run without a shell, their arguments as a list.

#include "core/result.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace halvo {

// The folder of the PostgreSQL programs; empty when none is installed.
QString postgresProgramFolder();

// The full path of the program `name` ("pg_dump") in that folder; an Error that names it when it
// is not there.
Result<QString> postgresProgram(const QString& name);

struct ProgramRun {
    int exitCode = -1;
    QString output; // what it wrote, standard output and errors together, trimmed
};

// Runs `program` with `arguments` to its end, `input` written to its standard input, in
// `workingFolder` when one is given. An Error
// when it could not be started or did not end normally (it was killed); otherwise its exit code
// and output, for the caller to judge.
Result<ProgramRun> runProgram(const QString& program, const QStringList& arguments,
                              const QProcessEnvironment& environment, const QByteArray& input = {},
                              const QString& workingFolder = {});

} // namespace halvo
