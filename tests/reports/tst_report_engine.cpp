// Placeholder until the tests are written.
#include <QTest>

class tst_report_engine : public QObject {
    Q_OBJECT
};

QTEST_MAIN(tst_report_engine)
#include "tst_report_engine.moc"
