// Placeholder until the tests are written.
#include <QTest>

class tst_report_preview : public QObject {
    Q_OBJECT
};

QTEST_MAIN(tst_report_preview)
#include "tst_report_preview.moc"
