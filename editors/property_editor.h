#pragma once
// frmProperty: the rental properties and their owners. A new property can take its owner's
// details from a property already kept, and each property can show a picture, copied into the
// "Prop" folder of the user's data; one without a picture of its own shows the program's default.
// A JPEG or PNG picture is also attached to the property, inside the database file, and shown
// from there, so that it stays with the data when the folder's copy is gone; any picture among
// the property's attachments can be chosen with "Use as Picture" in its Attachments window.

#include "editors/record_editor.h"
#include "platform/folders.h"

#include <QImage>

class QLabel;
class QToolButton;

namespace halvo {

class frmProperty : public RecordEditor {
    Q_OBJECT
public:
    explicit frmProperty(const Folders& folders, QWidget* parent = nullptr);
    static EditorDescription describe();

    // The owner picker, shown only while a new property is being entered.
    Picker* ownerPicker() const;
    bool ownerPickerShown() const;
    // The picture shown and the file it came from; or the name of the attachment it came from.
    QString shownPicture() const { return picturePath; }
    QString shownPictureAttachment() const { return pictureAttachment; }
    const QImage& shownImage() const { return pictureShown; }

public slots:
    void cmdAddImage_Click();
    // Copies the owner's details of the first property (in table order) whose owner has this
    // last name into the current record; empty columns leave their fields as they are.
    void cboNickname_Click(const QString& lastName);

protected:
    void beforeAdd() override;
    void prepareSave() override;
    void afterSave() override;
    void afterDelete(bool deleted) override;
    void afterRefresh() override;
    void recordShown() override;
    void fieldEdited(const QString& control) override;
    void attachmentsOpened(frmAttachments* window) override;

private:
    QString programFolder; // where the default picture is
    QLabel* lblSelectionBox = nullptr;
    QLabel* ImageProperty = nullptr;
    QToolButton* addImageButton = nullptr;
    QString picturePath;
    QString pictureAttachment;
    QImage pictureShown;
    bool pictureToKeep = false; // a new property's picture, attached when it is first saved

    void keepPictureInFile();
    bool showAttachedPicture(bool pathFailed);
    void showPicture(const QImage& image);

    void FillOwnerList();
    void ShowPropertyPicture();
    void showOwnerPicker(bool shown);
};

} // namespace halvo
