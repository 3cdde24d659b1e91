#include "support/pdftext.h"
#include "support/testdatabase.h"

#include <data/database.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <reports/runtime/reportpainter.h>

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
    void indianScriptsReadBackFromThePdf();
    void fontsOfEveryScriptAreEmbedded();
    void onlyTextBeyondLatinIsMarked_data();
    void onlyTextBeyondLatinIsMarked();
    void aPdfOfAnotherShapeIsLeftAsItIs();
    void neverWrittenOverTheOpenDatabase();

private:
    static ReportDocument sample(int rows, const QStringList &parties = {});
    static QString run(const QString &program, const QStringList &arguments);
};

void TestReportPainter::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QFAIL("pdftotext (poppler-utils) is needed to read the PDF back");
}

ReportDocument TestReportPainter::sample(int rows, const QStringList &parties)
{
    ReportLayout layout(QStringLiteral("drSample"));
    layout.setCaption(QStringLiteral("Sample Report"));
    layout.addSection(SectionKind::ReportHeader, QStringLiteral("Section1"), 16)
        .frame(QRectF(40, 1, 100, 12), 0.5)
        .label(QStringLiteral("Date:"), QRectF(45, 3, 20, 7), TextStyle().size(13).strong())
        .namedLabel(QStringLiteral("lblDate1"), QRectF(66, 3, 40, 7),
                    TextStyle().size(13).strong());
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
    for (const QString &party : parties)
        table.rows << QVariantList{party};
    return layOut(layout, ReportData::flat(table));
}

QString TestReportPainter::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

namespace {

// Parties as an office in India writes them, one script each.
const QStringList indianParties = {
    QStringLiteral("राम प्रसाद शर्मा"),             // Devanagari (Hindi)
    QStringLiteral("महाराष्ट्र राज्य"),              // Devanagari (Marathi)
    QStringLiteral("முருகன் சுப்பிரமணியம்"),         // Tamil
    QStringLiteral("অমিত বন্দ্যোপাধ্যায়"),           // Bengali
    QStringLiteral("નરેન્દ્ર પટેલ"),                  // Gujarati
    QStringLiteral("ਗੁਰਪ੍ਰੀਤ ਸਿੰਘ"),                 // Gurmukhi
    QStringLiteral("తెలుగు ప్రజలు"),                // Telugu
    QStringLiteral("ಕನ್ನಡ ರಾಜ್ಯ"),                  // Kannada
    QStringLiteral("മലയാളം കേരളം"),               // Malayalam
    QStringLiteral("ଓଡ଼ିଶା ସରକାର"),                 // Oriya
    QStringLiteral("State of ಕರ್ನಾಟಕ and others"), // Latin and Kannada on one line
};

} // namespace

void TestReportPainter::indianScriptsReadBackFromThePdf()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scripts.pdf"));
    QString error;
    // Enough rows before them that they run on to a second page.
    QVERIFY2(writePdf(sample(60, indianParties), path, &error), qPrintable(error));
    const QString text = run(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    for (const QString &party : indianParties)
        QVERIFY2(text.contains(party), qPrintable(party + QStringLiteral(" in:\n") + text));
    // Latin text reads back as before, beside them.
    QVERIFY(text.contains(QStringLiteral("D'Souza 60")));
    QVERIFY(text.contains(QStringLiteral("Page 2 of 2")));
}

void TestReportPainter::fontsOfEveryScriptAreEmbedded()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fonts.pdf"));
    QVERIFY(writePdf(sample(1, indianParties), path));
    const QStringList fonts = run(QStringLiteral("pdffonts"), {path}).split(u'\n');
    for (const char *script : {"Devanagari", "Tamil", "Bengali", "Gujarati", "Gurmukhi", "Telugu",
                               "Kannada", "Malayalam", "Oriya"}) {
        bool embedded = false;
        for (const QString &line : fonts) {
            const QStringList columns = line.simplified().split(u' ');
            // name, type..., encoding, emb, sub, uni, object, generation
            if (columns.first().contains(QLatin1String(script)) && columns.size() >= 7)
                embedded = embedded || columns[columns.size() - 5] == QStringLiteral("yes");
        }
        QVERIFY2(embedded, qPrintable(QLatin1String(script) + u'\n' + fonts.join(u'\n')));
    }
}

