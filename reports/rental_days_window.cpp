#include "rental_days_window.h"

#include "controls/writing_commands.h"
#include "platform/prompts.h"

#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace halvo {

namespace {

const QString Title = QStringLiteral("Rental Days");

QComboBox* typeList(QWidget* parent, std::optional<int> code)
{
    auto* list = new QComboBox(parent);
    list->addItem(QString()); // nothing entered
    for (const PropertyTypeCode& t : propertyTypeCodes())
        list->addItem(QStringLiteral("%1 %2").arg(t.code).arg(t.name), t.code);
    list->setCurrentIndex(code ? std::max(0, list->findData(*code)) : 0);
    return list;
}

QSpinBox* daysBox(QWidget* parent, int days, int daysInYear)
{
    auto* box = new QSpinBox(parent);
    box->setRange(0, daysInYear);
    box->setValue(days);
    return box;
}

} // namespace

frmRentalDays::frmRentalDays(Connection db, int taxYear, QList<RentalDays> rows, QWidget* parent)
    : QDialog(parent)
    , connection(std::move(db))
    , year(taxYear)
    , properties(std::move(rows))
{
    setObjectName(QStringLiteral("frmRentalDays"));
    setWindowTitle(Title);
    auto* grid = new QGridLayout;
    const QStringList headings{tr("Property"), tr("1b Type of property"), tr("2 Fair rental days"),
                               tr("Personal use days"), tr("Days leased")};
    for (int c = 0; c < headings.size(); ++c)
        grid->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(headings[c])), 0, c);
    const int daysInYear = QDate(year, 1, 1).daysInYear();
    for (int i = 0; i < properties.size(); ++i) {
        const RentalDays& p = properties[i];
        auto* name = new QLabel(p.property);
        QComboBox* type = typeList(this, p.type ? p.type : p.proposedType);
        QSpinBox* fair = daysBox(this, p.fairRentalDays.value_or(p.offeredDays), daysInYear);
        QSpinBox* personal = daysBox(this, p.personalUseDays.value_or(0), daysInYear);
        type->setObjectName(QStringLiteral("cboType(%1)").arg(i));
        fair->setObjectName(QStringLiteral("txtFairRentalDays(%1)").arg(i));
        personal->setObjectName(QStringLiteral("txtPersonalUseDays(%1)").arg(i));
        type->setAccessibleName(tr("%1: type of property").arg(p.property));
        fair->setAccessibleName(tr("%1: fair rental days").arg(p.property));
        personal->setAccessibleName(tr("%1: personal use days").arg(p.property));
        name->setBuddy(type);
        grid->addWidget(name, i + 1, 0);
        grid->addWidget(type, i + 1, 1);
        grid->addWidget(fair, i + 1, 2);
        grid->addWidget(personal, i + 1, 3);
        grid->addWidget(new QLabel(QString::number(p.offeredDays)), i + 1, 4, Qt::AlignRight);
        cboType << type;
        txtFairRentalDays << fair;
        txtPersonalUseDays << personal;
    }
    auto* rowsArea = new QWidget;
    rowsArea->setLayout(grid);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(rowsArea);
    scroll->setWidgetResizable(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = writesBooks(buttons->addButton(tr("&Save"), QDialogButtonBox::AcceptRole));
    save->setObjectName(QStringLiteral("cmdSave"));
    save->setDefault(true);
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(save, &QPushButton::clicked, this, &frmRentalDays::cmdSave_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Lines 1b and 2 of the worksheet of %1. Where nothing was "
                                    "entered yet, the fair rental days offered are the days "
                                    "the leases covered.")
                                     .arg(year)));
    layout->addWidget(scroll);
    layout->addWidget(buttons);
    if (!cboType.isEmpty())
        cboType.first()->setFocus();
}

QList<RentalDays> frmRentalDays::entered() const
{
    QList<RentalDays> rows = properties;
    for (int i = 0; i < rows.size(); ++i) {
        const QVariant code = cboType[i]->currentData();
        rows[i].type = code.isValid() ? std::optional<int>(code.toInt()) : std::nullopt;
        rows[i].fairRentalDays = txtFairRentalDays[i]->value();
        rows[i].personalUseDays = txtPersonalUseDays[i]->value();
    }
    return rows;
}

void frmRentalDays::cmdSave_Click()
{
    if (Status saved = saveRentalDays(connection, year, entered()); !saved) {
        prompts().message(this, saved.error().description, Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    accept();
}

} // namespace halvo
