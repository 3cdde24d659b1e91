// Checking the court's list against the diary: a 300-page PDF list of 30,000
// items in two columns, read with Poppler, its case numbers found in one pass
// and looked up among the diary's cases around the day. bench/run.sh times
// `pdftotext -layout` on the same file beside it.
//
// The list is written once to LEXORDO_BENCH_LIST (by default
// bench-courtlist.pdf in the working folder) and kept for run.sh.

#include "benchdatabase.h"
#include "benchmain.h"

#include <benchmark/benchmark.h>
#include <data/database.h>
#include <data/sqlquery.h>
#include <diary/causeliststore.h>
#include <diary/courtlistcheck.h>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>

using namespace lexordo;

namespace {

constexpr int pages = 300;
constexpr int itemsPerPage = 100; // two columns of 50

QString listPath()
{
    const QString fromEnvironment = qEnvironmentVariable("LEXORDO_BENCH_LIST");
    return fromEnvironment.isEmpty() ? QStringLiteral("bench-courtlist.pdf") : fromEnvironment;
}

// The office's cases due on the day, and others of the diary, scattered among
// numbers of other offices, printed in the forms courts use.
QStringList diaryNumbers(const QDate &day)
{
    QStringList numbers;
    SqlQuery stmt(QStringLiteral("SELECT DISTINCT caseno FROM advocate WHERE ndate = ?1 "
                                 "OR cdate = ?1 UNION SELECT caseno FROM (SELECT caseno "
                                 "FROM advocate WHERE cdate >= ?2 LIMIT 400)"));
    stmt.bind(1, day);
    stmt.bind(2, day.addMonths(-2));
    while (stmt.next())
        numbers << stmt.text(0);
    return numbers;
}

void writeList(const QString &path, const QDate &day)
{
    const QStringList office = diaryNumbers(day);
    const QStringList types = {"O.S.", "C.S.",   "Crl.A.", "W.P.(C)",
                               "MACT", "R.S.A.", "CRP",    "E.P."};
    const QStringList forms = {"%1 %2/%3", "%1 No. %2 of %3", "%1/%2/%3", "%1 %2-%3"};
    QRandomGenerator random(20270305);
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    QPainter painter(&writer);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(6.5);
    painter.setFont(font);
    const int width = writer.width();
    const int lineHeight = writer.height() / 54;
    int item = 0;
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.drawText(0, lineHeight,
                         QStringLiteral("COURT HALL %1   CAUSE LIST").arg(page / 10 + 1));
        for (int column = 0; column < 2; ++column) {
            for (int line = 0; line < itemsPerPage / 2; ++line) {
                ++item;
                QString number;
                if (!office.isEmpty() && random.bounded(60) == 0) {
                    number = office[random.bounded(int(office.size()))];
                } else {
                    number = forms[random.bounded(int(forms.size()))]
                                 .arg(types[random.bounded(int(types.size()))])
                                 .arg(random.bounded(1, 5000))
                                 .arg(random.bounded(2005, 2027));
                }
                painter.drawText(column * width / 2, (line + 3) * lineHeight,
                                 QStringLiteral("%1. %2  Ramesh Kumar v. State of Haryana")
                                     .arg(item)
                                     .arg(number));
            }
        }
    }
}

QDate benchDay()
{
    return bench::benchToday();
}

void prepare()
{
    bench::openBenchDatabase();
    const QString path = listPath();
    if (!QFileInfo::exists(path))
        writeList(path, benchDay());
}

void BM_CheckCourtListPdf(benchmark::State &state)
{
    prepare();
    courtlist::CheckResult result;
    for (auto _ : state)
        result = courtlist::checkListFile(benchDay(), listPath());
    state.counters["pages"] = result.pages;
    state.counters["looked_for"] = result.casesLookedFor;
    state.counters["not_in_diary"] = result.notInDiary.size();
    state.counters["listed"] = result.listed.size();
    state.counters["not_listed"] = result.notListed.size();
}
BENCHMARK(BM_CheckCourtListPdf)->Unit(benchmark::kMillisecond);

void BM_ReadPdfText(benchmark::State &state)
{
    prepare();
    qsizetype size = 0;
    for (auto _ : state)
        size = courtlist::readListFile(listPath()).text.size();
    state.counters["chars"] = double(size);
}
BENCHMARK(BM_ReadPdfText)->Unit(benchmark::kMillisecond);

void BM_DiaryCaseNumbers(benchmark::State &state)
{
    prepare();
    qsizetype cases = 0;
    for (auto _ : state)
        cases = CauseListStore::caseNumbers().size();
    state.counters["cases"] = double(cases);
}
BENCHMARK(BM_DiaryCaseNumbers)->Unit(benchmark::kMillisecond);

// The list's text read twice (every reading, then the cases looked for) and
// the hearings of the cases it names.
void BM_CheckListText(benchmark::State &state)
{
    prepare();
    const courtlist::ListText list = courtlist::readListFile(listPath());
    std::size_t found = 0;
    for (auto _ : state)
        found = courtlist::checkListText(benchDay(), list).listed.size();
    state.counters["listed"] = double(found);
}
BENCHMARK(BM_CheckListText)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return bench::runWithApplication(argc, argv, [] { Database::close(); });
}
