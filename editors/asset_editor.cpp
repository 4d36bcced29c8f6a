#include "asset_editor.h"

#include "data/statements.h"
#include "tax/depreciation.h"

namespace halvo {

namespace {
const QString classPicker = QStringLiteral("cboAssetClass");
} // namespace

EditorDescription frmAsset::describe()
{
    EditorDescription d;
    d.name = QStringLiteral("frmAsset");
    d.caption = QStringLiteral("Depreciable Assets");
    d.recordSource = Statements::AssetsByNickname;
    d.countBox = QStringLiteral("txtFields(30)");
    d.addCommand = QStringLiteral("AddAsset");
    d.addCaption = QStringLiteral("Add Asset");
    d.fields = {
        textField(QStringLiteral("txtNickname"), QString(), QStringLiteral("NickName")),
        textField(QStringLiteral("txtDescription"), QStringLiteral("Description:"),
                  QStringLiteral("Description")),
        moneyField(QStringLiteral("txtCost"), QStringLiteral("Cost:"), QStringLiteral("Cost")),
        moneyField(QStringLiteral("txtAdditions"), QStringLiteral("Additions to Basis:"),
                   QStringLiteral("Additions")),
        moneyField(QStringLiteral("txtLand"), QStringLiteral("Land (not depreciated):"),
                   QStringLiteral("Land")),
        dateField(QStringLiteral("DTPickerInService"), QStringLiteral("Placed in Service:"),
                  QStringLiteral("InService")),
        pickerField(classPicker, QStringLiteral("Class:"), QStringLiteral("AssetClass"),
                    assetClassNames()),
        dateField(QStringLiteral("DTPickerDisposed"), QStringLiteral("Sold or Out of Service:"),
                  QStringLiteral("Disposed")),
    };
    d.mirrors = {{QStringLiteral("cboNickname"), QStringLiteral("txtNickname"),
                  QStringLiteral("Property:"), {}, Statements::PropertiesByNickname,
                  QStringLiteral("BldNickName")}};
    // Without a date placed in service an asset is never depreciated, so Save asks for it.
    d.required = {{QStringLiteral("Property"), QStringLiteral("cboNickname")},
                  {QStringLiteral("Description"), QStringLiteral("txtDescription")},
                  {QStringLiteral("Placed in Service"), QStringLiteral("DTPickerInService")}};
    d.grid.columns = {gridColumn(QStringLiteral("Property"), QStringLiteral("NickName"), 1200),
                      gridColumn(QStringLiteral("Asset"), QStringLiteral("Description"), 1800)};
    d.grid.widthTwips = 3300;
    d.afterSave = EditorDescription::AfterSave::Stay;
    d.deleteQuestion = QStringLiteral("Delete current asset?");
    return d;
}

frmAsset::frmAsset(const QString& dataFolder, QWidget* parent)
    : RecordEditor(describe(), dataFolder, parent)
{
    setProperty("helpTopic", QStringLiteral("assets")); // F1 opens its section of the guide
}

// An asset saved without a class is of the class of almost every rental. It is given at Save,
// not when the blank record is shown, so that a blank record nobody typed into stays untouched.
void frmAsset::prepareSave()
{
    if (fieldText(classPicker).isEmpty())
        setFieldText(classPicker, assetClassName(AssetClass::Residential));
}

} // namespace halvo
