#include "postgres_dialect.h"

#include <QStringList>
#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace halvo::detail {

namespace {

// The statement is read as a row of tokens: what the rules look at (words, numbers, signs) and
// what they never touch (literals, quoted names, white space and comments, kept as written).
struct Token {
    enum Kind { Space, Word, Number, Sign, Literal, Name, Mark };
    Kind kind;
    QString text;
};
using Tokens = std::vector<Token>;

// Where a quoted text that starts at `from` ends; a doubled quote is part of the text. An
// unclosed quote runs to the end, and the server refuses it as the file would.
qsizetype afterQuote(const QString& sql, qsizetype from)
{
    const QChar quote = sql[from];
    for (qsizetype i = from + 1; i < sql.size(); ++i) {
        if (sql[i] != quote)
            continue;
        if (i + 1 < sql.size() && sql[i + 1] == quote)
            ++i;
        else
            return i + 1;
    }
    return sql.size();
}

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

// SQLite also quotes names as `name` and [name]; the server knows neither. A plain name is
// written unquoted, so that it folds as every other name does.
Token sqliteQuotedName(const QString& inner)
{
    const bool plain = !inner.isEmpty() && !inner[0].isDigit()
                       && std::all_of(inner.begin(), inner.end(), isWordChar);
    if (plain)
        return {Token::Word, inner};
    return {Token::Name, QLatin1Char('"') + QString(inner).replace(u'"', QLatin1String("\"\""))
                             + QLatin1Char('"')};
}

Tokens scan(const QString& sql)
{
    static const QStringList twoCharSigns = {"||", "<>", "<=", ">=", "!=", "==", "<<", ">>"};
    Tokens tokens;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto take = [&](Token::Kind kind, qsizetype end) {
        tokens.push_back({kind, sql.mid(i, end - i)});
        i = end;
    };
    auto runOf = [&](qsizetype from, auto belongs) {
        while (from < n && belongs(sql[from]))
            ++from;
        return from;
    };
    while (i < n) {
        const QChar c = sql[i];
        const QChar next = i + 1 < n ? sql[i + 1] : QChar();
        if (c.isSpace()) {
            take(Token::Space, runOf(i, [](QChar x) { return x.isSpace(); }));
        } else if (c == u'-' && next == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            take(Token::Space, end < 0 ? n : end);
        } else if (c == u'/' && next == u'*') {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            take(Token::Space, end < 0 ? n : end + 2);
        } else if (c == u'\'') {
            take(Token::Literal, afterQuote(sql, i));
        } else if (c == u'"') {
            take(Token::Name, afterQuote(sql, i));
        } else if (c == u'`' || c == u'[') {
            const qsizetype close = sql.indexOf(c == u'[' ? u']' : u'`', i + 1);
            const qsizetype end = close < 0 ? n : close + 1;
            tokens.push_back(sqliteQuotedName(sql.mid(i + 1, end - i - 2)));
            i = end;
        } else if (c == u'?') {
            take(Token::Mark, runOf(i + 1, [](QChar x) { return x.isDigit(); }));
        } else if (c.isLetter() || c == u'_') {
            take(Token::Word, runOf(i + 1, isWordChar));
        } else if (c.isDigit() || (c == u'.' && next.isDigit())) {
            take(Token::Number, runOf(i + 1, [](QChar x) { return x.isLetterOrNumber() || x == u'.'; }));
        } else {
            take(Token::Sign, twoCharSigns.contains(sql.mid(i, 2)) ? i + 2 : i + 1);
        }
    }
    return tokens;
}

// The translation's state: the tokens, and what is written after some of them (a closing
// parenthesis, the end of a statement) once the writing gets there.
struct Translation {
    Tokens tokens;
    std::map<size_t, QString> after;

