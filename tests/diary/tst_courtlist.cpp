#include "support/commandrunner.h"
#include "support/pdftext.h"
#include "support/screenhostdouble.h"
#include "support/scriptedmessenger.h"
#include "support/testdatabase.h"

#include <data/csv.h>
#include <data/dataerror.h>
#include <diary/causeliststore.h>
#include <diary/courtlistcheck.h>
#include <diary/courtlistmatch.h>
#include <diary/courtlistscreen.h>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTreeWidget>
#include <reports/nextdatereport.h>
#include <reports/runtime/reportwindow.h>

using namespace lexordo;
using namespace lexordo::test;

namespace {

const QDate day(2027, 3, 5);

// The office's diary around 05/03/2027:
//   O.S. 88/2025  fixed for the day                     -> listed (item 1, hall 3)
//   CRA 7/2023    fixed for the day; the court prints
//                 other parties beside it               -> listed, with a warning
//   CS 12/2024    fixed for 20/03/2027, advanced by the
//                 court to the day                      -> not in the diary (item 11, hall 5)
//   MACT 45/2019  listed on the day, not in the list    -> not listed
//   OS 77/2025    fixed for the day; the list has only
//                 near misses of it                     -> not listed
//   RSA 300/2020  last heard two years ago              -> not looked for
void fillDiary(const TestDatabase &db)
{
    db.exec(QStringLiteral(
        "INSERT INTO advocate (cdate, pdate, Party1, Party2, caseno, courtname, CourtIndex, "
        "fixedfor, ndate, fixedforN) VALUES "
        "('2027-02-01', NULL, 'Ram Lal', 'Shyam Sunder', 'O.S. 88/2025', 'Civil Judge', 2, "
        "'Evidence', '2027-03-05', 'Arguments'),"
        "('2027-02-03', NULL, 'Mohd. Iqbal', 'State', 'CRA 7/2023', 'Sessions Judge', 1, "
        "'Appearance', '2027-03-05', 'Charge'),"
        "('2027-02-10', NULL, 'Kamla Rani', 'Suresh Chand', 'CS 12/2024', 'Civil Judge', 2, "
        "'Reply', '2027-03-20', 'Evidence'),"
        "('2027-03-05', '2027-02-01', 'Sunita Devi', 'New India Assurance', 'MACT 45/2019', "
        "'Claims Tribunal', 3, 'Evidence', NULL, NULL),"
        "('2027-02-04', NULL, 'Anil Gupta', 'Rekha Sharma', 'OS 77/2025', 'Civil Judge', 2, "
        "'Issues', '2027-03-05', 'Evidence'),"
        "('2025-01-10', NULL, 'Harpreet Bedi', 'DDA', 'RSA 300/2020', 'High Court', 4, "
        "'Admission', '2025-02-10', 'Orders')"));
}

// Near misses of OS 77/2025 and other offices' cases go into every layout.
QString plainList()
{
    return QStringLiteral("IN THE COURT OF THE CIVIL JUDGE\nCAUSE LIST FOR 05.03.2027\n\n"
                          "Court Hall No. 3\n"
                          "  1   os 88-2025        Ram Lal              Shyam Sunder\n"
                          "  2   CRA 7 of 2023     Harpreet Singh       Union of India\n"
                          "  3   OS 177/2025       Ajay Kumar           Vijay Kumar\n"
                          "\nCourt Hall No. 5\n"
                          "  10  OS 77/2015        Prem Nath            Kailash\n"
                          "  11  CS 12/2024        Kamla Rani           Suresh Chand\n"
                          "  12  OS 77/20251       Geeta                Meena\n"
                          "  13  RSA 300/2020      Harpreet Bedi        DDA\n");
}

QString numberedList()
{
    return QStringLiteral("SUPPLEMENTARY CAUSE LIST\nCOURT NO. 3\n"
                          "1. O.S.No.88/2025 Ram Lal vs. Shyam Sunder. For evidence.\n"
                          "2. Crl.Rev. 5/2020 - CRA 7/2023 Harpreet Singh vs. Union of India.\n"
                          "3. O.S. 177/2025 Ajay Kumar vs. Vijay Kumar.\n"
                          "COURT NO. 5\n"
                          "10. OS 77/2015 Prem Nath vs. Kailash.\n"
                          "11. C.S. No. 12 of 2024 Kamla Rani vs. Suresh Chand.\n"
                          "12. OS 77/20251 Geeta vs. Meena.\n");
}

QString htmlList()
{
    return QStringLiteral(
        "<!DOCTYPE html><html><head><title>Cause list</title><style>td{padding:2px}</style>"
        "</head><body><h2>COURT HALL 3</h2>\n<table>\n"
        "<tr><th>Sl.</th><th>Case</th><th>Petitioner</th><th>Respondent</th></tr>\n"
        "<tr><td>1</td>\n<td>OS 88 of 2025</td><td>Ram Lal</td><td>Shyam&nbsp;Sunder</td></tr>\n"
        "<tr><td>2</td><td>CRA/7/2023</td><td>Harpreet Singh</td><td>Union of India</td></tr>\n"
        "<tr><td>3</td><td>OS 177/2025</td><td>Ajay</td><td>Vijay</td></tr>\n"
        "</table><h2>COURT HALL 5</h2><table>\n"
        "<tr><td>10</td><td>OS 77/2015</td><td>Prem</td><td>Kailash</td></tr>\n"
        "<tr><td>11</td><td>C.S. 12/2024</td><td>Kamla Rani</td><td>Suresh Chand</td></tr>\n"
        "<tr><td>12</td><td>OS&nbsp;77/20251</td><td>Geeta</td><td>Meena</td></tr>\n"
        "</table></body></html>");
}

// Two columns of items under each hall heading, written as a PDF with text.
void writeTwoColumnPdf(const QString &path)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QTextDocument document;
    document.setHtml(QStringLiteral(
        "<p>COURT HALL 3</p><table width='100%'>"
        "<tr><td width='50%'>1. OS/88/2025 Ram Lal v. Shyam Sunder</td>"
        "<td width='50%'>2. CRA 7/2023 Harpreet Singh v. Union of India</td></tr>"
        "<tr><td>3. OS 177/2025 Ajay v. Vijay</td><td>4. OS 77/2015 Prem v. Kailash</td></tr>"
        "</table><p>COURT HALL 5</p><table width='100%'>"
        "<tr><td width='50%'>10. OS 77/20251 Geeta v. Meena</td>"
        "<td width='50%'>11. CS 12/2024 Kamla Rani v. Suresh Chand</td></tr></table>"));
    document.setPageSize(QSizeF(writer.width(), writer.height()));
    QPainter painter(&writer);
    document.drawContents(&painter);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList summary(const QList<courtlist::CheckRow> &rows)
{
    QStringList out;
    for (const courtlist::CheckRow &row : rows)
        out << QStringLiteral("%1|%2|%3|%4")
                   .arg(row.caseNo, row.item, row.hall, row.diaryDate.toString(Qt::ISODate));
    return out;
}

} // namespace

