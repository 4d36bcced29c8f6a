#include "vendors_paid_sheet.h"

#include "csv/csv_writer.h"

namespace halvo {

namespace {

QVariant money(const Money& m) {
    return QVariant::fromValue(m);
}

QString withoutPayeeText(const VendorsPaid& paid) {
    if (paid.withoutPayee.isZero())
        return {};
    return QStringLiteral("Payments of %1 in %2 name no payee and are not counted for any vendor.")
        .arg(paid.withoutPayee.format(MoneyFormat::Bound))
        .arg(paid.year);
}

} // namespace

QString vendorsPaidTitle(const VendorsPaid& paid) {
    QString title = QStringLiteral("Tax Year %1: vendors paid %2 or more")
                        .arg(paid.year)
                        .arg(paid.threshold.amount.format(MoneyFormat::Bound));
    if (paid.threshold.knownFor != paid.year)
        title += QStringLiteral(" (the amount of %1)").arg(paid.threshold.knownFor);
    return title;
}

QString lineAQuestion(int year) {
    return QStringLiteral("Did you make any payments in %1 that would require you to file "
                          "Form(s) 1099?")
        .arg(year);
}

QString lineAAnswer(bool formsRequired) {
    return formsRequired ? QStringLiteral("Yes") : QStringLiteral("No");
}

QString formNeededText(bool noFormNeeded) {
    return noFormNeeded ? QStringLiteral("No 1099 needed") : QStringLiteral("1099 needed");
}

MemoryRows vendorsPaidRows(const VendorsPaid& paid) {
    MemoryRows rows({{QStringLiteral("Payee"), ColumnKind::Text},
                     {QStringLiteral("Address"), ColumnKind::Text},
                     {QStringLiteral("Total"), ColumnKind::Money},
                     {QStringLiteral("Form"), ColumnKind::Text},
                     {QStringLiteral("RecDate"), ColumnKind::Date},
                     {QStringLiteral("CheckNo"), ColumnKind::Text},
                     {QStringLiteral("Property"), ColumnKind::Text},
                     {QStringLiteral("Category"), ColumnKind::Text},
                     {QStringLiteral("Amount"), ColumnKind::Money},
                     {QStringLiteral("LineA"), ColumnKind::Text},
                     {QStringLiteral("AnswerA"), ColumnKind::Text},
                     {QStringLiteral("WithoutPayee"), ColumnKind::Text}});
    const QVariantList closing{lineAQuestion(paid.year), lineAAnswer(paid.formsRequired()),
                               withoutPayeeText(paid)};
    for (const VendorPaid& v : paid.vendors) {
        rows.appendRow(QVariantList{v.payee,
                                    v.address,
                                    money(v.total),
                                    formNeededText(v.noFormNeeded),
                                    {},
                                    {},
                                    {},
                                    {},
                                    {}} +
                       closing);
        for (const VendorPayment& p : v.payments)
            rows.appendRow(
                QVariantList{
                    {}, {}, {}, {}, p.date, p.checkNo, p.property, p.category, money(p.amount)} +
                closing);
    }
    return rows;
}

QList<QVariantList> vendorsPaidTable(const VendorsPaid& paid) {
    QList<QVariantList> table{
        {QStringLiteral("Payee"), QStringLiteral("Address"), QStringLiteral("Date"),
         QStringLiteral("Ref No."), QStringLiteral("Property"), QStringLiteral("Category"),
         QStringLiteral("Amount"), QStringLiteral("Total"), QStringLiteral("1099")}};
    for (const VendorPaid& v : paid.vendors) {
        table << QVariantList{
            v.payee, v.address, {}, {}, {}, {}, {}, money(v.total), formNeededText(v.noFormNeeded)};
        for (const VendorPayment& p : v.payments)
            table << QVariantList{v.payee,         {}, p.date, p.checkNo, p.property, p.category,
                                  money(p.amount), {}, {}};
    }
    if (const QString note = withoutPayeeText(paid); !note.isEmpty())
        table << QVariantList{note};
    table << QVariantList{QStringLiteral("A ") + lineAQuestion(paid.year),
                          lineAAnswer(paid.formsRequired())};
    return table;
}

Status writeVendorsPaidCsv(const VendorsPaid& paid, const QString& path) {
    return writeCsv(path, vendorsPaidTable(paid));
}

} // namespace halvo