    // The first token from `i` that is not white space or a comment.
    size_t significant(size_t i) const
    {
        while (i < tokens.size() && tokens[i].kind == Token::Space)
            ++i;
        return i;
    }
    bool is(size_t i, QLatin1String text) const
    {
        return i < tokens.size() && tokens[i].kind != Token::Literal && tokens[i].kind != Token::Name
               && tokens[i].text.compare(text, Qt::CaseInsensitive) == 0;
    }
    bool isAnyOf(size_t i, std::initializer_list<const char*> texts) const
    {
        return std::any_of(texts.begin(), texts.end(),
                           [&](const char* t) { return is(i, QLatin1String(t)); });
    }
    // The parenthesis that closes the one opened just before `i`.
    std::optional<size_t> closing(size_t i) const
    {
        for (int depth = 1; i < tokens.size(); ++i) {
            depth += is(i, QLatin1String("(")) ? 1 : is(i, QLatin1String(")")) ? -1 : 0;
            if (depth == 0)
                return i;
        }
        return std::nullopt;
    }
    // The last significant token of the statement that goes on at `i`: before its semicolon,
    // or the text's end, and before any comment there.
    size_t statementEnd(size_t i) const
    {
        size_t last = i;
        for (int depth = 0; i < tokens.size(); ++i) {
            if (tokens[i].kind == Token::Space)
                continue;
            if (depth == 0 && is(i, QLatin1String(";")))
                break;
            depth += is(i, QLatin1String("(")) ? 1 : is(i, QLatin1String(")")) ? -1 : 0;
            last = i;
        }
        return last;
    }
};

// What a rule does besides its replacement, given the first token after what it matched; false
// where the rule does not hold there after all, and the words stay as written.
using Action = bool (*)(Translation&, size_t next);

struct Rule {
    const char* pattern;     // words and signs separated by spaces; letter case is ignored
    const char* replacement;
    Action action = nullptr;
};

// The tables the program writes with INSERT OR REPLACE, and the key whose conflict replaces
// the row. A table not named here keeps OR REPLACE, which the server refuses: no key is guessed.
const std::map<QString, QStringList>& replacedKeys()
{
    static const std::map<QString, QStringList> keys = {
        {QStringLiteral("tblrentterms"), {QStringLiteral("TenantID")}},
        {QStringLiteral("tblrentpayment"), {QStringLiteral("FinanceID")}},
        {QStringLiteral("tblmileagerate"), {QStringLiteral("TaxYear")}},
        {QStringLiteral("tblfileaccount"), {QStringLiteral("Account")}},
        {QStringLiteral("tblcsvmapping"), {QStringLiteral("Name")}},
    };
    return keys;
}

bool ignoreConflicts(Translation& t, size_t next)
{
    t.after[t.statementEnd(next)] += QStringLiteral(" ON CONFLICT DO NOTHING");
    return true;
}

// The file's REPLACE removes the row of the same key and writes the new one; here the row of
// that key takes the new values of every column the statement names, the key's own among them
// (a case-blind key keeps the spelling last written, as in the file). A column the statement
// leaves out keeps its value rather than going back to its default, and the row keeps its ID:
// the program names every column of these tables but the ID, and finds their rows by the key.
bool replaceConflicts(Translation& t, size_t next)
{
    const size_t table = t.significant(next);
    if (table >= t.tokens.size() || t.tokens[table].kind != Token::Word)
        return false;
    const auto key = replacedKeys().find(t.tokens[table].text.toLower());
    const size_t open = t.significant(table + 1);
    if (key == replacedKeys().end() || !t.is(open, QLatin1String("(")))
        return false;
    QStringList sets;
    for (size_t i = t.significant(open + 1); i < t.tokens.size() && !t.is(i, QLatin1String(")"));
         i = t.significant(i + 1)) {
        if (t.tokens[i].kind == Token::Word)
            sets.append(QStringLiteral("%1 = EXCLUDED.%1").arg(t.tokens[i].text));
    }
    t.after[t.statementEnd(next)] +=
        QStringLiteral(" ON CONFLICT (%1) ").arg(key->second.join(QStringLiteral(", ")))
        + QStringLiteral("DO UPDATE SET ") + sets.join(QStringLiteral(", "));
    return true;
}

// TOTAL() is the sum, 0 over no rows or only NULLs.
bool sumOrZero(Translation& t, size_t next)
{
    const std::optional<size_t> close = t.closing(next);
    if (!close)
        return false;
    t.after[*close] += QStringLiteral(", 0)");
    return true;
}

// "a IS b" and "a IS NOT b" compare two values, NULLs equal; before NULL, TRUE or FALSE they are
// the server's own tests and stay.
bool betweenValues(Translation& t, size_t next)
{
    return !t.isAnyOf(t.significant(next), {"NULL", "NOT", "TRUE", "FALSE", "UNKNOWN", "DISTINCT"});
}

// "WHERE 1" as the whole condition, or the first of several joined by AND.
bool wholeCondition(Translation& t, size_t next)
{
    const size_t i = t.significant(next);
    return i >= t.tokens.size()
           || t.isAnyOf(i, {"AND", "OR", "ORDER", "GROUP", "LIMIT", "HAVING", ")", ";"});
}

// The file sorts NULL before every value, the server after it: each term of an ordering says
// where NULLs go, as the file puts them, so that lists keep their order. A key (ID, rowid) is
// never NULL and stays as it is, so that the server still reads pages of rows in its index.
bool nullsAsInFile(Translation& t, size_t next)
{
    std::vector<size_t> term; // the significant tokens of the term being read
    auto finish = [&] {
        if (term.empty())
            return;
        const bool desc = t.is(term.back(), QLatin1String("DESC"));
        const size_t valueEnd = t.isAnyOf(term.back(), {"ASC", "DESC"}) ? term.size() - 1 : term.size();
        const bool key = valueEnd > 0 && t.isAnyOf(term[valueEnd - 1], {"ID", "rowid"})
                         && (valueEnd == 1 || (valueEnd == 3 && t.is(term[1], QLatin1String("."))));
        const bool given = term.size() > 1 && t.isAnyOf(term.back(), {"FIRST", "LAST"});
        if (!key && !given)
            t.after[term.back()].prepend(desc ? QStringLiteral(" NULLS LAST")
                                              : QStringLiteral(" NULLS FIRST"));
        term.clear();
    };
    int depth = 0;
    for (size_t i = t.significant(next); i < t.tokens.size(); i = t.significant(i + 1)) {
        if (depth == 0 && t.isAnyOf(i, {")", ";", "LIMIT", "OFFSET"}))
            break;
        if (depth == 0 && t.is(i, QLatin1String(","))) {
            finish();
            continue;
        }
        depth += t.is(i, QLatin1String("(")) ? 1 : t.is(i, QLatin1String(")")) ? -1 : 0;
        term.push_back(i);
    }
    finish();
    return true;
}

// The mechanical rules of every statement, tried in this order at each token.
const Rule statementRules[] = {
    {"INSERT OR IGNORE INTO", "INSERT INTO", ignoreConflicts},
    {"INSERT OR REPLACE INTO", "INSERT INTO", replaceConflicts},
    {"REPLACE INTO", "INSERT INTO", replaceConflicts},
    {"IFNULL (", "COALESCE("},
    {"TOTAL (", "COALESCE(SUM(", sumOrZero},
    {"last_insert_rowid ( )", "lastval()"},
    // Every table the record sets open keys its rows by its counter ID, the file's rowid.
    {"rowid", "ID"},
    {"IS NOT", "IS DISTINCT FROM", betweenValues},
    {"IS", "IS NOT DISTINCT FROM", betweenValues},
    {"WHERE 1", "WHERE TRUE", wholeCondition},
    {"LIMIT - 1", "LIMIT ALL"},
    {"ORDER BY", "ORDER BY", nullsAsInFile},
    {"==", "="},
};

// The column types of the schema steps; the domains are made by the prologue.
const Rule schemaRules[] = {
    {"INTEGER PRIMARY KEY AUTOINCREMENT", "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"},
    {"INTEGER", "BIGINT"},
    {"DATE", "halvo_date"},
    {"TIME", "halvo_time"},
    {"BLOB", "BYTEA"},
    {"REAL", "DOUBLE PRECISION"},
    {"WITHOUT ROWID", ""},
};

// The last token of `rule`'s pattern where it matches from `i`.
std::optional<size_t> match(const Translation& t, size_t i, const Rule& rule)
{
    const QStringList words = QString::fromLatin1(rule.pattern).split(u' ');
    size_t at = i;
    for (qsizetype w = 0; w < words.size(); ++w) {
        if (w > 0)
            at = t.significant(at + 1);
        const bool ruleText = at < t.tokens.size() && t.tokens[at].kind != Token::Mark;
        if (!ruleText || !t.is(at, QLatin1String(words[w].toLatin1())))
            return std::nullopt;
    }
    return at;
}

template <size_t N>
std::optional<size_t> applyFirst(Translation& t, size_t i, const Rule (&rules)[N], QString& out)
{
    for (const Rule& rule : rules) {
        const std::optional<size_t> last = match(t, i, rule);
        if (last && (!rule.action || rule.action(t, *last + 1))) {
            out += QLatin1String(rule.replacement);
            return last;
        }
    }
    return std::nullopt;
}

QString translate(const QString& sql, bool schema)
{
    Translation t{scan(sql), {}};
    QString out;
    int marks = 0;
    for (size_t i = 0; i < t.tokens.size(); ++i) {
        const Token& token = t.tokens[i];
        std::optional<size_t> last;
        if (token.kind == Token::Word || token.kind == Token::Sign || token.kind == Token::Number) {
            if (schema)
                last = applyFirst(t, i, schemaRules, out);
            if (!last)
                last = applyFirst(t, i, statementRules, out);
        }
        if (last) {
            for (size_t j = i; j < *last; ++j)
                if (auto a = t.after.find(j); a != t.after.end())
                    out += a->second;
            i = *last;
        } else if (token.kind == Token::Mark) {
            // "?5" is the fifth value; a plain "?" the one after the highest so far.
            const int number = token.text.size() > 1 ? token.text.mid(1).toInt() : marks + 1;
            marks = std::max(marks, number);
            out += QLatin1Char('$') + QString::number(number);
        } else {
            out += token.text;
        }
        if (auto a = t.after.find(i); a != t.after.end())
            out += a->second;
    }
    return out;
}

} // namespace

QString postgresStatement(const QString& sql) { return translate(sql, false); }

QString postgresSchema(const QString& sql) { return translate(sql, true); }

} // namespace halvo::detail