class TestCourtList : public QObject
{
    Q_OBJECT

private slots:
    void caseKeys_data();
    void caseKeys();
    void numbersInTheList_data();
    void numbersInTheList();
    void threeGroupsInEveryLayout_data();
    void threeGroupsInEveryLayout();
    void aScannedListIsRefused();
    void aLongListIsReadInPageOrder();
    void aCaseWrittenTwoWaysIsOneCase();
    void aListedMatterIsPutInTheDiary();
    void aMatterIsFixedForADayNotYetCarriedForward();
    void theScreenShowsTheDangerFirstAndAddsIt();
    void theScreenPrintsTheDaysListWithTheCourtsItems();
    void theCommandsExitStatusAndCsv();
};

void TestCourtList::caseKeys_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("key");
    QTest::newRow("dots and blank") << "O.S. 88/2025"
                                    << "OS 88/2025";
    QTest::newRow("of") << "OS 88 of 2025"
                        << "OS 88/2025";
    QTest::newRow("No. joined") << "O.S.No.88/2025"
                                << "OS 88/2025";
    QTest::newRow("slashes") << "OS/88/2025"
                             << "OS 88/2025";
    QTest::newRow("small letters, dash") << "os 88-2025"
                                         << "OS 88/2025";
    QTest::newRow("leading zeros") << "OS 0088/2025"
                                   << "OS 88/2025";
    QTest::newRow("No. apart") << "Crl. A. No. 12 of 2024"
                               << "CRLA 12/2024";
    QTest::newRow("brackets") << "W.P.(C) 1234/2023"
                              << "WPC 1234/2023";
    QTest::newRow("no type") << "88/2025"
                             << "";
    QTest::newRow("two-digit year") << "OS 88/25"
                                    << "";
    QTest::newRow("five-digit year") << "OS 88/20251"
                                     << "";
}

