#include "books_place.h"

#include "platform/settings.h"

namespace halvo {

namespace {

const QString keyPlace = QStringLiteral("Books");
const QString keyService = QStringLiteral("BooksService");
const QString keyServer = QStringLiteral("BooksServer");
const QString keyPort = QStringLiteral("BooksPort");
const QString keyDatabase = QStringLiteral("BooksDatabase");
const QString keyUser = QStringLiteral("BooksUser");

const QString sharedWord = QStringLiteral("shared");
const QString localWord = QStringLiteral("local");

} // namespace

BooksPlace BooksPlace::read()
{
    BooksPlace place;
    place.shared = Settings::value(keyPlace).trimmed().compare(sharedWord, Qt::CaseInsensitive) == 0;
    place.address.service = Settings::value(keyService).trimmed();
    place.address.host = Settings::value(keyServer).trimmed();
    place.address.database = Settings::value(keyDatabase).trimmed();
    place.address.user = Settings::value(keyUser).trimmed();
    // A port that is not one falls back to the server's usual one.
    bool isNumber = false;
    const int port = Settings::value(keyPort).trimmed().toInt(&isNumber);
    place.address.port = isNumber && port > 0 && port <= 65535 ? port : 5432;
    return place;
}

void BooksPlace::write() const
{
    Settings::setValue(keyPlace, shared ? sharedWord : localWord);
    Settings::setValue(keyService, address.service);
    Settings::setValue(keyServer, address.host);
    Settings::setValue(keyPort, QString::number(address.port));
    Settings::setValue(keyDatabase, address.database);
    Settings::setValue(keyUser, address.user);
}

} // namespace halvo
