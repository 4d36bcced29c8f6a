#pragma once
// frmCsvMapping: how a CSV file is read. The user picks the columns, the date order, the decimal
// mark, the delimiter and the encoding, sees the first lines as they will be imported, and saves
// it all by name for the next file from the same bank, with the account the file's lines are of.
// When every day in the file could also be a month, the date order is the user's to choose: the
// window never guesses it, and a saved mapping's order is used for such a file only once the
// window has said which way it reads the dates and the user agreed.

#include "statements/csv_mapping.h"
#include "data/connection.h"

#include <QDialog>
#include <QMap>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class VeyHyperLinkLabel;

namespace halvo {

class Picker;

class frmCsvMapping : public QDialog {
    Q_OBJECT
public:
    frmCsvMapping(const Connection& connection, const QByteArray& file, QWidget* parent = nullptr);

    CsvMapping mapping() const;
    void setMapping(const CsvMapping& mapping);
    // The statement the file gives with the mapping shown, or why it gives none.
    Result<Statement> statement() const;
    // Saves the mapping and closes; tells the user why not when it cannot.
    void Import_Click();

    Picker* cboSaved = nullptr;
    QLineEdit* txtName = nullptr;
    // The account the file's lines are of: one of the accounts there are, or a new name; empty,
    // an account of the mapping's own name.
    QComboBox* cboAccount = nullptr;
    QLabel* lblProblem = nullptr;
    // How a saved mapping reads the dates of a file that reads them both ways; empty otherwise.
    QLabel* lblDateOrder = nullptr;
    QTableWidget* grdPreview = nullptr;
    QMap<QString, Picker*> pickers; // by object name: "cboDateOrder", "cboDateColumn", ...
    QSpinBox* spnHeaderRows = nullptr;

private:
    Connection connection;
    QByteArray bytes;
    QList<CsvRow> rows;
    bool filling = false;
    // The saved mapping whose date order is the one shown, until the user chooses one.
    QString orderFrom;

    Picker* addPicker(QGridLayout* grid, const char* name, const QString& label,
                      const QStringList& items);
    void refresh();
    void fillColumns();
    void guessColumns();
    void showPreview();
    QString bothWaysNote() const;
};

} // namespace halvo
