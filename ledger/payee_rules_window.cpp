#include "payee_rules_window.h"

#include "controls/table_width.h"

#include "import_window.h"
#include "import_words.h"
#include "controls/links.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace halvo {

namespace {

const QString Title = QStringLiteral("Payee Rules");

} // namespace

frmPayeeRules::frmPayeeRules(const Connection& connection, QWidget* parent)
    : QDialog(parent), connection(connection)
{
    setObjectName(QStringLiteral("frmPayeeRules"));
    setWindowTitle(Title);
    grdRules = new QTableWidget(0, 5, this);
    grdRules->setTabKeyNavigation(false); // arrows move between cells, Tab leaves
    grdRules->setObjectName(QStringLiteral("grdRules"));
    grdRules->setAccessibleName(Title);
    grdRules->setHorizontalHeaderLabels({QStringLiteral("Match"), QStringLiteral("Text"),
                                         QStringLiteral("Property"), QStringLiteral("Payee"),
                                         QStringLiteral("Category")});
    grdRules->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdRules->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdRules->setSelectionMode(QAbstractItemView::SingleSelection);
    grdRules->verticalHeader()->hide();
    grdRules->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdRules->horizontalHeader()->setStretchLastSection(true);
    connect(grdRules, &QTableWidget::activated, this, &frmPayeeRules::Edit_Click);

    New = makeLink(this, QStringLiteral("New"), QStringLiteral("New"));
    Edit = makeLink(this, QStringLiteral("Edit"), QStringLiteral("Edit"));
    Delete = makeLink(this, QStringLiteral("Delete"), QStringLiteral("Delete"));
    Close = makeLink(this, QStringLiteral("Close"), QStringLiteral("Close"));
    connect(New, &VeyHyperLinkLabel::Click, this, &frmPayeeRules::New_Click);
    connect(Edit, &VeyHyperLinkLabel::Click, this, &frmPayeeRules::Edit_Click);
    connect(Delete, &VeyHyperLinkLabel::Click, this, &frmPayeeRules::Delete_Click);
    connect(Close, &VeyHyperLinkLabel::Click, this, &QDialog::accept);

    auto* commands = new QHBoxLayout;
    for (VeyHyperLinkLabel* link : {New, Edit, Delete})
        commands->addWidget(link);
    commands->addStretch();
    commands->addWidget(Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grdRules, 1);
    layout->addLayout(commands);
    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 20);
    showRules();
    grdRules->setFocus();
}

void frmPayeeRules::showRules(qint64 current)
{
    Result<QList<PayeeRule>> loaded = loadPayeeRules(connection);
    if (!loaded)
        prompts().message(this, loaded.error().description, Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
    rules = loaded ? loaded.value() : QList<PayeeRule>{};
    grdRules->setRowCount(int(rules.size()));
    int currentRow = 0;
    for (int r = 0; r < rules.size(); ++r) {
        const PayeeRule& rule = rules.at(r);
        const QStringList cells{matchCaption(rule.match), rule.text, rule.property, rule.payee,
                                rule.category};
        for (int c = 0; c < cells.size(); ++c)
            grdRules->setItem(r, c, new QTableWidgetItem(cells.at(c)));
        if (rule.id == current)
            currentRow = r;
    }
    if (!rules.isEmpty())
        grdRules->setCurrentCell(currentRow, 0);
    widenForTable(this, grdRules);
    Edit->setEnabled(!rules.isEmpty());
    Delete->setEnabled(!rules.isEmpty());
}

void frmPayeeRules::New_Click()
{
    frmPayeeRule window(connection, {}, std::nullopt, this);
    if (window.exec() == QDialog::Accepted)
        showRules(window.rule().id);
}

void frmPayeeRules::Edit_Click()
{
    const int row = grdRules->currentRow();
    if (row < 0 || row >= rules.size())
        return;
    frmPayeeRule window(connection, rules.at(row), std::nullopt, this);
    if (window.exec() == QDialog::Accepted)
        showRules(rules.at(row).id);
}

void frmPayeeRules::Delete_Click()
{
    const int row = grdRules->currentRow();
    if (row < 0 || row >= rules.size())
        return;
    const PayeeRule& rule = rules.at(row);
    const QString question = QStringLiteral("Delete the rule \"%1 %2\"? Lines imported with it "
                                            "stay as they are.")
                                 .arg(matchCaption(rule.match), rule.text);
    if (prompts().message(this, question, Title, Prompts::Buttons::YesNo, Prompts::Icon::Question)
        != Prompts::Answer::Yes)
        return;
    if (Status deleted = deletePayeeRule(connection, rule.id); !deleted)
        prompts().message(this, deleted.error().description, Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
    const qint64 next = row + 1 < rules.size() ? rules.at(row + 1).id
                       : row > 0                 ? rules.at(row - 1).id
                                                 : 0;
    showRules(next);
}

} // namespace halvo
