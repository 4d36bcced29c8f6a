#include "property_editor.h"

#include "controls/writing_commands.h"
#include "attachments/attachments_window.h"
#include "data/connection_string.h"
#include "data/statements.h"
#include "controls/pickers.h"
#include "maintenance/copy_if_present.h"
#include "platform/program_files.h"
#include "platform/folders.h"
#include "platform/prompts.h"
#include "hyperlink/vey_hyperlink_label.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace halvo {

namespace {

const QString nicknameBox = QStringLiteral("txtNickName");
const QString imageBox = QStringLiteral("txtFields(5)");
const QString pictureFolder = QStringLiteral("Prop");

QStringList halfSteps()
{
    QStringList list;
    for (int halves = 2; halves <= 20; ++halves)
        list.append(QString::number(halves / 2.0, 'f', 1));
    return list;
}

Field numberPicker(const QString& control, const QString& label, const QString& column,
                   const QStringList& items, const QString& format)
{
    Field f = pickerField(control, label, column, items);
    f.format = format;
    return f;
}

// The owner's columns, in the order they are copied from another property.
const QStringList ownerColumns{"BldFirstName", "BldLastName", "BldAddress",   "BldCity",
                               "BldState",     "BldPostalCode", "BldHomePhone", "BldWorkPhone",
                               "BldMobilPhone", "BldEmail"};

} // namespace

EditorDescription frmProperty::describe()
{
    EditorDescription d;
    d.name = QStringLiteral("frmProperty");
    d.caption = QStringLiteral("Property Information");
    d.recordSource = Statements::PropertiesByOwner;
    d.attachmentTable = QStringLiteral("tblBuilding");
    d.nameFields = {nicknameBox};
    d.countBox = QStringLiteral("txtFields(30)");
    d.addCommand = QStringLiteral("AddProperty");
    d.addCaption = QStringLiteral("Add Property");
    Field price = moneyField(QStringLiteral("txtPurchasePrice(0)"), QStringLiteral("Purchase Price:"),
                             QStringLiteral("BldPurchasePrice"));
    d.fields = {
        textField(nicknameBox, QStringLiteral("Property Nickname:"), QStringLiteral("BldNickName"), 8),
        textField(QStringLiteral("txtFields(24)"), QStringLiteral("Rental Property Address:"), QStringLiteral("BldPropAddress")),
        pickerField(QStringLiteral("cboPropertyType"), QStringLiteral("Property Type:"), QStringLiteral("BldPropertyType"),
                    {"Apartment", "Condo", "Commercial", "Duplex", "Land", "Office Building", "Other",
                     "Single Family", "Townhouse"}),
        pickerField(QStringLiteral("Combo1"), QStringLiteral("No. of Units:"), QStringLiteral("BldNoOfUnits"), numberList(0, 20)),
        pickerField(QStringLiteral("Combo3"), QStringLiteral("Bed Rms:"), QStringLiteral("BldNoOfBedRooms"), numberList(0, 20)),
        numberPicker(QStringLiteral("Combo2"), QStringLiteral("Baths:"), QStringLiteral("BldNoOfBaths"), halfSteps(),
                     QStringLiteral("0.0")),
        dateField(QStringLiteral("DTPicker2"), QStringLiteral("Purchase Date:"), QStringLiteral("BldPurchaseDate")),
        price,
        textField(QStringLiteral("txtFields(3)"), QStringLiteral("First Name:"), QStringLiteral("BldFirstName")),
        textField(QStringLiteral("txtFields(12)"), QStringLiteral("Last Name:"), QStringLiteral("BldLastName")),
        textField(QStringLiteral("txtFields(9)"), QStringLiteral("Owner Address:"), QStringLiteral("BldAddress")),
        textField(QStringLiteral("txtFields(1)"), QStringLiteral("City:"), QStringLiteral("BldCity")),
        pickerField(QStringLiteral("cboState"), QStringLiteral("State:"), QStringLiteral("BldState"), stateList()),
        textField(QStringLiteral("txtFields(22)"), QStringLiteral("Postal Code:"), QStringLiteral("BldPostalCode"), 12),
        textField(QStringLiteral("txtFields(4)"), QStringLiteral("Home Phone:"), QStringLiteral("BldHomePhone")),
        textField(QStringLiteral("txtFields(28)"), QStringLiteral("Office Phone:"), QStringLiteral("BldWorkPhone")),
        textField(QStringLiteral("txtFields(18)"), QStringLiteral("Mobil Phone:"), QStringLiteral("BldMobilPhone")),
        textField(QStringLiteral("txtFields(2)"), QString(), QStringLiteral("BldEmail")),
        textField(imageBox, QStringLiteral("Add Image:"), QStringLiteral("BldImage")),
    };
    d.required = {{QStringLiteral("First Name"), QStringLiteral("txtFields(3)")},
                  {QStringLiteral("Last Name"), QStringLiteral("txtFields(12)")},
                  {QStringLiteral("Owner Address"), QStringLiteral("txtFields(9)")},
                  {QStringLiteral("City"), QStringLiteral("txtFields(1)")},
                  {QStringLiteral("Postal Code"), QStringLiteral("txtFields(22)")},
                  {QStringLiteral("Rental Property Address"), QStringLiteral("txtFields(24)")},
                  {QStringLiteral("Property Nickname"), nicknameBox},
                  {QStringLiteral("State"), QStringLiteral("cboState")}};
    d.grid.columns = {gridColumn(QStringLiteral("Property"), QStringLiteral("BldNickName"), 1200),
              hiddenColumn(QStringLiteral("Rental Property Address"), QStringLiteral("BldPropAddress"))};
    d.grid.widthTwips = 1900;
    d.afterSave = EditorDescription::AfterSave::LastRecord;
    d.emailBox = QStringLiteral("txtFields(2)");
    return d;
}

