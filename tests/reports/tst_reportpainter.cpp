#include <reports/runtime/reportpainter.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace lexordo;
using namespace lexordo::report;

// The painting step: a PDF whose text reads back as laid out, and the
// same page as a picture for the preview.
class TestReportPainter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pdfReadsBackAsLaidOut();
    void pdfReplacesAnOldFileAndFailsCleanly();
    void pageImageShowsTheInk();

private:
    static ReportDocument sample(int rows);
    static QString pdfText(const QString &path);
};

void TestReportPainter::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QFAIL("pdftotext (poppler-utils) is needed to read the PDF back");
}

ReportDocument TestReportPainter::sample(int rows)
{
    ReportLayout layout(QStringLiteral("drSample"));
    layout.setCaption(QStringLiteral("Sample Report"));
    layout.addSection(SectionKind::ReportHeader, QStringLiteral("Section1"), 16)
        .frame(QRectF(40, 1, 100, 12), 0.5)
        .label(QStringLiteral("Date:"), QRectF(45, 3, 20, 7), TextStyle().size(13).strong())
        .namedLabel(QStringLiteral("lblDate1"), QRectF(66, 3, 40, 7), TextStyle().size(13).strong());
    layout.addSection(SectionKind::PageHeader, QStringLiteral("PageHeader"), 8)
        .label(QStringLiteral("Parties"), QRectF(0, 1, 60, 5), TextStyle().strong());
    layout.addSection(SectionKind::Detail, QStringLiteral("Detail"), 6)
        .field(QStringLiteral("party"), QRectF(0, 1, 60, 4));
    layout.addSection(SectionKind::PageFooter, QStringLiteral("PageFooter"), 8)
        .label(QStringLiteral("Page %p of %P"), QRectF(0, 2, 186, 5),
               TextStyle().align(Qt::AlignHCenter));
    layout.addSection(SectionKind::ReportFooter, QStringLiteral("Section2"), 10)
        .label(QStringLiteral("Note:  "), QRectF(0, 2, 14, 5))
        .namedLabel(QStringLiteral("lblHdays"), QRectF(14, 2, 172, 5));
    layout.setLabel(QStringLiteral("section1"), QStringLiteral("lbldate1"),
                    QStringLiteral("07/12/2026"));
    layout.setLabel(QStringLiteral("section2"), QStringLiteral("lblhdays"),
                    QStringLiteral("  25/12/2026-Christmas,   01/01/2027-New Year, "));

    ResultTable table;
    table.columns = {QStringLiteral("party")};
    for (int i = 1; i <= rows; ++i)
        table.rows << QVariantList{QStringLiteral("D'Souza %1").arg(i)};
    return layOut(layout, ReportData::flat(table));
}

QString TestReportPainter::pdfText(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

void TestReportPainter::pdfReadsBackAsLaidOut()
{
    const ReportDocument document = sample(70);
    QCOMPARE(document.pageCount(), 2);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QString error;
    QVERIFY2(writePdf(document, path, &error), qPrintable(error));

    const QString text = pdfText(path);
    const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(pages.size() - (pages.last().trimmed().isEmpty() ? 1 : 0), 2);
    QVERIFY(pages[0].contains(QStringLiteral("Date:")));
    QVERIFY(pages[0].contains(QStringLiteral("07/12/2026")));
    QVERIFY(pages[0].contains(QStringLiteral("Page 1 of 2")));
    QVERIFY(pages[1].contains(QStringLiteral("Page 2 of 2")));
    QVERIFY(pages[1].contains(QStringLiteral("Parties"))); // the page header again
    QVERIFY(pages[1].contains(QStringLiteral("25/12/2026-Christmas,")));
    QVERIFY(pages[1].contains(QStringLiteral("01/01/2027-New Year,")));
    // Every row, apostrophes and all, on the page the layout put it.
    for (int page = 0; page < 2; ++page) {
        for (const QString &party : document.pages[page].texts(QStringLiteral("Detail")))
            QVERIFY2(pages[page].contains(party), qPrintable(party));
    }
}

void TestReportPainter::pdfReplacesAnOldFileAndFailsCleanly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an old file");
    }
    QVERIFY(writePdf(sample(3), path));
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.read(5) == "%PDF-");

    const QString nowhere = dir.filePath(QStringLiteral("no such folder/report.pdf"));
    QString error;
    QVERIFY(!writePdf(sample(3), nowhere, &error));
    QVERIFY2(error.contains(nowhere), qPrintable(error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("report.pdf")});
}

void TestReportPainter::pageImageShowsTheInk()
{
    const ReportDocument document = sample(3);
    const QImage image = renderPage(document, 0, 72);
    QCOMPARE(image.size(), QSize(595, 842));
    auto dark = [&image](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    auto inkIn = [&](const QRectF &mm) {
        const QRect r(qRound(mm.left() / 25.4 * 72), qRound(mm.top() / 25.4 * 72),
                      qRound(mm.width() / 25.4 * 72), qRound(mm.height() / 25.4 * 72));
        int count = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                count += dark(x, y) ? 1 : 0;
        return count;
    };
    const PlacedItem *date = document.pages[0].find(QStringLiteral("Section1"),
                                                     QStringLiteral("lblDate1"));
    QVERIFY(date);
    QVERIFY(inkIn(date->rect) > 20);
    // The frame: ink on its top edge, none in the margin above it.
    const QRectF frame(52, 13, 100, 12); // the frame at 40,1 plus the 12 mm margins
    QVERIFY(inkIn(QRectF(frame.left() + 20, frame.top() - 0.3, 40, 0.6)) > 20);
    QCOMPARE(inkIn(QRectF(frame.left(), 2, 100, 8)), 0);
    QCOMPARE(renderPage(document, 5, 72), QImage());
}

QTEST_MAIN(TestReportPainter)
#include "tst_reportpainter.moc"
