#pragma once
// The File menu's Move Books to Server... and Move Books to File...: the data folder's file moved
// into new shared books, and shared books moved into a new file. Each asks and tells the user
// through the prompts; where the shared books are is asked by a window the caller gives.

#include "server/server_address_window.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

namespace halvo {

using AskServerPlace =
    std::function<std::optional<ServerPlace>(QWidget* parent, const QString& caption)>;

class MoveBooksCommands {
public:
    MoveBooksCommands(QWidget* parent, QString dataFolder, AskServerPlace ask)
        : parent(parent), folder(std::move(dataFolder)), ask(std::move(ask))
    {
    }
    void MoveBooksToServer();
    void MoveBooksToFile();

private:
    QPointer<QWidget> parent;
    QString folder;
    AskServerPlace ask;
};

} // namespace halvo
