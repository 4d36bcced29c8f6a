#include "rent_roll_report.h"

#include "data/dates.h"
#include "platform/desktop.h"
#include "reports/report_layouts.h"
#include "reports/report_preview.h"

namespace halvo {

MemoryRows rentRollRows(const QList<RentRollRow>& rows)
{
    MemoryRows table({{QStringLiteral("Tenant"), ColumnKind::Text},
                      {QStringLiteral("Property"), ColumnKind::Text},
                      {QStringLiteral("Rent"), ColumnKind::Money},
                      {QStringLiteral("DueDay"), ColumnKind::Integer},
                      {QStringLiteral("Paid"), ColumnKind::Money},
                      {QStringLiteral("Balance"), ColumnKind::Money},
                      {QStringLiteral("Deposit"), ColumnKind::Money},
                      {QStringLiteral("LeaseEnd"), ColumnKind::Date},
                      {QStringLiteral("DaysLeft"), ColumnKind::Integer}});
    for (const RentRollRow& r : rows)
        table.appendRow({r.tenant, r.property, QVariant::fromValue(r.rent), qlonglong(r.dueDay),
                         QVariant::fromValue(r.paidThisMonth), QVariant::fromValue(r.balance),
                         QVariant::fromValue(r.depositHeld),
                         r.leaseEnd ? QVariant(*r.leaseEnd) : QVariant(),
                         r.daysLeft ? QVariant(qlonglong(*r.daysLeft)) : QVariant()});
    return table;
}

Status showRentRollReport(const QList<RentRollRow>& rows, const QDate& day, QWidget* parent)
{
    ReportLayout layout = ReportLayouts::rptRentRoll();
    layout.title = QStringLiteral("As of %1").arg(Dates::format(day, Dates::ShortDate));
    Result<ReportPreview*> shown = ReportPreview::show(
        std::move(layout), std::make_shared<const MemoryRows>(rentRollRows(rows)),
        Clock::today(), parent);
    if (!shown)
        return shown.error();
    return {};
}

} // namespace halvo