void TestCourtList::caseKeys()
{
    QFETCH(QString, written);
    QFETCH(QString, key);
    QCOMPARE(courtlist::caseKey(written).value_or(QString()), key);
}

void TestCourtList::numbersInTheList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("found"); // key|item|hall
    QTest::newRow("five forms") << "1. O.S. 88/2025\n2. OS 88 of 2025\n3) O.S.No.88/2025\n"
                                   "4 OS/88/2025\n5. os 88-2025"
                                << QStringList{"OS 88/2025|1|", "OS 88/2025|2|", "OS 88/2025|3|",
                                               "OS 88/2025|4|", "OS 88/2025|5|"};
    QTest::newRow("near misses") << "1. OS 188/2025 2. OS 88/2015 3. OS 88/20251 4. CS 88/2025 "
                                    "5. OS 88/2O25"
                                 << QStringList{};
    QTest::newRow("type after other words")
        << "Court Room: 4\n7. Ram vs. O.S. 88/2025 Shyam" << QStringList{"OS 88/2025|7|4"};
    QTest::newRow("item of its own column")
        << "COURT HALL 2\n1. CS 5/2020 A v. B     31. OS 88/2025 C v. D"
        << QStringList{"OS 88/2025|31|2"};
    QTest::newRow("dates are no items") << "05.03.2027 OS 88/2025" << QStringList{"OS 88/2025||"};
}

void TestCourtList::numbersInTheList()
{
    QFETCH(QString, text);
    QFETCH(QStringList, found);
    const QSet<QString> wanted = {QStringLiteral("OS 88/2025")};
    QStringList got;
    for (const courtlist::Listing &l :
         courtlist::findListings(text, [&](const QString &key) { return wanted.contains(key); }))
        got << QStringLiteral("%1|%2|%3").arg(l.key, l.item, l.hall);
    QCOMPARE(got, found);
}

void TestCourtList::threeGroupsInEveryLayout_data()
{
    QTest::addColumn<QString>("layout");
    QTest::newRow("plain text") << "txt";
    QTest::newRow("numbered paragraphs") << "para";
    QTest::newRow("web page table") << "html";
    QTest::newRow("two-column PDF") << "pdf";
}

void TestCourtList::threeGroupsInEveryLayout()
{
    QFETCH(QString, layout);
    TestDatabase db;
    fillDiary(db);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.") + layout);
    if (layout == u"txt")
        writeFile(path, plainList().toUtf8());
    else if (layout == u"para")
        writeFile(path, numberedList().toUtf8());
    else if (layout == u"html")
        writeFile(path, htmlList().toUtf8());
    else
        writeTwoColumnPdf(path);

    const courtlist::CheckResult result = courtlist::checkListFile(day, path);
    QCOMPARE(summary(result.notInDiary), QStringList{"CS 12/2024|11|5|2027-03-20"});
    QCOMPARE(summary(result.listed),
             (QStringList{"O.S. 88/2025|1|3|2027-03-05", "CRA 7/2023|2|3|2027-03-05"}));
    QCOMPARE(summary(result.notListed),
             (QStringList{"OS 77/2025|||2027-03-05", "MACT 45/2019|||2027-03-05"}));
    // The parties printed beside CRA 7/2023 are not the diary's; the others are.
    QVERIFY(result.listed[0].warning.isEmpty());
    QVERIFY(result.listed[1].warning.contains(QStringLiteral("Mohd. Iqbal vs. State")));
    QVERIFY(result.notInDiary[0].warning.isEmpty());
}

void TestCourtList::aScannedListIsRefused()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scanned.pdf"));
    {
        QPdfWriter writer(path);
        QPainter painter(&writer);
        QImage page(400, 560, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter ink(&page);
        ink.fillRect(40, 40, 300, 12, Qt::black); // a line of "print", as pixels
        ink.end();
        painter.drawImage(QRect(0, 0, writer.width(), writer.height()), page);
    }
    try {
        courtlist::readListFile(path);
        QFAIL("a PDF without text was read");
    } catch (const DataError &e) {
        QVERIFY2(e.description().contains(QStringLiteral("scanned")), qPrintable(e.description()));
        QVERIFY(e.description().contains(QStringLiteral("scanned.pdf")));
    }
}

