#pragma once
// A program folder of its own for each test: a fresh encrypted database in a temporary folder,
// per-user settings in another, and the scripted prompts answering every message box.

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/schema.h"
#include "platform/prompts.h"
#include "platform/settings.h"
#include "shell/database_lock.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace halvo::testing {

class ProgramFolder {
public:
    explicit ProgramFolder(bool withDatabase = true)
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        Settings::keepIn({});
        if (withDatabase) {
            const Status made = createDatabase(databasePath(path()), DatabasePassword);
            if (!made)
                qFatal("cannot create the test database: %s",
                       qPrintable(made.error().description));
        }
        setPrompts(&scripted);
        // The question whether to lock the file with the password is asked only where a test
        // asks for it.
        Settings::setValue(DontOfferLockKey, QStringLiteral("1"));
    }
    ~ProgramFolder()
    {
        setPrompts(nullptr);
        releaseDatabase(databasePath(path()));
        setFileKey(databasePath(path()), DatabasePassword);
    }

    QString path() const { return dir.path(); }
    QString lockFolder() const { return dir.filePath(QStringLiteral("run")); }

    Connection db() const
    {
        auto c = Connection::open(standardConnectionString(path()));
        if (!c)
            qFatal("cannot open the test database: %s", qPrintable(c.error().description));
        return c.value();
    }
    void exec(const QString& sql, const QVariantList& params = {}) const
    {
        const auto done = db().execute(sql, params);
        if (!done)
            qFatal("%s: %s", qPrintable(sql), qPrintable(done.error().description));
    }

    ScriptedPrompts scripted;

private:
    QTemporaryDir dir;
    QTemporaryDir settingsDir;
};

} // namespace halvo::testing