frmProperty::frmProperty(const Folders& folders, QWidget* parent)
    : RecordEditor(describe(), folders.data, parent), programFolder(folders.program)
{
    // The picture path is chosen with the "..." button beside it, not typed.
    QLineEdit* path = box(imageBox);
    path->setReadOnly(true);
    addImageButton = writesBooks(new QToolButton(this));
    addImageButton->setObjectName(QStringLiteral("cmdAddImage"));
    addImageButton->setText(QStringLiteral("..."));
    addImageButton->setAccessibleName(tr("Choose a picture"));
    connect(addImageButton, &QToolButton::clicked, this, &frmProperty::cmdAddImage_Click);
    addBeside(imageBox, addImageButton);

    ImageProperty = new QLabel(this);
    ImageProperty->setObjectName(QStringLiteral("ImageProperty"));
    ImageProperty->setFixedSize(240, 180);
    ImageProperty->setAlignment(Qt::AlignCenter);
    ImageProperty->setFrameShape(QFrame::StyledPanel);
    ImageProperty->setAccessibleName(tr("Picture of the property"));

    lblSelectionBox = new QLabel(QStringLiteral("Select &Owner:"), this);
    lblSelectionBox->setObjectName(QStringLiteral("lblSelectionBox"));
    auto* owners = new Picker(this);
    owners->setObjectName(QStringLiteral("cboNickname"));
    owners->setAccessibleName(tr("Select Owner"));
    lblSelectionBox->setBuddy(owners);
    connect(owners, &QComboBox::activated, this,
            [this, owners](int index) { cboNickname_Click(owners->itemText(index)); });

    QGridLayout* area = extraArea();
    area->addWidget(ImageProperty, 0, 0, 1, 2);
    area->addWidget(lblSelectionBox, 1, 0);
    area->addWidget(owners, 1, 1);
    area->setRowStretch(2, 1);
    showOwnerPicker(false);
}

Picker* frmProperty::ownerPicker() const
{
    return findChild<Picker*>(QStringLiteral("cboNickname"));
}

bool frmProperty::ownerPickerShown() const { return !ownerPicker()->isHidden(); }

void frmProperty::showOwnerPicker(bool shown)
{
    ownerPicker()->setVisible(shown);
    lblSelectionBox->setVisible(shown);
}