void TestCourtList::aLongListIsReadInPageOrder()
{
    // Long enough to be read in runs of pages at once.
    constexpr int pageCount = 70;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.pdf"));
    {
        QPdfWriter writer(path);
        QPainter painter(&writer);
        for (int page = 1; page <= pageCount; ++page) {
            if (page > 1)
                writer.newPage();
            painter.drawText(QPointF(200, 400), QStringLiteral("COURT HALL %1").arg(page));
            painter.drawText(QPointF(200, 800),
                             QStringLiteral("%1. OS %1/2025 Ram v. Shyam").arg(page));
        }
    }
    const courtlist::ListText list = courtlist::readListFile(path);
    QCOMPARE(list.pages, pageCount);
    QStringList got;
    QStringList expected;
    for (const courtlist::Listing &l :
         courtlist::findListings(list.text, [](const QString &) { return true; }))
        got << QStringLiteral("%1|%2|%3").arg(l.key, l.item, l.hall);
    for (int page = 1; page <= pageCount; ++page)
        expected << QStringLiteral("OS %1/2025|%1|%1").arg(page);
    QCOMPARE(got, expected);
}

void TestCourtList::aCaseWrittenTwoWaysIsOneCase()
{
    TestDatabase db;
    fillDiary(db);
    // An earlier hearing of CS 12/2024 written otherwise, and one of CRA 7/2023
    // in small letters that the day's listing follows.
    db.exec(QStringLiteral(
        "INSERT INTO advocate (cdate, Party1, Party2, caseno, courtname, CourtIndex, ndate) "
        "VALUES ('2027-01-05', 'Kamla Rani', 'Suresh Chand', 'C.S. No. 12 of 2024', "
        "'Civil Judge', 2, '2027-02-10'),"
        "('2027-01-06', 'Mohd. Iqbal', 'State', 'cra 7/2023', 'Sessions Judge', 1, "
        "'2027-02-03')"));
    courtlist::ListText list;
    list.text = plainList();
    const courtlist::CheckResult result = courtlist::checkListText(day, list);
    QCOMPARE(summary(result.notInDiary), QStringList{"CS 12/2024|11|5|2027-03-20"});
    QCOMPARE(result.notInDiary[0].diaryCase.last.currentDate(), QDate(2027, 2, 10));
    QCOMPARE(summary(result.listed),
             (QStringList{"O.S. 88/2025|1|3|2027-03-05", "CRA 7/2023|2|3|2027-03-05"}));
}

void TestCourtList::aListedMatterIsPutInTheDiary()
{
    TestDatabase db;
    fillDiary(db); // MACT 45/2019 is dated the day: the day is carried forward
    courtlist::ListText list;
    list.text = plainList();
    const courtlist::CheckResult before = courtlist::checkListText(day, list);
    QCOMPARE(before.notInDiary.size(), 1);
    const CauseListStore::DiaryCase missed = before.notInDiary[0].diaryCase;
    QCOMPARE(CauseListStore::addToDay(missed, day), CauseListStore::Added::Listed);
    QCOMPARE(db.scalar(QStringLiteral("SELECT courtname || '|' || Party1 || '|' || pdate || '|' || "
                                      "fixedfor FROM advocate WHERE caseno = 'CS 12/2024' AND "
                                      "cdate = '2027-03-05'"))
                 .toString(),
             QStringLiteral("Civil Judge|Kamla Rani|2027-02-10|Evidence"));
    const courtlist::CheckResult after = courtlist::checkListText(day, list);
    QVERIFY(after.notInDiary.isEmpty());
    QCOMPARE(after.listed.size(), 3);
}

