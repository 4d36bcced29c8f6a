// Builds the database file delivered with the program: every table, no row, encrypted with the
// database password.
//   halvo_make_database <file>

#include "data/connection_string.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "usage: halvo_make_database <file>\n";
        return 2;
    }
    const QString path = args[1];
    QFile::remove(path); // only ever the build's own copy: the build asks for a fresh one
    const halvo::Status made = halvo::createDatabase(path, halvo::DatabasePassword);
    if (!made) {
        err << made.error().description << '\n';
        return 1;
    }
    return 0;
}
