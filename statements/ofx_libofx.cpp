#include "statements/ofx_libofx.h"

#include <libofx/libofx.h>

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <dirent.h>
#include <unistd.h>

namespace halvo {
namespace {

QString quoted(const QString& path) {
    return QLatin1Char('"') + QFileInfo(path).fileName() + QLatin1Char('"');
}

Error notAStatement(const QString& path) {
    return Error{
        QStringLiteral("%1 is not a bank statement that HALVO can read.").arg(quoted(path))};
}

Error transactionError(const QString& path, int position, const QString& what) {
    return Error{QStringLiteral("Transaction %1 of %2 %3. Nothing was read from the file.")
                     .arg(position)
                     .arg(quoted(path), what)};
}

Error transactionError(const QString& path, int position, const char* what) {
    return transactionError(path, position, QLatin1String(what));
}

Error notA(const QString& path, int position, const char* element, const QByteArray& written,
           const char* what) {
    return transactionError(path, position,
                            QStringLiteral("has the %1 \"%2\", which is not a %3")
                                .arg(QLatin1String(element), QString::fromUtf8(written),
                                     QLatin1String(what)));
}

// libofx prints what it parses, warns of and fails at on the console; HALVO says what went wrong
// in its own words, so the library is silent while it reads and is left as it was found.
class QuietLibofx {
public:
    QuietLibofx() {
        for (std::size_t i = 0; i < flags.size(); ++i) {
            saved[i] = *flags[i];
            *flags[i] = 0;
        }
    }
    ~QuietLibofx() {
        for (std::size_t i = 0; i < flags.size(); ++i)
            *flags[i] = saved[i];
    }
    QuietLibofx(const QuietLibofx&) = delete;
    QuietLibofx& operator=(const QuietLibofx&) = delete;

private:
    const std::array<int*, 12> flags{&ofx_PARSER_msg,  &ofx_DEBUG_msg,  &ofx_DEBUG1_msg,
                                     &ofx_DEBUG2_msg,  &ofx_DEBUG3_msg, &ofx_DEBUG4_msg,
                                     &ofx_DEBUG5_msg,  &ofx_STATUS_msg, &ofx_INFO_msg,
                                     &ofx_WARNING_msg, &ofx_ERROR_msg,  &ofx_show_position};
    std::array<int, 12> saved{};
};

// libofx makes its working copy of the statement in $TMPDIR (failing that $TMP, $TEMP, /tmp);
// for the length of one reading it is pointed at the private folder. The program reads on one
// thread, so no one else sees the change.
class EnvironmentOverride {
public:
    EnvironmentOverride(const char* name, const QByteArray& value)
        : name(name)
        , wasSet(qEnvironmentVariableIsSet(name))
        , saved(qgetenv(name)) {
        qputenv(name, value);
    }
    ~EnvironmentOverride() {
        if (wasSet)
            qputenv(name, saved);
        else
            qunsetenv(name);
    }
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    const char* name;
    bool wasSet;
    QByteArray saved;
};

// libofx builds the copy's name "<folder>/libofxtmpXXXXXX" in a buffer of 256 bytes and ends the
// program on a failed assertion when the folder's path does not fit.
constexpr qsizetype LongestWorkingFolder = 256 - 1 - int(sizeof("/libofxtmpXXXXXX") - 1) - 1;

// libofx removes its working copy but leaves open the descriptor it made the copy with, so each
// reading would hold one more open file (and the removed copy's disk space) until the program
// ends. Whatever this process still has open inside the private folder is that copy.
void closeHandlesInside(const QByteArray& folder) {
    const QByteArray prefix = folder + '/';
    QList<int> left;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(fds)) {
            bool isNumber = false;
            const int fd = QByteArray(entry->d_name).toInt(&isNumber);
            if (!isNumber || fd == dirfd(fds))
                continue;
            char target[4096];
            const QByteArray link = QByteArray("/proc/self/fd/") + entry->d_name;
            const ssize_t length = readlink(link.constData(), target, sizeof target);
            if (length > 0 && QByteArray(target, length).startsWith(prefix))
                left.append(fd);
        }
        closedir(fds);
    }
    for (int fd : left)
        close(fd);
}

// What the file itself says of one transaction, for what libofx does not hand on as written.
struct WrittenTransaction {
    QByteArray fitId;
    QByteArray posted;
    QByteArray initiated;
    QByteArray amount;
};

struct WrittenStatement {
    QList<WrittenTransaction> transactions;
    bool reachesItsEnd = false;
};

