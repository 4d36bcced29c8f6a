#include "move_books_commands.h"

#include "data/connection_string.h"
#include "platform/prompts.h"
#include "server/move_books_words.h"

#include <QApplication>
#include <QDir>

namespace halvo {

namespace {

const QString ToServerTitle = QStringLiteral("Move Books to Server");
const QString ToFileTitle = QStringLiteral("Move Books to File");

// The move runs to its end before the program takes the next key or click: the books must not
// change under it.
class Busy {
public:
    Busy() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Busy() { QApplication::restoreOverrideCursor(); }
};

void tell(QWidget* parent, const MoveOutcome& moved, const QString& title)
{
    prompts().message(parent, moveWords(moved), title, Prompts::Buttons::Ok,
                      moved.ok() ? Prompts::Icon::Information : Prompts::Icon::Warning);
}

} // namespace

void MoveBooksCommands::MoveBooksToServer()
{
    // The books moved are the data folder's file, even while shared books are open in its place.
    Result<Connection> file = Connection::openFile(databasePath(folder), DatabasePassword);
    if (!file) {
        prompts().message(parent, file.error().description, ToServerTitle, Prompts::Buttons::Ok,
                          Prompts::Icon::Critical);
        return;
    }
    const std::optional<Connection> server = ask(parent, ToServerTitle);
    if (!server)
        return;
    const MoveOutcome moved = [&] {
        Busy busy;
        return moveBooksToServer(file.value(), *server);
    }();
    tell(parent, moved, ToServerTitle);
}

void MoveBooksCommands::MoveBooksToFile()
{
    // The shared books open in place of the file, or else those the user names.
    std::optional<Connection> server = Connection::inPlaceOf(databasePath(folder));
    if (!server)
        server = ask(parent, ToFileTitle);
    if (!server)
        return;
    const QString path = prompts().saveFileName(
        parent, ToFileTitle, QDir(folder).filePath(QStringLiteral("Shared Books.mdb")),
        QStringLiteral("Database Files (*.mdb);;All Files (*)"));
    if (path.isEmpty())
        return;
    const MoveOutcome moved = [&] {
        Busy busy;
        return moveBooksToFile(*server, path, DatabasePassword);
    }();
    tell(parent, moved, ToFileTitle);
}

} // namespace halvo
