#pragma once
// A fresh database in a temporary program folder, made exactly as the delivered file is.

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/schema.h"

#include <QTemporaryDir>
#include <QTest>

namespace halvo::test {

class TempDatabase {
public:
    TempDatabase()
    {
        const Status made = createDatabase(path(), DatabasePassword);
        if (!made)
            qFatal("cannot make a test database: %s", qPrintable(made.error().description));
    }
    ~TempDatabase() { releaseDatabase(path()); }

    QString folder() const { return dir.path(); }
    QString path() const { return databasePath(dir.path()); }
    QString connectionString() const { return standardConnectionString(dir.path()); }
    Connection connect() const
    {
        Result<Connection> c = Connection::openFile(path(), DatabasePassword);
        if (!c)
            qFatal("cannot open the test database: %s", qPrintable(c.error().description));
        return c.value();
    }

private:
    QTemporaryDir dir;
};

} // namespace halvo::test