QByteArray elementText(const QByteArray& block, const QByteArray& upperBlock, const char* tag) {
    const qsizetype at = upperBlock.indexOf(tag);
    if (at < 0)
        return {};
    const qsizetype start = at + qsizetype(qstrlen(tag));
    qsizetype end = block.indexOf('<', start);
    if (end < 0)
        end = block.size();
    return block.mid(start, end - start).trimmed();
}

// Each <STMTTRN> of the statement, in order, ends at its </STMTTRN> or, in SGML that left the
// end out, at the next <STMTTRN>. What follows </OFX> is no part of the statement.
WrittenStatement scanWritten(const QByteArray& file) {
    static const QByteArray open = "<STMTTRN>", close = "</STMTTRN>";
    const qsizetype end = file.toUpper().indexOf("</OFX>");
    WrittenStatement written;
    written.reachesItsEnd = end >= 0;
    const QByteArray text = file.left(end);
    const QByteArray upper = text.toUpper();
    qsizetype at = upper.indexOf(open);
    while (at >= 0) {
        const qsizetype start = at + open.size();
        const qsizetype next = upper.indexOf(open, start);
        qsizetype end = upper.indexOf(close, start);
        if (end < 0 || (next >= 0 && next < end))
            end = next >= 0 ? next : upper.size();
        const QByteArray block = text.mid(start, end - start);
        const QByteArray upperBlock = upper.mid(start, end - start);
        written.transactions.append({elementText(block, upperBlock, "<FITID>"),
                                     elementText(block, upperBlock, "<DTPOSTED>"),
                                     elementText(block, upperBlock, "<DTUSER>"),
                                     elementText(block, upperBlock, "<TRNAMT>")});
        at = next;
    }
    return written;
}

bool allDigits(const QByteArray& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(),
                                          [](char c) { return c >= '0' && c <= '9'; });
}

// An OFX date as the bank wrote it: YYYYMMDD, perhaps a time HHMM or HHMMSS with perhaps a
// fraction of a second (".XXX"), and perhaps a zone ("[-5:EST]"). The date is the bank's calendar
// day, whatever the zone; the time and the zone only have to be what they claim to be. Invalid
// when the text is no such date: libofx would roll month 20 over into the next year, or read
// what it cannot as some other day.
QDate writtenDate(const QByteArray& written) {
    QByteArray text = written.trimmed();
    if (const qsizetype zone = text.indexOf('['); zone >= 0) {
        if (!text.endsWith(']'))
            return {};
        text = text.left(zone).trimmed();
    }
    const QByteArray day = text.left(8);
    QByteArray time = text.mid(8);
    if (day.size() < 8 || !allDigits(day))
        return {};
    if (const qsizetype point = time.indexOf('.'); point >= 0) {
        if (!allDigits(time.mid(point + 1)))
            return {};
        time.truncate(point);
    }
    if (!time.isEmpty()) {
        if ((time.size() != 4 && time.size() != 6) || !allDigits(time))
            return {};
        const int hour = time.left(2).toInt(), minute = time.mid(2, 2).toInt(),
                  second = time.size() == 6 ? time.mid(4, 2).toInt() : 0;
        if (hour > 23 || minute > 59 || second > 60) // 60: a leap second
            return {};
    }
    return QDate(day.left(4).toInt(), day.mid(4, 2).toInt(), day.mid(6, 2).toInt());
}

// An OFX amount: digits with perhaps a sign and a decimal point or comma, and nothing else (no
// currency sign, no thousands separator), which libofx would read as another number.
bool isWrittenAmount(const QByteArray& written) {
    static const QRegularExpression amount(QStringLiteral("^[+-]?(\\d+([.,]\\d*)?|[.,]\\d+)$"));
    return amount.match(QString::fromLatin1(written.trimmed())).hasMatch();
}

// Where the file's own text of the transaction is not at hand (see oneToOne below), libofx's
// moment: it turns a date without a time, or at midnight, into 10:59 UTC of that day, and a time
// without a zone into that time UTC, so that the UTC calendar date is the one the bank wrote.
QDate libofxDate(time_t moment) {
    return QDateTime::fromSecsSinceEpoch(qint64(moment), Qt::UTC).date();
}

template <std::size_t N> QString fieldText(const char (&field)[N]) {
    return QString::fromUtf8(field, qsizetype(qstrnlen(field, N))).trimmed();
}

// A transaction as libofx hands it over, before it is checked against the file.
struct Received {
    StatementLine line;
    bool hasAmount = false;
    double amount = 0;
    bool hasPosted = false;
    time_t posted = 0;
    bool hasInitiated = false;
    time_t initiated = 0;
    bool trade = false; // a security bought, sold, reinvested...: no <STMTTRN> of the file
};

