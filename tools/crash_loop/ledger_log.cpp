#include "ledger_log.h"

#include <QStringList>

namespace halvo::crashloop {

namespace {

// Check numbers read "generation-number": the writer run that made the row and its count there.
std::pair<qlonglong, qlonglong> partsOf(const QString& key)
{
    return {key.section(QLatin1Char('-'), 0, 0).toLongLong(),
            key.section(QLatin1Char('-'), 1, 1).toLongLong()};
}

uint spread(const QString& text)
{
    uint h = 2166136261u;
    for (QChar c : text)
        h = (h ^ c.unicode()) * 16777619u;
    return h;
}

} // namespace

QString describe(const Unit& unit)
{
    QStringList parts;
    for (const Change& c : unit) {
        switch (c.kind) {
        case Change::Kind::Add:
            parts.append(QLatin1Char('+') + c.key);
            break;
        case Change::Kind::Edit:
            parts.append(QLatin1Char('~') + c.key + QLatin1Char('=') + c.memoTag);
            break;
        case Change::Kind::Delete:
            parts.append(QLatin1Char('-') + c.key);
            break;
        }
    }
    return parts.join(QLatin1Char(' '));
}

std::optional<Unit> parseUnit(const QString& text)
{
    Unit unit;
    for (const QString& part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString rest = part.mid(1);
        if (rest.isEmpty())
            return std::nullopt;
        if (part.startsWith(QLatin1Char('+'))) {
            unit.append({Change::Kind::Add, rest, firstMemoTag(rest)});
        } else if (part.startsWith(QLatin1Char('-'))) {
            unit.append({Change::Kind::Delete, rest, {}});
        } else if (part.startsWith(QLatin1Char('~')) && rest.count(QLatin1Char('=')) == 1) {
            unit.append({Change::Kind::Edit, rest.section(QLatin1Char('='), 0, 0),
                         rest.section(QLatin1Char('='), 1, 1)});
        } else {
            return std::nullopt;
        }
    }
    if (unit.isEmpty())
        return std::nullopt;
    return unit;
}

QString payeeFor(const QString& key)
{
    return QStringLiteral("Payee ") + key;
}

Money incomeFor(const QString& key)
{
    const auto [generation, number] = partsOf(key);
    return Money::fromCents(number * 101 + generation);
}

QDate dateFor(const QString& key)
{
    const auto [generation, number] = partsOf(key);
    return QDate(2026, 1, 1).addDays((generation * 7 + number) % 365);
}

QString firstMemoTag(const QString& key)
{
    return QStringLiteral("new") + key;
}

QString memoFor(const QString& tag)
{
    const uint h = spread(tag);
    // One memo in ten is longer than a page of the file.
    const int length = h % 10 == 0 ? 4200 + int(h % 3000) : int(h % 600);
    return tag + QLatin1Char('|') + QString(length, QLatin1Char('.'));
}

std::optional<QString> tagOfMemo(const QString& memo)
{
    const QString tag = memo.section(QLatin1Char('|'), 0, 0);
    if (tag.isEmpty() || memoFor(tag) != memo)
        return std::nullopt;
    return tag;
}

LedgerRows applied(LedgerRows rows, const Unit& unit)
{
    for (const Change& c : unit) {
        switch (c.kind) {
        case Change::Kind::Add:
            rows.insert(c.key, firstMemoTag(c.key));
            break;
        case Change::Kind::Edit:
            rows.insert(c.key, c.memoTag);
            break;
        case Change::Kind::Delete:
            rows.remove(c.key);
            break;
        }
    }
    return rows;
}

bool WriterLog::read(const QByteArray& output)
{
    for (const QByteArray& raw : output.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty())
            continue;
        if (line == QLatin1String("ready")) {
            ready = true;
        } else if (line.startsWith(QLatin1String("want "))) {
            pending = parseUnit(line.mid(5));
            if (!pending)
                return false;
        } else if (line == QLatin1String("done")) {
            if (!pending)
                return false;
            done.append(*pending);
            pending.reset();
        } else {
            return false;
        }
    }
    return true;
}

Findings compare(const LedgerRows& confirmed, const std::optional<Unit>& inFlight,
                 const LedgerRows& found, const QSet<QString>& deleted)
{
    if (found == confirmed || (inFlight && found == applied(confirmed, *inFlight)))
        return {};
    QSet<QString> mayAppear;
    QSet<QString> mayGo;
    QHash<QString, QString> mayRead;
    for (const Change& c : inFlight.value_or(Unit{})) {
        if (c.kind == Change::Kind::Add)
            mayAppear.insert(c.key);
        else if (c.kind == Change::Kind::Delete)
            mayGo.insert(c.key);
        else
            mayRead.insert(c.key, c.memoTag);
    }
    Findings f;
    for (auto it = confirmed.cbegin(); it != confirmed.cend(); ++it) {
        const auto there = found.constFind(it.key());
        if (there == found.cend()) {
            if (!mayGo.contains(it.key()))
                ++f.rowsLost;
        } else if (*there != *it && *there != mayRead.value(it.key())) {
            ++f.editsLost;
        }
    }
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        if (confirmed.contains(it.key()))
            continue;
        if (deleted.contains(it.key()))
            ++f.deletesUndone;
        else if (!mayAppear.contains(it.key()))
            ++f.unexpectedRows;
    }
    // Every row is one the writer could have left, yet the file matches neither the state before
    // the unit in flight nor the one after it: the unit was written in part.
    if (f.ok())
        f.tornUnits = 1;
    return f;
}

} // namespace halvo::crashloop
