#pragma once
// A step of the database file's schema. Each room declares the tables, indexes and triggers it
// keeps as steps, once, in a file of its own; the file remembers the number of the last step it
// has taken, and opening it takes the steps it lacks (data/schema.h). A step, once released, is
// never changed: what a room needs later is a step of its own with the next number.
//
// This header is all a room's declaration needs, so that the declarations sit below the data
// layer that takes them, and no room's code makes tables.

#include <QString>
#include <vector>

namespace halvo {

struct SchemaStep {
    // The step's place in the history of every file, across all rooms: 1, 2, 3, ...
    int number = 0;
    // What the step makes, in words, for the message when it fails: "the rent roll's tables".
    const char* what = "";
    // The statements, separated by semicolons, with no parameters.
    QString sql;
    // Until the steps were numbered, each room made its tables itself when it was first used,
    // so a file of that time may hold some rooms' tables and not others. The steps of that
    // time make their tables only where they are missing; a step that moves records as well
    // names the table whose making once moved them, and a file from before the steps that
    // holds that table has had it.
    const char* takenWithTable = nullptr;
    // The step's statements as a PostgreSQL server takes them, where they differ from what the
    // translation makes of `sql` (triggers); empty: the translation.
    QString postgres = {};
};

using SchemaSteps = std::vector<SchemaStep>;

} // namespace halvo
