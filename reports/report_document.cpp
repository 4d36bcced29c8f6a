#include "report_document.h"
#include "report_paper.h"

#include "data/dates.h"
#include "data/display_text.h"
#include "data/money.h"
#include "data/row_source.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QTextLayout>

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace halvo {

namespace {

using detail::Face;
using detail::Slack;
using detail::TwipsPerPoint;
using detail::reportFace;

constexpr qreal Unbounded = std::numeric_limits<qreal>::max();
// No real report comes near this; a layout that would is refused rather than paged for ever.
constexpr int MostPages = 1'000'000;

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator
           || c == QChar::ParagraphSeparator;
}

// A text that is not wrapped stands on one line: its line breaks print as blanks.
QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar& c : text)
        if (isLineBreak(c))
            c = QLatin1Char(' ');
    return text;
}

// Where a page begins: the row printed first, and how far into that row's band an earlier page
// has printed it already (a band taller than a page is printed in slices).
struct PageStart {
    int row = 0;
    qreal from = 0;
};

struct PageEnd {
    PageStart next;
    bool finished = false; // the report footer is on this page
};

// A control laid out in its section for one row: the item it prints, in the section's own
// coordinates (left from the sheet's edge, top from the section's top), with a wrapped text's
// lines.
struct Piece {
    ReportItem item;
    QStringList lines;
    qreal lineSpacing = 0;
};

struct Band {
    qreal height = 0;
    std::vector<Piece> pieces;
};

// A sum of one field over all rows, exact for money.
struct Total {
    int column = -1;
    ColumnKind kind = ColumnKind::Text;
    Money money;
    qlonglong whole = 0;
    double real = 0;
    bool anyReal = false;
    bool overflow = false;

    void add(const QVariant& v)
    {
        if (v.metaType() == QMetaType::fromType<Money>()) {
            std::int64_t units = 0;
            if (__builtin_add_overflow(money.units(), v.value<Money>().units(), &units))
                overflow = true;
            else
                money = Money::fromUnits(units);
        } else if (kind == ColumnKind::Money) {
            // A value in another form than money in a money column is not counted: a total
            // of money stays exact.
        } else if (v.metaType().id() == QMetaType::LongLong) {
            if (__builtin_add_overflow(whole, v.toLongLong(), &whole))
                overflow = true;
        } else if (v.metaType().id() == QMetaType::Double) {
            real += v.toDouble();
            anyReal = true;
        }
    }

    QVariant value() const
    {
        if (kind == ColumnKind::Money)
            return QVariant::fromValue(money);
        if (anyReal)
            return QVariant(double(whole) + real);
        return QVariant(whole);
    }
};

} // namespace

struct ReportDocument::Private {
    Private(ReportLayout l, const RowSource& r, QDate d)
        : layout(std::move(l)), rows(r), today(d),
          faces{Face(ReportFont::Body), Face(ReportFont::Heading), Face(ReportFont::Title),
                Face(ReportFont::Caption)}
    {
    }

    ReportLayout layout;
    const RowSource& rows;
    QDate today;
    std::array<Face, 4> faces;

    QPageSize pageSize;
    QSizeF sheet; // twips
    // All that is kept of the laid-out report: where each page begins, and the totals.
    std::vector<PageStart> pages;
    QHash<QString, QString> sumTexts; // by section and control name
    bool detailGrows = false;
    int newPageColumn = -1; // the layout's new-page field, when the rows have it

    const Face& face(ReportFont f) const { return faces[size_t(f)]; }
    qreal top() const { return layout.margin; }
    qreal footerTop() const
    {
        return sheet.height() - layout.margin - layout.pageFooter.height;
    }

    static QString sumKey(const ReportSection& s, const ReportControl& c)
    {
        return s.name + QLatin1Char('/') + c.name;
    }

    QString fieldText(const ReportControl& c, int row) const
    {
        const int column = rows.columnIndex(c.text);
        // A field the record set does not deliver prints nothing.
        if (column < 0 || row < 0 || row >= rows.recordCount())
            return {};
        return displayText(rows.valueAt(row, column), rows.columns().at(column).kind, c.format);
    }

    QString textOf(const ReportSection& s, const ReportControl& c, int row) const
    {
        switch (c.kind) {
        case ReportControlKind::Label: {
            QString caption = c.text;
            // The long date form is the program's one ("07 December, 2026"), never the locale's.
            caption.replace(QLatin1String("%D"), Dates::format(today, Dates::LongDate));
            caption.replace(QLatin1String("%i"), layout.title);
            return caption;
        }
        case ReportControlKind::TextBox: return fieldText(c, row);
        case ReportControlKind::Sum: return sumTexts.value(sumKey(s, c));
        case ReportControlKind::Line: break;
        }
        return {};
    }