struct Reading {
    bool sawAccount = false;
    QString account;
    QList<FileAccount> accounts;
    QList<Received> received;
};

QString accountOf(const OfxAccountData& account) {
    if (account.account_id_valid)
        return fieldText(account.account_id);
    if (account.account_number_valid)
        return fieldText(account.account_number);
    return {};
}

AccountKind kindOf(const OfxAccountData& account) {
    if (!account.account_type_valid)
        return AccountKind::Unknown;
    switch (account.account_type) {
    case OfxAccountData::OFX_CHECKING: return AccountKind::Checking;
    case OfxAccountData::OFX_SAVINGS: return AccountKind::Savings;
    case OfxAccountData::OFX_MONEYMRKT: return AccountKind::MoneyMarket;
    case OfxAccountData::OFX_CREDITLINE: return AccountKind::CreditLine;
    case OfxAccountData::OFX_CMA: return AccountKind::CashManagement;
    case OfxAccountData::OFX_CREDITCARD: return AccountKind::CreditCard;
    case OfxAccountData::OFX_INVESTMENT:
    case OfxAccountData::OFX_401K: return AccountKind::Investment;
    }
    return AccountKind::Unknown;
}

int onAccount(const OfxAccountData data, void* context) {
    auto* reading = static_cast<Reading*>(context);
    reading->sawAccount = true;
    reading->account = accountOf(data);
    const bool known = std::any_of(reading->accounts.begin(), reading->accounts.end(),
                                   [&](const FileAccount& a) { return a.account == reading->account; });
    if (!known)
        reading->accounts.append({reading->account, kindOf(data),
                                  data.account_number_valid ? fieldText(data.account_number)
                                                            : QString()});
    return 0;
}

int onTransaction(const OfxTransactionData data, void* context) {
    auto* reading = static_cast<Reading*>(context);
    Received r;
    r.line.line = int(reading->received.size()) + 1;
    if (data.account_id_valid)
        r.line.account = fieldText(data.account_id);
    else if (data.account_ptr)
        r.line.account = accountOf(*data.account_ptr);
    if (r.line.account.isEmpty())
        r.line.account = reading->account;
    if (data.name_valid)
        r.line.payee = fieldText(data.name);
    if (data.memo_valid)
        r.line.memo = fieldText(data.memo);
    if (data.check_number_valid)
        r.line.number = fieldText(data.check_number);
    if (r.line.number.isEmpty() && data.reference_number_valid)
        r.line.number = fieldText(data.reference_number);
    if (data.fi_id_valid)
        r.line.bankId = fieldText(data.fi_id);
    r.hasAmount = data.amount_valid;
    r.amount = data.amount;
    r.hasPosted = data.date_posted_valid;
    r.posted = data.date_posted;
    r.hasInitiated = data.date_initiated_valid;
    r.initiated = data.date_initiated;
    // An investment account's statement lists trades, and the cash moved in or out of the
    // account as bank transactions of its own (INVBANKTRAN).
    const bool cash = data.invtransactiontype_valid && data.invtransactiontype == OFX_INVBANKTRAN;
    r.trade = data.invtransactiontype_valid && !cash;
    r.line.investment = cash || (data.account_ptr && kindOf(*data.account_ptr) == AccountKind::Investment);
    reading->received.append(std::move(r));
    return 0;
}

// Runs libofx on the file with its working copy in folder. Returns libofx's answer: below 0 when
// it could not read the file as OFX at all, above 0 when the parser met errors on the way.
int runLibofx(const QString& path, const QTemporaryDir& folder, Reading& reading) {
    const QuietLibofx quiet;
    const EnvironmentOverride tmpdir("TMPDIR", QFile::encodeName(folder.path()));
    LibofxContextPtr context = libofx_get_new_context();
    ofx_set_account_cb(context, onAccount, &reading);
    ofx_set_transaction_cb(context, onTransaction, &reading);
    const int answer = libofx_proc_file(context, QFile::encodeName(path).constData(), AUTODETECT);
    libofx_free_context(context);
    closeHandlesInside(QFile::encodeName(folder.path()));
    return answer;
}