// Lists each owner's last name once, in alphabetical order; properties without one are left out.
void frmProperty::FillOwnerList()
{
    Picker* owners = ownerPicker();
    owners->clear();
    showOwnerPicker(true);
    Result<Connection> c = Connection::open(standardConnectionString(dataFolder()));
    if (!c)
        return;
    Result<Rows> rows = c.value().select(Statements::PropertiesByOwner);
    if (!rows)
        return;
    const int column = rows.value().columns.indexOf(QStringLiteral("BldLastName"));
    QString last;
    for (const QVariantList& row : rows.value().values) {
        const QVariant name = row.value(column);
        if (name.isNull() || name.toString() == last)
            continue;
        last = name.toString();
        owners->addItem(last);
    }
    owners->setText(QString());
}

void frmProperty::cboNickname_Click(const QString& lastName)
{
    Result<Connection> c = Connection::open(standardConnectionString(dataFolder()));
    if (!c)
        return;
    Result<Rows> rows = c.value().select(Statements::AllProperties);
    if (!rows)
        return;
    const QStringList& columns = rows.value().columns;
    const int nameColumn = columns.indexOf(QStringLiteral("BldLastName"));
    for (const QVariantList& row : rows.value().values) {
        if (row.value(nameColumn).toString() != lastName) // the program's own, exact comparison
            continue;
        for (const QString& column : ownerColumns) {
            const QVariant value = row.value(columns.indexOf(column));
            if (value.isNull())
                continue;
            for (const Field& field : description().fields)
                if (field.column == column)
                    setFieldText(field.control, value.toString());
        }
        return;
    }
}

void frmProperty::beforeAdd() { FillOwnerList(); }

void frmProperty::prepareSave()
{
    box(imageBox)->setFocus();
    setFieldText(nicknameBox, fieldText(nicknameBox).toUpper());
}

void frmProperty::afterSave()
{
    showOwnerPicker(false);
    if (pictureToKeep)
        keepPictureInFile();
}
void frmProperty::afterDelete(bool) { showOwnerPicker(false); }
void frmProperty::afterRefresh() { showOwnerPicker(false); }

void frmProperty::cmdAddImage_Click()
{
    const QString folder = QDir(dataFolder()).filePath(pictureFolder);
    if (QDir().mkpath(folder))
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                          | QFileDevice::ExeOwner);
    const QString chosen = prompts().openFileName(
        this, tr("Add Image"), QString(),
        QStringLiteral("All Picture Files (*.bmp *.gif *.jpg *.jpeg *.png);;Icon File (*.ico)"));
    if (chosen.trimmed().isEmpty())
        return;
    // Another property's picture of the same name (every camera's IMG_0001.JPG) is never
    // replaced: the copy gets a name of its own. A picture chosen from the folder itself is kept
    // where it is.
    const QFileInfo picked(chosen);
    const QString sameName = QDir(folder).filePath(picked.fileName());
    const QString copy = QFileInfo(sameName).canonicalFilePath() == picked.canonicalFilePath()
                             ? sameName
                             : freeFileName(folder, picked.fileName());
    // A source that is not there is reported by the copy; the record keeps the picture it had
    // rather than pointing at a file that was never copied.
    if (!DBBackup::CopyIfPresent(chosen, copy, this))
        return;
    setFieldText(imageBox, copy);
    // The picture chosen now is the one shown: one of the attachments chosen before gives way.
    if (const std::optional<RecordRef> record = attachmentRecord(); record && connection())
        (void)setRecordPicture(*connection(), *record, 0);
    pictureToKeep = true;
    if (attachmentRecord())
        keepPictureInFile();
    ShowPropertyPicture();
    QDir::setCurrent(dataFolder()); // the relative database texts rely on it
}