    // The lines a text takes in a width, broken between words where it can and inside a word
    // only where a word alone is wider than the box, so that nothing of it is lost.
    QStringList wrap(const QString& text, ReportFont f, qreal width) const
    {
        if (text.isEmpty())
            return {};
        QString t = text;
        t.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
        for (QChar& c : t)
            if (isLineBreak(c))
                c = QChar::LineSeparator;
        QTextLayout layout(t, face(f).font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        QStringList lines;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            QString part = t.mid(line.textStart(), line.textLength());
            while (!part.isEmpty() && (part.back().isSpace() || isLineBreak(part.back())))
                part.chop(1);
            lines.append(part);
        }
        layout.endLayout();
        while (!lines.isEmpty() && lines.back().isEmpty())
            lines.removeLast();
        return lines;
    }

    // A box's text stops where the box of another text in its row begins inside it, as if
    // that box were painted over it: the layouts' columns reach into their neighbours (the
    // nickname's box runs 132 twips into the date's) and a long value would overprint the next.
    // A left-aligned text that does not grow may also run on past its box into the free space up
    // to the next box in its row (or the report's edge), so that a value a little wider than its
    // column ("10:00:00 AM" in a time column of 864 twips) is not cut mid-letter.
    int visibleRight(const ReportSection& s, const ReportControl& c) const
    {
        int right = c.left + c.width;
        if (c.kind == ReportControlKind::Line)
            return right;
        const bool runsOn = !c.growsDown && !(c.alignment & (Qt::AlignRight | Qt::AlignHCenter));
        int next = runsOn ? std::max(right, layout.width) : right;
        for (const ReportControl& other : s.controls) {
            if (&other == &c || other.kind == ReportControlKind::Line)
                continue;
            const bool sameRow = other.top < c.top + c.height && c.top < other.top + other.height;
            if (sameRow && other.left > c.left && other.left < next)
                next = other.left;
        }
        return runsOn ? next : std::min(right, next);
    }

    Band band(const ReportSection& s, int row) const
    {
        Band b;
        b.height = s.height;
        const bool isDetail = &s == &layout.detail;
        b.pieces.reserve(size_t(s.controls.size()));
        for (const ReportControl& c : s.controls) {
            Piece p;
            ReportItem& item = p.item;
            item.kind = c.kind;
            item.section = s.name;
            item.control = c.name;
            item.row = isDetail ? row : -1;
            item.font = c.font;
            item.alignment = c.alignment;
            item.rect = QRectF(layout.margin + c.left, c.top, c.width,
                               c.kind == ReportControlKind::Line ? 0 : c.height);
            item.clip = item.rect;
            item.clip.setRight(visibleRight(s, c) + layout.margin);
            const QString text = textOf(s, c, row);
            if (c.kind == ReportControlKind::TextBox && c.growsDown) {
                p.lines = wrap(text, c.font, c.width);
                p.lineSpacing = face(c.font).metrics.lineSpacing();
            }
            if (!p.lines.isEmpty()) {
                // The box grows to its lines and pushes the section's bottom down with it.
                item.wraps = true;
                item.rect.setHeight(p.lines.size() * p.lineSpacing);
                b.height = std::max(b.height, s.height + item.rect.height() - c.height);
            } else {
                item.text = oneLine(text);
            }
            b.pieces.push_back(std::move(p));
        }
        return b;
    }

    bool beginsGroup(int row) const
    {
        return newPageColumn >= 0 && row > 0
               && rows.valueAt(row, newPageColumn) != rows.valueAt(row - 1, newPageColumn);
    }

    qreal detailHeight(int row) const
    {
        return detailGrows ? band(layout.detail, row).height : layout.detail.height;
    }

