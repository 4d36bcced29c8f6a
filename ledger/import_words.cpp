#include "import_words.h"

#include "editors/editor_description.h"

#include <QCoreApplication>

namespace halvo {

namespace {

struct Words {
    Q_DECLARE_TR_FUNCTIONS(ImportWords)
};

QString shortDate(const QDate& date) { return date.toString(QStringLiteral("M/d/yyyy")); }

// The line by its number in the file, or by its date when the file numbers none.
QString lineNamed(const ImportRefusal& r)
{
    return r.line > 0 ? Words::tr("Line %1").arg(r.line)
                      : Words::tr("The line of %1").arg(shortDate(r.date));
}

} // namespace

QString stateCaption(ImportLine::State state)
{
    switch (state) {
    case ImportLine::State::New: return Words::tr("New");
    case ImportLine::State::Duplicate: return Words::tr("Duplicate");
    case ImportLine::State::NeedsCategory: break;
    }
    return Words::tr("Needs a category");
}

QString matchCaption(PayeeRule::Match match)
{
    switch (match) {
    case PayeeRule::Match::StartsWith: return Words::tr("Payee starts with");
    case PayeeRule::Match::Contains: return Words::tr("Payee contains");
    case PayeeRule::Match::Is: break;
    }
    return Words::tr("Payee is");
}

QString wording(const Duplicate& d)
{
    switch (d.kind) {
    case Duplicate::Kind::ImportedBefore: return Words::tr("imported before");
    case Duplicate::Kind::EarlierInFile:
        return Words::tr("the same bank id stands earlier in the file");
    case Duplicate::Kind::LedgerRow: break;
    }
    return Words::tr("%1 to %2 on %3 is in the ledger")
        .arg(d.amount.format(MoneyFormat::Bound), d.payee, shortDate(d.date));
}

QString wording(const ImportRefusal& r)
{
    switch (r.kind) {
    case ImportRefusal::Kind::NothingTicked:
        return Words::tr("No line is ticked: nothing was imported.");
    case ImportRefusal::Kind::AmountZero:
        return Words::tr("%1 has an amount of 0, which the ledger does not show.")
            .arg(lineNamed(r));
    case ImportRefusal::Kind::NoPayee:
        return Words::tr("%1 has no payee: choose one.").arg(lineNamed(r));
    case ImportRefusal::Kind::NoDate: return Words::tr("%1 has no date.").arg(lineNamed(r));
    case ImportRefusal::Kind::RuleWithoutText: break;
    }
    // As the record editors say it of a field they require.
    return requiredMessage(Words::tr("Payee text"));
}

} // namespace halvo
