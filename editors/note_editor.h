#pragma once
// frmNote: dated notes about the properties. A filter narrows the list to one property's notes;
// a new note is stamped with today's date and the time of day.

#include "editors/record_editor.h"

namespace halvo {

class frmNote : public RecordEditor {
    Q_OBJECT
public:
    explicit frmNote(const QString& dataFolder, QWidget* parent = nullptr);
    static EditorDescription describe();

    Picker* filterPicker() const { return cboPropSelect; }

public slots:
    // Shows every note ("All Properties") or the notes of the property chosen.
    void cboPropSelect_Click(const QString& choice);

protected:
    void afterOpen() override;
    Status reopenForAdd() override;
    void newRecordAdded() override;
    bool checkBeforeSave() override;
    void afterRefresh() override;

private:
    Picker* cboPropSelect = nullptr;

    void fillFilter();
};

} // namespace halvo