Result<Statement> readWithLibofx(const QString& path, const QString& privateFolder) {
    QFile file(path);
    if (!file.exists())
        return Error{QStringLiteral("%1 cannot be found.").arg(quoted(path))};
    if (!file.open(QIODevice::ReadOnly))
        return Error{
            QStringLiteral("%1 cannot be opened: %2").arg(quoted(path), file.errorString())};
    const QByteArray text = file.readAll();
    file.close();

    QTemporaryDir folder(privateFolder + QStringLiteral("/ofx-XXXXXX"));
    if (!folder.isValid())
        return Error{QStringLiteral("HALVO cannot make a folder in \"%1\" to read %2 in: %3")
                         .arg(privateFolder, quoted(path), folder.errorString())};
    if (QFile::encodeName(folder.path()).size() > LongestWorkingFolder)
        return Error{QStringLiteral("The path of the folder \"%1\" is too long to read %2 in.")
                         .arg(privateFolder, quoted(path))};
    // The working copy holds the statement: only the user may look into its folder.
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    Reading reading;
    const int answer = runLibofx(path, folder, reading);
    if (answer < 0 || (!reading.sawAccount && reading.received.isEmpty()))
        return notAStatement(path);

    const WrittenStatement written = scanWritten(text);
    if (!written.reachesItsEnd)
        return Error{QStringLiteral("%1 ends before its statement does: the file may have been "
                                    "cut short. Nothing was read from it.")
                         .arg(quoted(path))};
    // Trades move securities, and money only within the investment account: they are no bank
    // transactions and no lines of the ledger, so they are left out, and only counted. What the
    // user may want of such a statement is its cash, which the import offers unticked.
    QList<Received> cash;
    int trades = 0;
    for (Received& r : reading.received) {
        if (r.trade)
            ++trades;
        else
            cash.append(std::move(r));
    }
    if (cash.isEmpty() && trades > 0)
        return Error{QStringLiteral("%1 is an investment statement: its trades are not bank "
                                    "transactions, and it holds no cash moved in or out of the "
                                    "account. Nothing was read from it.")
                         .arg(quoted(path))};
    if (cash.isEmpty())
        return Error{QStringLiteral("%1 holds no transactions.").arg(quoted(path))};
    if (cash.size() < written.transactions.size())
        return Error{QStringLiteral("%1 holds %2 transactions, but only %3 of them could be "
                                    "read. Nothing was read from the file.")
                         .arg(quoted(path))
                         .arg(written.transactions.size())
                         .arg(cash.size())};
    // Every bank transaction libofx reports is one <STMTTRN> of the file, in the file's order, so
    // its amount and dates are checked against the text the bank wrote. Should the two ever
    // differ in number, only libofx's word is taken.
    const bool oneToOne = cash.size() == written.transactions.size();

    Statement statement;
    statement.accounts = reading.accounts;
    statement.tradesLeftOut = trades;
    for (qsizetype i = 0; i < cash.size(); ++i) {
        Received& r = cash[i];
        const WrittenTransaction* w = oneToOne ? &written.transactions[i] : nullptr;
        if (w && !r.line.bankId.isEmpty() && !w->fitId.contains('&') &&
            QString::fromUtf8(w->fitId) != r.line.bankId)
            w = nullptr;
        const int position = r.line.line;

        // libofx reads an empty <TRNAMT> as an amount of 0, and "$120" too.
        if (!r.hasAmount || (w && w->amount.isEmpty()))
            return transactionError(path, position, "has no amount");
        if (w && !isWrittenAmount(w->amount))
            return notA(path, position, "amount", w->amount, "number");
        const double units = std::round(r.amount * double(Money::Scale));
        if (!std::isfinite(units) || std::fabs(units) >= 9.2e18)
            return transactionError(path, position, "has an amount too large to hold");
        r.line.amount = Money::fromUnits(std::llround(r.amount * double(Money::Scale)));

        // libofx marks a date posted as given even when the transaction has none. The date
        // posted counts; the date the user began the payment only where none was posted.
        if (w) {
            const QByteArray& dated = !w->posted.isEmpty() ? w->posted : w->initiated;
            if (!dated.isEmpty()) {
                r.line.date = writtenDate(dated);
                if (!r.line.date.isValid())
                    return notA(path, position, "date", dated, "date");
            }
        } else if (r.hasPosted) {
            r.line.date = libofxDate(r.posted);
        } else if (r.hasInitiated) {
            r.line.date = libofxDate(r.initiated);
        }
        if (!r.line.date.isValid())
            return transactionError(path, position, "has no date");

        statement.lines.append(std::move(r.line));
    }
    return statement;
}

} // namespace

} // namespace halvo

extern "C" Q_DECL_EXPORT void halvo_read_ofx_file(const QString& path, const QString& privateFolder,
                                                  halvo::Result<halvo::Statement>* read)
{
    *read = halvo::readWithLibofx(path, privateFolder);
}