    // Puts the part of a band from `from` up to `to` (section coordinates) on the page, its
    // `from` at the page's `y`. An item belongs to the slice its top falls in; a wrapped text
    // is dealt out line by line.
    static void place(const Band& b, qreal y, qreal from, qreal to, QList<ReportItem>* out)
    {
        if (!out)
            return;
        const qreal shift = y - from;
        for (const Piece& p : b.pieces) {
            if (!p.item.wraps) {
                const qreal t = p.item.rect.top();
                if (t >= from && t < to) {
                    ReportItem item = p.item;
                    item.rect.translate(0, shift);
                    item.clip.translate(0, shift);
                    out->append(std::move(item));
                }
                continue;
            }
            QStringList shown;
            qreal firstTop = 0;
            for (int i = 0; i < p.lines.size(); ++i) {
                const qreal t = p.item.rect.top() + i * p.lineSpacing;
                if (t >= from && t < to) {
                    if (shown.isEmpty())
                        firstTop = t;
                    shown.append(p.lines.at(i));
                }
            }
            if (shown.isEmpty())
                continue;
            ReportItem item = p.item;
            item.text = shown.join(QLatin1Char('\n'));
            item.rect.setTop(firstTop + shift);
            item.rect.setHeight(shown.size() * p.lineSpacing);
            item.clip.setTop(item.rect.top());
            item.clip.setHeight(item.rect.height());
            out->append(std::move(item));
        }
    }

    // Where to end a slice of a band that is cut at `limit` at the latest: above any line or
    // one-line text that the cut would go through, so that no text is printed in halves.
    static qreal cutAt(const Band& b, qreal from, qreal limit)
    {
        qreal end = limit;
        for (bool moved = true; moved;) {
            moved = false;
            auto pullAbove = [&](qreal t, qreal bottom) {
                if (t > from && t < end && bottom > end + Slack) {
                    end = t;
                    moved = true;
                }
            };
            for (const Piece& p : b.pieces) {
                if (p.item.kind == ReportControlKind::Line)
                    continue;
                if (!p.item.wraps) {
                    pullAbove(p.item.rect.top(), p.item.rect.bottom());
                    continue;
                }
                for (int i = 0; i < p.lines.size(); ++i) {
                    const qreal t = p.item.rect.top() + i * p.lineSpacing;
                    pullAbove(t, t + p.lineSpacing);
                }
            }
        }
        return end;
    }

    void placeSection(const ReportSection& s, int row, qreal y, QList<ReportItem>* out) const
    {
        if (out)
            place(band(s, row), y, 0, Unbounded, out);
    }

    // Lays one page out from where it begins, and says where the next begins. With no list to
    // fill it only measures: that is how the report is paginated, reading no more of a row than
    // its height needs.
    PageEnd layOutPage(int page, PageStart start, QList<ReportItem>* out) const
    {
        const int count = rows.recordCount();
        const qreal bottom = footerTop();
        // The room a page after the first has for rows.
        const qreal laterBody = bottom - top() - layout.pageHeader.height;
        qreal y = top();
        if (page == 0) {
            placeSection(layout.reportHeader, count > 0 ? 0 : -1, y, out);
            y += layout.reportHeader.height;
        }
        placeSection(layout.pageHeader, start.row < count ? start.row : count - 1, y, out);
        y += layout.pageHeader.height;
        const qreal bodyTop = y;

        PageEnd end;
        int row = start.row;
        qreal from = start.from;
        int lastRow = count - 1;
        auto finishPage = [&] {
            placeSection(layout.pageFooter, lastRow, bottom, out);
            return end;
        };
        for (; row < count; ++row, from = 0) {
            if (row > start.row && beginsGroup(row))
                break;
            const qreal height = detailHeight(row);
            const qreal rest = height - from;
            if (y + rest <= bottom + Slack) {
                if (out)
                    place(band(layout.detail, row), y, from, Unbounded, out);
                y += rest;
                continue;
            }
            // A band that fits on an empty page goes to the next page whole.
            if (y > bodyTop + Slack && rest <= laterBody + Slack)
                break;
            // One taller than a page is printed in slices, as much on this page as fits.
            const Band b = band(layout.detail, row);
            qreal cut = cutAt(b, from, from + (bottom - y));
            if (cut <= from + Slack) {
                if (y > bodyTop + Slack)
                    break;
                cut = from + (bottom - y); // a single line taller than the page: cut it
            }
            place(b, y, from, cut, out);
            lastRow = row;
            end.next = PageStart{row, cut};
            return finishPage();
        }
        lastRow = row - 1;
        if (row < count) {
            end.next = PageStart{row, 0};
            return finishPage();
        }
        // After the last row, the report footer, on the next page when it does not fit here;
        // on a page with no rows it is printed whatever its height, since no page holds more.
        const bool fits = y + layout.reportFooter.height <= bottom + Slack;
        const bool pageHasRows = y > bodyTop + Slack;
        if (fits || !pageHasRows) {
            placeSection(layout.reportFooter, count - 1, y, out);
            end.finished = true;
        } else {
            end.next = PageStart{count, 0};
        }
        return finishPage();
    }