void TestCourtList::aMatterIsFixedForADayNotYetCarriedForward()
{
    TestDatabase db;
    fillDiary(db);
    db.exec(QStringLiteral("DELETE FROM advocate WHERE cdate = '2027-03-05'"));
    courtlist::ListText list;
    list.text = plainList();
    const CauseListStore::DiaryCase missed =
        courtlist::checkListText(day, list).notInDiary.value(0).diaryCase;
    QCOMPARE(missed.key, QStringLiteral("CS 12/2024"));

    // Changed at another desk after the check: nothing is written over.
    db.exec(QStringLiteral("UPDATE advocate SET ndate = '2027-03-22' WHERE caseno = 'CS 12/2024'"));
    QVERIFY_THROWS_EXCEPTION(DataError, CauseListStore::addToDay(missed, day));
    QCOMPARE(db.scalar(QStringLiteral("SELECT ndate FROM advocate WHERE caseno = 'CS 12/2024'"))
                 .toString(),
             QStringLiteral("2027-03-22"));

    const CauseListStore::DiaryCase fresh =
        courtlist::checkListText(day, list).notInDiary.value(0).diaryCase;
    // No listing may be dated the day before its carry-forward: the hearing
    // gets the day as its next date instead.
    QCOMPARE(CauseListStore::addToDay(fresh, day), CauseListStore::Added::FixedForDay);
    QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM advocate WHERE cdate = '2027-03-05'"))
                 .toInt(),
             0);
    QCOMPARE(db.scalar(QStringLiteral("SELECT ndate FROM advocate WHERE caseno = 'CS 12/2024'"))
                 .toString(),
             QStringLiteral("2027-03-05"));
    QVERIFY(courtlist::checkListText(day, list).notInDiary.isEmpty());
}

void TestCourtList::theScreenShowsTheDangerFirstAndAddsIt()
{
    TestDatabase db;
    fillDiary(db);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.html"));
    writeFile(path, htmlList().toUtf8());
    ScriptedMessenger messenger;

    CourtListScreen screen;
    screen.findChild<QLineEdit *>(QStringLiteral("txtListDate"))
        ->setText(QStringLiteral("05/03/2027"));
    screen.findChild<QLineEdit *>(QStringLiteral("txtListFile"))->setText(path);
    QTest::mouseClick(screen.findChild<QPushButton *>(QStringLiteral("cmdCheck")), Qt::LeftButton);
    auto *tree = screen.findChild<QTreeWidget *>(QStringLiteral("grdCheck"));
    QCOMPARE(tree->topLevelItemCount(), 3);
    QTreeWidgetItem *danger = tree->topLevelItem(0);
    QVERIFY(danger->text(0).startsWith(QStringLiteral("Listed by the court, not in the diary")));
    QCOMPARE(danger->childCount(), 1);
    QCOMPARE(danger->child(0)->text(2), QStringLiteral("CS 12/2024"));
    QCOMPARE(danger->child(0)->text(0), QStringLiteral("11"));
    QCOMPARE(danger->child(0)->foreground(2).color(), QColor(0xb0, 0x00, 0x00));

    auto *add = screen.findChild<QPushButton *>(QStringLiteral("cmdAddToDiary"));
    tree->setCurrentItem(tree->topLevelItem(1)->child(0));
    QVERIFY(!add->isEnabled()); // only a matter missing from the diary is added
    tree->setCurrentItem(danger->child(0));
    QVERIFY(add->isEnabled());
    messenger.answer(Messenger::Answer::Yes);
    QTest::mouseClick(add, Qt::LeftButton);
    QVERIFY(messenger.lastText().contains(QStringLiteral("CS 12/2024")));
    QCOMPARE(messenger.unansweredCount(), 0);
    QCOMPARE(tree->topLevelItem(0)->childCount(), 0);
    QCOMPARE(tree->topLevelItem(1)->childCount(), 3);
}