void TestReportPainter::onlyTextBeyondLatinIsMarked_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("marked");
    QTest::newRow("Latin") << "D'Souza & Co., 1/2026" << false;
    QTest::newRow("accented Latin") << "Müller Ltda. São Paulo" << false;
    QTest::newRow("blank") << "   " << false;
    QTest::newRow("Devanagari") << "राम" << true;
    QTest::newRow("Tamil in a Latin line") << "State v. முருகன்" << true;
    QTest::newRow("Urdu") << "اردو" << true;
    QTest::newRow("Devanagari digits") << "१२३" << true;
}

void TestReportPainter::onlyTextBeyondLatinIsMarked()
{
    QFETCH(QString, text);
    QFETCH(bool, marked);
    QCOMPARE(needsActualText(text), marked);
}

void TestReportPainter::aPdfOfAnotherShapeIsLeftAsItIs()
{
    const QList<QList<PaintedLine>> oneLine = {
        {PaintedLine{QPointF(100, 100), QStringLiteral("राम"), 1}}};
    QVERIFY(!withActualText(QByteArray("not a pdf at all"), oneLine));
    QByteArray noise;
    for (int i = 0; i < 5000; ++i)
        noise.append(char(i * 31 % 256));
    QVERIFY(!withActualText(noise, oneLine));

    // A real PDF, but the lines said to be on it do not match its pages.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("one.pdf"));
    QVERIFY(writePdf(sample(1, {QStringLiteral("राम")}), path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QVERIFY(pdf.contains("/Prev"));         // written with its text marked
    QVERIFY(!withActualText(pdf, oneLine)); // marked once already
    QVERIFY(!withActualText(pdf.left(pdf.indexOf("xref")), oneLine));
}

void TestReportPainter::pdfReadsBackAsLaidOut()
{
    const ReportDocument document = sample(70);
    QCOMPARE(document.pageCount(), 2);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QString error;
    QVERIFY2(writePdf(document, path, &error), qPrintable(error));

    const QString text = test::pdfText(path);
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
    const PlacedItem *date =
        document.pages[0].find(QStringLiteral("Section1"), QStringLiteral("lblDate1"));
    QVERIFY(date);
    QVERIFY(inkIn(date->rect) > 20);
    // The frame: ink on its top edge, none in the margin above it.
    const QRectF frame(52, 13, 100, 12); // the frame at 40,1 plus the 12 mm margins
    QVERIFY(inkIn(QRectF(frame.left() + 20, frame.top() - 0.3, 40, 0.6)) > 20);
    QCOMPARE(inkIn(QRectF(frame.left(), 2, 100, 8)), 0);
    QCOMPARE(renderPage(document, 5, 72), QImage());
}

void TestReportPainter::neverWrittenOverTheOpenDatabase()
{
    // As the report window's Export PDF would be asked to.
    test::TestDatabase db;
    db.exec(QStringLiteral("INSERT INTO courts (court, indexx) VALUES ('High Court', 1)"));
    QFile::link(db.path(), db.folder() + QStringLiteral("/shortcut.mdb"));
    for (const QString &path :
         {db.path(), db.path() + QStringLiteral("-wal"), db.path() + QStringLiteral("-shm"),
          db.folder() + QStringLiteral("/./shortcut.mdb")}) {
        QString error;
        QVERIFY(!writePdf(sample(3), path, &error));
        QCOMPARE(error, QStringLiteral("%1 is the open diary or one of the files kept beside "
                                       "it; nothing was written.")
                            .arg(path));
    }
    QCOMPARE(db.count(QStringLiteral("courts")), 1);
    QCOMPARE(db.scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    // Beside it, a PDF is written as ever.
    QVERIFY(writePdf(sample(3), db.folder() + QStringLiteral("/list.pdf")));
}

QTEST_MAIN(TestReportPainter)
#include "tst_reportpainter.moc"