    Status computeSums()
    {
        sumTexts.clear();
        struct Use {
            const ReportSection* section;
            const ReportControl* control;
            QString field;
        };
        std::vector<Use> uses;
        QHash<QString, Total> totals; // by field, without regard to letter case
        for (const ReportSection* s : {&layout.reportHeader, &layout.pageHeader, &layout.detail,
                                       &layout.pageFooter, &layout.reportFooter})
            for (const ReportControl& c : s->controls) {
                if (c.kind != ReportControlKind::Sum)
                    continue;
                const QString field = c.text.toLower();
                uses.push_back({s, &c, field});
                if (totals.contains(field))
                    continue;
                Total t;
                t.column = rows.columnIndex(c.text);
                if (t.column >= 0)
                    t.kind = rows.columns().at(t.column).kind;
                totals.insert(field, t);
            }
        if (uses.empty())
            return {};
        std::vector<Total*> counted;
        for (Total& t : totals)
            if (t.column >= 0)
                counted.push_back(&t);
        const int count = rows.recordCount();
        for (int row = 0; row < count; ++row)
            for (Total* t : counted)
                t->add(rows.valueAt(row, t->column));
        for (const Use& u : uses) {
            const Total& t = totals[u.field];
            if (t.overflow)
                return Error{QStringLiteral("The total of %1 is too large to print.")
                                 .arg(u.control->text)};
            // A sum of a field the rows do not have, or over no rows, prints the zero of its
            // kind ("$0.00"), as a total of nothing is nothing.
            sumTexts.insert(sumKey(*u.section, *u.control),
                            displayText(t.value(), t.kind, u.control->format));
        }
        return {};
    }

};

ReportDocument::ReportDocument(ReportLayout layout, const RowSource& rows, QDate today)
    : d(std::make_unique<Private>(std::move(layout), rows, today))
{
}

ReportDocument::~ReportDocument() = default;

void ReportDocument::paintPage(QPainter& painter, int page) const
{
    detail::paintItems(painter, pageItems(page), d->faces);
}

Status ReportDocument::paginate(const QPageSize& pageSize)
{
    d->pages.clear();
    d->sumTexts.clear();
    if (!pageSize.isValid())
        return Error{QStringLiteral("The paper size is not known.")};
    d->pageSize = pageSize;
    d->sheet = pageSize.size(QPageSize::Point) * TwipsPerPoint;
    const ReportLayout& l = d->layout;
    const qreal firstBody = d->footerTop() - d->top() - l.reportHeader.height
                            - l.pageHeader.height;
    const qreal laterBody = d->footerTop() - d->top() - l.pageHeader.height;
    if (firstBody <= 0 || laterBody <= 0)
        return Error{QStringLiteral("The report's headers and footer leave no room for its rows "
                                    "on the page.")};
    d->detailGrows = std::any_of(l.detail.controls.begin(), l.detail.controls.end(),
                                 [](const ReportControl& c) {
                                     return c.kind == ReportControlKind::TextBox && c.growsDown;
                                 });
    d->newPageColumn = l.newPageField.isEmpty() ? -1 : d->rows.columnIndex(l.newPageField);
    if (Status s = d->computeSums(); !s)
        return s;

    PageStart start;
    for (int page = 0; page < MostPages; ++page) {
        d->pages.push_back(start);
        const PageEnd end = d->layOutPage(page, start, nullptr);
        if (end.finished)
            return {};
        const bool advanced = end.next.row > start.row
                              || (end.next.row == start.row && end.next.from > start.from);
        if (!advanced)
            break; // no progress: stop rather than page for ever
        start = end.next;
    }
    d->pages.clear();
    return Error{QStringLiteral("The report could not be laid out on pages.")};
}

const ReportLayout& ReportDocument::layout() const { return d->layout; }

int ReportDocument::pageCount() const { return int(d->pages.size()); }

QPageSize ReportDocument::pageSize() const { return d->pageSize; }

QSizeF ReportDocument::pageSizeTwips() const { return d->sheet; }

qreal ReportDocument::lineSpacing(ReportFont font)
{
    return QFontMetricsF(reportFace(font)).lineSpacing();
}

QList<ReportItem> ReportDocument::pageItems(int page) const
{
    QList<ReportItem> items;
    if (page < 0 || page >= pageCount())
        return items;
    d->layOutPage(page, d->pages[size_t(page)], &items);
    return items;
}

} // namespace halvo
