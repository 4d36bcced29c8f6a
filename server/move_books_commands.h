#pragma once
// The File menu's Move Books to Server... and Move Books to File...: the data folder's file moved
// into new shared books, and shared books moved into a new file. Each asks and tells the user
// through the prompts; the shared books are asked for and opened by the window the caller gives.

#include "data/connection.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

namespace halvo {

// Asks where shared books are and opens them; none when the user cancelled or they could not be
// opened (the asking says why).
using OpenServerBooks =
    std::function<std::optional<Connection>(QWidget* parent, const QString& caption)>;

class MoveBooksCommands {
public:
    MoveBooksCommands(QWidget* parent, QString dataFolder, OpenServerBooks ask)
        : parent(parent), folder(std::move(dataFolder)), ask(std::move(ask))
    {
    }
    void MoveBooksToServer();
    void MoveBooksToFile();

private:
    QPointer<QWidget> parent;
    QString folder;
    OpenServerBooks ask;
};

} // namespace halvo
