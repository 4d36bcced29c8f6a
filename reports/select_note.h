#pragma once
// frmSelectNote: chooses the property (or all notes) and the year of the notes report, and shows
// it.

#include "reports/report_selection.h"

namespace halvo {

class frmSelectNote : public ReportSelection {
    Q_OBJECT
public:
    explicit frmSelectNote(const QString& programFolder, QWidget* parent = nullptr);

    Picker* cboNickname = nullptr;
    RecordSet AdoProperty; // the properties in nickname order: the list and the titles

    void GenerateReport_Click() override;

protected:
    void fillLists() override;
};

} // namespace halvo
