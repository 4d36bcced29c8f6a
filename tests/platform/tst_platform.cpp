// The platform pieces every window relies on: scripted answers to message boxes, the per-user
// settings, and the lock that keeps a second copy of the program from running.

#include "platform/instance_lock.h"
#include "platform/prompts.h"
#include "platform/settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace halvo;

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void scriptedPromptsAnswerInOrder_data();
    void scriptedPromptsAnswerInOrder();
    void settingsKeepTextUnderTheirGroup();
    void secondLockIsRefused();
    void lockLeftByADeadProgramIsTakenOver();

private:
    QTemporaryDir configFolder;
};

void TestPlatform::initTestCase()
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configFolder.path());
}

void TestPlatform::scriptedPromptsAnswerInOrder_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QList<int>>("queued");
    QTest::addColumn<QList<int>>("answers");
    using B = Prompts::Buttons;
    using A = Prompts::Answer;
    QTest::newRow("nothing queued: OK") << int(B::Ok) << QList<int>() << QList<int>{int(A::Ok)};
    QTest::newRow("nothing queued: Yes") << int(B::YesNo) << QList<int>() << QList<int>{int(A::Yes)};
    QTest::newRow("queued in order, then the first button")
        << int(B::YesNo) << QList<int>{int(A::No), int(A::Yes)}
        << QList<int>{int(A::No), int(A::Yes), int(A::Yes)};
}

void TestPlatform::scriptedPromptsAnswerInOrder()
{
    QFETCH(int, buttons);
    QFETCH(QList<int>, queued);
    QFETCH(QList<int>, answers);
    ScriptedPrompts scripted;
    for (int a : queued)
        scripted.queueAnswer(Prompts::Answer(a));
    setPrompts(&scripted);
    for (int expected : answers)
        QCOMPARE(int(prompts().message(nullptr, QStringLiteral("Delete current record?"),
                                       QStringLiteral("Delete"), Prompts::Buttons(buttons))),
                 expected);
    prompts().message(nullptr, QStringLiteral("untitled"));
    setPrompts(nullptr);

    QCOMPARE(scripted.shown.size(), answers.size() + 1);
    QCOMPARE(scripted.shown.first().title, QStringLiteral("Delete"));
    QCOMPARE(scripted.shown.last().title, programTitle()); // no title of its own
    QCOMPARE(scripted.texts().last(), QStringLiteral("untitled"));
}

void TestPlatform::settingsKeepTextUnderTheirGroup()
{
    QCOMPARE(Settings::value(QStringLiteral("MainLeft"), QStringLiteral("1000")),
             QStringLiteral("1000"));
    Settings::setValue(QStringLiteral("MainLeft"), QStringLiteral("1234"));
    QCOMPARE(Settings::value(QStringLiteral("MainLeft"), QStringLiteral("1000")),
             QStringLiteral("1234"));
    QSettings raw(QSettings::IniFormat, QSettings::UserScope, programTitle(), programTitle());
    QCOMPARE(raw.value(QStringLiteral("Settings/MainLeft")).toString(), QStringLiteral("1234"));
}

void TestPlatform::secondLockIsRefused()
{
    QTemporaryDir folder;
    InstanceLock first(QStringLiteral("halvo.lock"), folder.path());
    InstanceLock second(QStringLiteral("halvo.lock"), folder.path());
    QVERIFY(first.acquire());
    QVERIFY(!second.acquire());
}

void TestPlatform::lockLeftByADeadProgramIsTakenOver()
{
    QTemporaryDir folder;
    QFile stale(QDir(folder.path()).filePath(QStringLiteral("halvo.lock")));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    // The form a lock file takes: process id, program name, host; no process has this id.
    stale.write("4194303\nhalvo\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    InstanceLock lock(QStringLiteral("halvo.lock"), folder.path());
    QVERIFY(lock.acquire());
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
