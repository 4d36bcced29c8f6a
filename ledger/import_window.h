#pragma once
// frmImport: a statement's lines before anything is written. Each line shows its date, its
// account (when the statement is of several), what the bank wrote, the amount, whether it is
// income or expense, the property, payee and category it will be written with, and its state:
// new, duplicate (unticked) or needing a category. An investment account's cash is offered
// unticked, with a word on why. The user ticks, unticks and chooses; Import writes the ticked
// lines as one batch.
//
// Choosing a property, payee or category for a line gives the same to the other lines from the
// same bank payee that no rule and no choice of the user's has set; Save Rule keeps the current
// line's choices as a payee rule for the next import.

#include "statements/ledger_import.h"

#include <QAbstractTableModel>
#include <QDialog>

class QLabel;
class QLineEdit;
class QTableView;
class VeyHyperLinkLabel;

namespace halvo {

class Picker;

class ImportLinesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Tick, Date, Account, BankPayee, Amount, Kind, Property, Payee, Category, State,
                  Count };

    explicit ImportLinesModel(QList<ImportLine> lines, QObject* parent = nullptr);
    const QList<ImportLine>& lines() const { return rows; }
    // Gives the rule's choices to the lines it matches that the user has not chosen for.
    void applyRule(const QList<PayeeRule>& rules);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    void linesChanged();

private:
    QList<ImportLine> rows;
    QList<bool> chosen; // the user chose this line's property, payee or category
    QString& field(ImportLine& line, int column);
};

class frmImport : public QDialog {
    Q_OBJECT
public:
    frmImport(const Connection& connection, QList<ImportLine> lines, const QString& source,
              QWidget* parent = nullptr);

    QLabel* lblSummary = nullptr;
    // What the statement holds that is no bank transaction: an investment account's cash, offered
    // unticked, and its trades, left out. Hidden when there is none.
    QLabel* lblNote = nullptr;
    QTableView* grdLines = nullptr;
    VeyHyperLinkLabel* Import = nullptr;
    VeyHyperLinkLabel* SaveRule = nullptr;
    VeyHyperLinkLabel* Cancel = nullptr;
    ImportLinesModel* model() const { return lines; }

    void Import_Click();
    void SaveRule_Click();
    // The investment trades the reader left out of the statement (Statement::tradesLeftOut).
    void setTradesLeftOut(int trades);

private:
    Connection connection;
    QString source;
    ImportLinesModel* lines = nullptr;
    int trades = 0;
    void showSummary();
    void showNote();
};

// "12 lines: 8 new, 3 duplicates, 1 needs a category; 8 ticked."
QString importSummary(const QList<ImportLine>& lines);

// frmPayeeRule: one payee rule, as Save Rule proposes it from a line: the way the bank's payee is
// matched, its text, and the property, payee and category a matching line gets. The categories
// offered are those of the line's kind, or of both kinds for a rule of no line.
class frmPayeeRule : public QDialog {
    Q_OBJECT
public:
    frmPayeeRule(const Connection& connection, const PayeeRule& proposed,
                 std::optional<bool> income, QWidget* parent = nullptr);
    PayeeRule rule() const;
    // Saves the rule; false (the user told why) when it cannot be.
    bool save();

private:
    Connection connection;
    qint64 id = 0;
    Picker* cboMatch = nullptr;
    QLineEdit* txtText = nullptr;
    Picker* cboProperty = nullptr;
    Picker* cboPayee = nullptr;
    Picker* cboCategory = nullptr;
};

} // namespace halvo
