// The Depreciable Assets window: Save asks for the property, the description and the date placed
// in service in that order, an asset saved without a class is residential, and the asset saved is
// depreciated on the worksheet's line 18.

#include "editors/asset_editor.h"
#include "tax/depreciation_assets.h"
#include "tests/editors/editor_test_support.h"

using namespace halvo;
using namespace halvo::test;

class TestAssetEditor : public QObject {
    Q_OBJECT
private slots:
    void enteredAndDepreciated();
};

void TestAssetEditor::enteredAndDepreciated()
{
    TempDatabase db;
    ScriptedSession session;
    QVERIFY(db.connect().executeScript(QStringLiteral(
        "INSERT INTO tblBuilding (BldNickName) VALUES ('OAK'), ('ELM');")).ok());
    frmAsset window(db.folder());
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("Depreciable Assets"));
    QCOMPARE(window.picker(QStringLiteral("cboAssetClass"))->itemText(1),
             QStringLiteral("Nonresidential real property (39 years)"));

    press(window, QStringLiteral("Save"));
    choose(window, QStringLiteral("cboNickname"), QStringLiteral("ELM"));
    press(window, QStringLiteral("Save"));
    type(window, QStringLiteral("txtDescription"), QStringLiteral("Building"));
    press(window, QStringLiteral("Save"));
    QCOMPARE(session.prompts.texts(),
             QStringList({"[Property] Please, enter required data.",
                          "[Description] Please, enter required data.",
                          "[Placed in Service] Please, enter required data."}));
    QCOMPARE(count(db.connect(), QStringLiteral("tblAsset")), 0);

    type(window, QStringLiteral("txtCost"), QStringLiteral("290000"));
    type(window, QStringLiteral("txtAdditions"), QStringLiteral("10000"));
    type(window, QStringLiteral("txtLand"), QStringLiteral("25000"));
    auto* inService = window.findChild<DatePicker*>(QStringLiteral("DTPickerInService"));
    QVERIFY(inService);
    inService->setValue(QDate(2020, 1, 15));
    emit inService->edited(QDate(2020, 1, 15));
    press(window, QStringLiteral("Save"));
    QCOMPARE(session.prompts.texts().size(), 3);
    QCOMPARE(count(db.connect(), QStringLiteral("tblAsset")), 1);
    QCOMPARE(db.connect().scalar(QStringLiteral("SELECT AssetClass FROM tblAsset")).value(),
             QVariant(QStringLiteral("Residential rental (27.5 years)")));

    // 2026 is the building's seventh year: 3.636% of $275,000.
    const QMap<QString, Money> computed = computedDepreciation(db.connect(), 2026).value();
    QCOMPARE(computed.value(QStringLiteral("ELM")).format(MoneyFormat::Bound),
             QStringLiteral("$9,999.00"));
}

QTEST_MAIN(TestAssetEditor)
#include "tst_asset_editor.moc"
