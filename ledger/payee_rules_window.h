#pragma once
// frmPayeeRules: the payee rules the imports apply, the most particular first (the order in which
// they are tried), each with the way it matches the bank's payee, its text, and the property,
// payee and category it gives. New and Edit open the rule's own window; Delete asks first.

#include "statements/ledger_import.h"

#include <QDialog>

class QTableWidget;
class VeyHyperLinkLabel;

namespace halvo {

class frmPayeeRules : public QDialog {
    Q_OBJECT
public:
    explicit frmPayeeRules(const Connection& connection, QWidget* parent = nullptr);

    QTableWidget* grdRules = nullptr;
    VeyHyperLinkLabel* New = nullptr;
    VeyHyperLinkLabel* Edit = nullptr;
    VeyHyperLinkLabel* Delete = nullptr;
    VeyHyperLinkLabel* Close = nullptr;

    void New_Click();
    void Edit_Click();
    void Delete_Click();

private:
    Connection connection;
    QList<PayeeRule> rules;
    void showRules(qint64 current = 0);
};

} // namespace halvo
