#pragma once
// frmExport: any table out as a CSV file, and the ledger of one year and one property (or all),
// for a spreadsheet or an accountant. What is exported reads back through the CSV import.

#include "data/connection.h"

#include <QDialog>

class VeyHyperLinkLabel;

namespace halvo {

class Picker;

struct ExportQuery {
    QString sql;
    QVariantList params;
    QString fileName; // proposed: "ledger-2026-Elm Street.csv"
};

// The statement of a table ("Ledger", "Properties", ...), the ledger's narrowed to a year ("All
// Years" for every one) and a property ("All Properties" for every one).
ExportQuery exportQuery(const QString& table, const QString& year, const QString& property);
// The tables offered, by the names the window shows, the ledger first.
QStringList exportTables();

class frmExport : public QDialog {
    Q_OBJECT
public:
    frmExport(const Connection& connection, QWidget* parent = nullptr);

    Picker* cboTable = nullptr;
    Picker* cboYear = nullptr;
    Picker* cboProperty = nullptr;
    void Export_Click();

private:
    Connection connection;
};

} // namespace halvo
