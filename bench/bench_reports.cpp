// The income and expense report of one year of 10,000 transactions, about 280 pages (targets:
// the preview ready, laid out with its first page painted, within 2 s; the PDF within 1 s; peak
// memory growth small and the same for a year of 1,000 rows as for 10,000), each beside the
// naive way: every page painted into an image before the preview shows, and every page's items
// kept before the PDF is written.

#include "bench/bench_support.h"
#include "data/record_set.h"
#include "reports/report_document.h"
#include "reports/report_layouts.h"
#include "reports/report_preview.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

using namespace halvo;

namespace {

// The income and expense report as the program prints it.
ReportLayout incomeLayout()
{
    ReportLayout l = ReportLayouts::rptIncome();
    l.title = QStringLiteral("Report for All Properties");
    return l;
}

// One year of a ledger over ten years: a tenth of its rows.
struct Year {
    bench::LargeDatabase db;
    Connection connection;
    RecordSet rows;
    explicit Year(long long ledgerRows)
        : db(ledgerRows), connection(Connection::openFile(db.path(), DatabasePassword).value())
    {
        if (!rows.open(connection, QStringLiteral("select * From tblFinance Where RecDate Like "
                                                  "'%2020%' Order By RecDate ASC")))
            std::abort();
    }
};

Year* smallYear = nullptr; // about 1,000 rows
Year* largeYear = nullptr; // about 10,000 rows

template <class Step>
void measure(benchmark::State& state, const Year& year, Step step)
{
    std::vector<double> ms, mb;
    int pages = 0;
    for (auto _ : state) {
        bench::resetPeakMemory();
        const double before = bench::peakMemoryMB();
        QElapsedTimer timer;
        timer.start();
        pages = step();
        ms.push_back(timer.nsecsElapsed() / 1e6);
        mb.push_back(bench::peakMemoryMB() - before);
    }
    state.counters["median_ms"] = bench::median(ms);
    state.counters["peak_growth_MB"] = *std::max_element(mb.begin(), mb.end());
    state.counters["rows"] = year.rows.recordCount();
    state.counters["pages"] = pages;
}

// The preview as the user gets it: laid out, shown, its first page painted.
int previewReady(const Year& year)
{
    Result<ReportPreview*> shown =
        ReportPreview::show(incomeLayout(), year.rows, QDate(2026, 12, 7));
    if (!shown)
        std::abort();
    QApplication::processEvents();
    const int pages = shown.value()->document().pageCount();
    delete shown.value();
    return pages;
}

// The naive preview: every page painted into an image at 100% before the first is shown.
int previewAllPagesUpFront(const Year& year)
{
    ReportDocument document(incomeLayout(), year.rows, QDate(2026, 12, 7));
    if (!document.paginate())
        std::abort();
    std::vector<QImage> pages;
    for (int page = 0; page < document.pageCount(); ++page) {
        QImage image(816, 1056, QImage::Format_ARGB32_Premultiplied);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        image.fill(Qt::white);
        QPainter painter(&image);
        document.paintPage(painter, page);
        pages.push_back(std::move(image));
    }
    return int(pages.size());
}

int pdf(const Year& year, bool keepAllItems)
{
    static ReportDocument* document = nullptr;
    static const Year* laidOut = nullptr;
    if (laidOut != &year) {
        delete document;
        document = new ReportDocument(incomeLayout(), year.rows, QDate(2026, 12, 7));
        if (!document->paginate())
            std::abort();
        laidOut = &year;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    if (keepAllItems) {
        // The naive way: the whole report laid out in memory, then written.
        std::vector<QList<ReportItem>> all;
        for (int page = 0; page < document->pageCount(); ++page)
            all.push_back(document->pageItems(page));
        benchmark::DoNotOptimize(all.data());
    }
    if (!document->writePdf(path))
        std::abort();
    return document->pageCount();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Year small(10000), large(100000);
    smallYear = &small;
    largeYear = &large;
    // The toolkit's first window, fonts and style cost once per program, not per report.
    previewReady(small);

    benchmark::RegisterBenchmark("preview ready, a year of 1,000 rows (memory as for 10,000)",
                                 [](benchmark::State& s) {
                                     measure(s, *smallYear, [] { return previewReady(*smallYear); });
                                 })
        ->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("preview ready, a year of 10,000 rows (target 2 s)",
                                 [](benchmark::State& s) {
                                     measure(s, *largeYear, [] { return previewReady(*largeYear); });
                                 })
        ->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("naive: every page painted up front, 10,000 rows",
                                 [](benchmark::State& s) {
                                     measure(s, *largeYear,
                                             [] { return previewAllPagesUpFront(*largeYear); });
                                 })
        ->Unit(benchmark::kMillisecond)->Iterations(2);
    benchmark::RegisterBenchmark("naive: every page painted up front, 1,000 rows",
                                 [](benchmark::State& s) {
                                     measure(s, *smallYear,
                                             [] { return previewAllPagesUpFront(*smallYear); });
                                 })
        ->Unit(benchmark::kMillisecond)->Iterations(2);
    benchmark::RegisterBenchmark("PDF, a year of 10,000 rows (target 1 s)",
                                 [](benchmark::State& s) {
                                     measure(s, *largeYear, [] { return pdf(*largeYear, false); });
                                 })
        ->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("naive: PDF of the whole report laid out in memory first",
                                 [](benchmark::State& s) {
                                     measure(s, *largeYear, [] { return pdf(*largeYear, true); });
                                 })
        ->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
