// Placeholder until the tests are written.
#include <QTest>

class tst_reports : public QObject {
    Q_OBJECT
};

QTEST_MAIN(tst_reports)
#include "tst_reports.moc"
