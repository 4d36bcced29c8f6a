#pragma once
// Where the program keeps its books, as the user chose last: the encrypted file in the data
// folder, or shared books on a PostgreSQL server and how to reach them. Kept in the per-user
// settings; the password never is (it is asked for each session, or .pgpass gives it).

#include "server/server_backup.h"

#include <QString>

namespace halvo {

struct BooksPlace {
    bool shared = false; // false: the local file
    ServerAddress address; // the shared books last opened (kept when the file is chosen again)

    static BooksPlace read();
    void write() const;
};

} // namespace halvo