// Attaches the picture the path names to the property and makes it the one shown, so that it
// stays with the data. A picture of another kind (BMP, GIF, an icon) stays a path only.
void frmProperty::keepPictureInFile()
{
    pictureToKeep = false;
    const std::optional<RecordRef> record = attachmentRecord();
    const QString path = fieldText(imageBox);
    if (!record || !connection() || path.isEmpty())
        return;
    QFile file(path);
    if (heldByEngine(path) || !file.open(QIODevice::ReadOnly))
        return;
    const std::optional<AttachmentKind> kind = attachmentKindOf(file.read(16));
    file.close();
    if (!kind || *kind == AttachmentKind::Pdf)
        return;
    Result<qint64> link = attachFile(*connection(), *record, path);
    if (!link) {
        prompts().message(this, link.error().description, QString(), Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    if (Status kept = setRecordPicture(*connection(), *record, link.value(), path); !kept)
        prompts().message(this, kept.error().description, QString(), Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
    showAttachmentCount();
}

// The picture kept in the file, where it is the one to show: chosen among the attachments, or
// kept from the path the record names when the file there cannot be read.
bool frmProperty::showAttachedPicture(bool pathFailed)
{
    const std::optional<RecordRef> record = attachmentRecord();
    if (!record || !connection())
        return false;
    Result<std::optional<RecordPicture>> picture = recordPicture(*connection(), *record);
    if (!picture || !picture.value())
        return false;
    const RecordPicture& kept = *picture.value();
    if (!kept.keptFrom.isEmpty() && (!pathFailed || kept.keptFrom != fieldText(imageBox)))
        return false;
    Result<QByteArray> bytes = attachmentBytes(*connection(), kept.attachment.attachmentId);
    const QImage image = bytes ? QImage::fromData(bytes.value()) : QImage();
    if (image.isNull())
        return false; // a damaged one gives way to the path, or the default picture
    picturePath.clear();
    pictureAttachment = kept.attachment.name;
    showPicture(image);
    return true;
}

void frmProperty::showPicture(const QImage& image)
{
    pictureShown = image;
    ImageProperty->setPixmap(QPixmap::fromImage(
        image.scaled(ImageProperty->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

// The property's picture: one chosen among its attachments; or else the one its path names, or
// the copy of it kept in the file when the path's file is gone; or the program's default one
// when it has none. A picture that cannot be loaded leaves the one shown before.
void frmProperty::ShowPropertyPicture()
{
    if (showAttachedPicture(false))
        return;
    const QString named = fieldText(imageBox);
    const QString path = named.isEmpty() ? defaultPicturePath(programFolder) : named;
    // A picture path that names the database file is never opened: that would drop the engine's
    // hold on it.
    QImage image;
    if (!heldByEngine(path)) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        image = reader.read();
    }
    if (image.isNull()) {
        (void)showAttachedPicture(true);
        return;
    }
    picturePath = path;
    pictureAttachment.clear();
    showPicture(image);
}

// Any picture among the property's attachments can be the one it shows.
void frmProperty::attachmentsOpened(frmAttachments* window)
{
    VeyHyperLinkLabel* use = window->addCommand(QStringLiteral("UsePicture"),
                                                QStringLiteral("Use as Picture"));
    connect(use, &VeyHyperLinkLabel::Click, this, [this, window] {
        const AttachmentInfo* chosen = window->current();
        const std::optional<RecordRef> record = attachmentRecord();
        if (!chosen || !record || !connection())
            return;
        if (chosen->kind == AttachmentKind::Pdf) {
            prompts().message(window,
                              QStringLiteral("\"%1\" is a PDF; choose a JPEG or PNG picture.")
                                  .arg(chosen->name),
                              window->windowTitle(), Prompts::Buttons::Ok,
                              Prompts::Icon::Information);
            return;
        }
        if (Status set = setRecordPicture(*connection(), *record, chosen->linkId); !set) {
            prompts().message(window, set.error().description, window->windowTitle(),
                              Prompts::Buttons::Ok, Prompts::Icon::Warning);
            return;
        }
        ShowPropertyPicture();
    });
    // A picture removed from the attachments is no longer shown.
    connect(window, &frmAttachments::countChanged, this, [this] { ShowPropertyPicture(); });
}

void frmProperty::recordShown() { ShowPropertyPicture(); }

void frmProperty::fieldEdited(const QString& control)
{
    if (control == imageBox)
        ShowPropertyPicture();
}

} // namespace halvo