void TestCourtList::theScreenPrintsTheDaysListWithTheCourtsItems()
{
    TestDatabase db;
    fillDiary(db);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.txt"));
    writeFile(path, plainList().toUtf8());
    ScriptedMessenger messenger;
    messenger.answerInput(QStringLiteral("A. Advocate")); // the name heading cause lists
    ScreenHostDouble host;
    QPointer<report::ReportWindow> shown;
    host.addOpener(QStringLiteral("frmReportsDate"), [&shown](const QVariant &argument) {
        shown = showCauseListWithCourtItems(argument);
        return shown.data();
    });

    CourtListScreen screen;
    auto *print = screen.findChild<QPushButton *>(QStringLiteral("cmdPrintItems"));
    QVERIFY(!print->isEnabled()); // nothing read yet
    screen.findChild<QLineEdit *>(QStringLiteral("txtListDate"))
        ->setText(QStringLiteral("05/03/2027"));
    screen.findChild<QLineEdit *>(QStringLiteral("txtListFile"))->setText(path);
    QTest::mouseClick(screen.findChild<QPushButton *>(QStringLiteral("cmdCheck")), Qt::LeftButton);
    QVERIFY(print->isEnabled());
    QTest::mouseClick(print, Qt::LeftButton);
    QVERIFY(shown);

    const QString pdf = dir.filePath(QStringLiteral("cause-list.pdf"));
    QVERIFY(shown->exportPdf(pdf));
    const QString text = pdfText(pdf);
    delete shown.data();
    // The day's hearings in court order, each the court lists with its item
    // and hall under its number; OS 77/2025 is not in the court's list.
    const qsizetype cra = text.indexOf(QStringLiteral("CRA 7/2023"));
    const qsizetype craItem = text.indexOf(QStringLiteral("Item 2, Hall 3"));
    const qsizetype os = text.indexOf(QStringLiteral("O.S. 88/2025"));
    const qsizetype osItem = text.indexOf(QStringLiteral("Item 1, Hall 3"));
    const qsizetype notListed = text.indexOf(QStringLiteral("OS 77/2025"));
    QVERIFY2(cra >= 0 && cra < craItem && craItem < os && os < osItem && osItem < notListed,
             qPrintable(text));
    QCOMPARE(text.count(QStringLiteral("Item ")), 2); // CS 12/2024 is not due on the day
}

void TestCourtList::theCommandsExitStatusAndCsv()
{
    TestDatabase db;
    fillDiary(db);
    QTemporaryDir dir;
    const QString full = dir.filePath(QStringLiteral("full.txt"));
    writeFile(full, plainList().toUtf8());
    const QString inDiaryOnly = dir.filePath(QStringLiteral("part.txt"));
    writeFile(inDiaryOnly, QByteArrayLiteral("COURT HALL 3\n1. OS 88/2025 Ram Lal vs Shyam\n"));
    const QString csvFile = dir.filePath(QStringLiteral("out.csv"));
    CommandRunner runner(QStringLiteral(LEXORDO_BINARY), db.path());
    const QString date = QStringLiteral("05/03/2027");
    const QString word = QStringLiteral("check-cause-list");

    CommandRunner::Result r =
        runner.run({word, QStringLiteral("--date"), date, QStringLiteral("--file"), full,
                    QStringLiteral("--csv"), csvFile});
    QCOMPARE(r.status, 3);
    QVERIFY(r.out.contains(QStringLiteral("CS 12/2024")));
    QFile csvIn(csvFile);
    QVERIFY(csvIn.open(QIODevice::ReadOnly));
    QStringList rows;
    for (const csv::Record &record : csv::parse(QString::fromUtf8(csvIn.readAll())))
        rows << record.fields.join(u'|');
    QCOMPARE(rows, (QStringList{
                       "status|item|hall|caseno|party1|party2|diary_date",
                       "not-in-diary|11|5|CS 12/2024|Kamla Rani|Suresh Chand|20/03/2027",
                       "listed|1|3|O.S. 88/2025|Ram Lal|Shyam Sunder|05/03/2027",
                       "listed|2|3|CRA 7/2023|Mohd. Iqbal|State|05/03/2027",
                       "not-listed|||OS 77/2025|Anil Gupta|Rekha Sharma|05/03/2027",
                       "not-listed|||MACT 45/2019|Sunita Devi|New India Assurance|05/03/2027",
                   }));

    r = runner.run({word, QStringLiteral("--date"), date, QStringLiteral("--file"), inDiaryOnly});
    QCOMPARE(r.status, 0);

    r = runner.run({word, QStringLiteral("--date"), date, QStringLiteral("--file"),
                    dir.filePath(QStringLiteral("missing.pdf"))});
    QCOMPARE(r.status, 1);
    QVERIFY(r.err.contains(QStringLiteral("missing.pdf")));

    r = runner.run({word, QStringLiteral("--file"), full});
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains(QStringLiteral("--date")));
    QCOMPARE(r.err.count(u'\n'), 1);
    r = runner.run({word, QStringLiteral("--date"), QStringLiteral("31/02/2027"),
                    QStringLiteral("--file"), full});
    QCOMPARE(r.status, 2);
    r = runner.run({word, QStringLiteral("--date"), date, QStringLiteral("--file"), full,
                    QStringLiteral("--pdf"), csvFile});
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains(QStringLiteral("--pdf")));
}

QTEST_MAIN(TestCourtList)
#include "tst_courtlist.moc"
