#include <QTest>
#include <reports/runtime/reportengine.h>

using namespace lexordo;
using namespace lexordo::report;

// The layout step on a small report of its own: sections in their places,
// page breaks, groups kept with their rows, long texts wrapped.
class TestReportEngine : public QObject
{
    Q_OBJECT

private slots:
    void sectionsStandInTheirOrder();
    void everyPageHasItsHeaderAndNumber();
    void groupHeaderNeverAloneAtTheFootOfAPage();
    void groupHeaderRepeatsWhereAGroupRunsOn();
    void longTextWrapsAndItsRowGrows();
    void textTallerThanAPageGoesOnToTheNext();
    void reportHeaderTallerThanAPageRunsOn();
    void longRepeatedGroupHeaderLeavesRoomForRows();
    void everyRowOfLongTextPrintsWithinThePage_data();
    void everyRowOfLongTextPrintsWithinThePage();
    void labelsAreSetBySectionAndNameWithoutRegardToCase();
    void groupFooterShowsTheGroupTotals();
    void emptyReportStillHasItsHeadingsAndFooter();
    void valuesAreFormatted_data();
    void valuesAreFormatted();

private:
    static ReportLayout layout(bool repeatGroupHeader = false);
    // Groups of rows: each group is a court with that many hearings.
    static ReportData courts(const QList<int> &sizes, const QString &remark = {});
    static QString words(int count, const QString &stem = QStringLiteral("word"));
    // Every text's printed lines lie above the foot of the page's body.
    static void checkNothingRunsOver(const ReportDocument &document);
    // The lines printed by a section's item, page after page.
    static QStringList printedLines(const ReportDocument &document, const QString &section,
                                    const QString &name);
};

QString TestReportEngine::words(int count, const QString &stem)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << stem + QString::number(i);
    return list.join(u' ');
}

void TestReportEngine::checkNothingRunsOver(const ReportDocument &document)
{
    for (const ReportPage &page : document.pages) {
        // No text prints over another.
        const QList<PlacedItem> texts = page.textItems();
        for (int i = 0; i < texts.size(); ++i) {
            for (int j = i + 1; j < texts.size(); ++j) {
                const PlacedItem &a = texts[i];
                const PlacedItem &b = texts[j];
                if (a.lines.isEmpty() || b.lines.isEmpty())
                    continue;
                const QRectF inkA(a.rect.left(), a.rect.top(), a.rect.width(),
                                  a.lines.size() * a.lineHeight);
                const QRectF inkB(b.rect.left(), b.rect.top(), b.rect.width(),
                                  b.lines.size() * b.lineHeight);
                QVERIFY2(!inkA.intersected(inkB).isValid() ||
                             inkA.intersected(inkB).height() < 1e-6 ||
                             inkA.intersected(inkB).width() < 1e-6,
                         qPrintable(QStringLiteral("%1 over %2 on page %3")
                                        .arg(a.name, b.name)
                                        .arg(page.number)));
            }
        }
        const QList<PlacedItem> footer = page.textItems(QStringLiteral("PageFooter"));
        QVERIFY(!footer.isEmpty());
        const double foot = footer.first().rect.top();
        for (const PlacedItem &item : page.textItems()) {
            if (item.section == QStringLiteral("PageFooter"))
                continue;
            QVERIFY2(item.rect.top() + item.lines.size() * item.lineHeight <= foot + 1e-6,
                     qPrintable(QStringLiteral("%1 %2 on page %3")
                                    .arg(item.section, item.name)
                                    .arg(page.number)));
        }
    }
}

QStringList TestReportEngine::printedLines(const ReportDocument &document, const QString &section,
                                           const QString &name)
{
    QStringList lines;
    for (const ReportPage &page : document.pages) {
        for (const PlacedItem &item : page.textItems(section)) {
            if (item.name.compare(name, Qt::CaseInsensitive) == 0)
                lines << item.lines;
        }
    }
    return lines;
}

ReportLayout TestReportEngine::layout(bool repeatGroupHeader)
{
    ReportLayout l(QStringLiteral("drTest"));
    l.setCaption(QStringLiteral("Test Report"));
    l.setRepeatGroupHeader(repeatGroupHeader);
    l.addSection(SectionKind::ReportHeader, QStringLiteral("Section1"), 15)
        .label(QStringLiteral("Title"), QRectF(0, 2, 40, 6))
        .namedLabel(QStringLiteral("lblDate1"), QRectF(50, 2, 40, 6));
    l.addSection(SectionKind::PageHeader, QStringLiteral("PageHeader"), 8)
        .label(QStringLiteral("Party"), QRectF(0, 1, 40, 5))
        .label(QStringLiteral("Remark"), QRectF(50, 1, 60, 5))
        .line(QLineF(0, 7, 186, 7));
    l.addSection(SectionKind::GroupHeader, QStringLiteral("Section3"), 7)
        .field(QStringLiteral("court"), QRectF(0, 1, 100, 5));
    l.addSection(SectionKind::Detail, QStringLiteral("Detail"), 6)
        .field(QStringLiteral("party"), QRectF(0, 1, 40, 4))
        .field(QStringLiteral("remark"), QRectF(50, 1, 60, 4))
        .named(QStringLiteral("remark"))
        .field(QStringLiteral("amount"), QRectF(120, 1, 20, 4), TextStyle(), QStringLiteral("0.00"))
        .label(QStringLiteral("below the remark"), QRectF(50, 5, 60, 0.5))
        .below(QStringLiteral("remark"))
        .line(QLineF(0, 6, 186, 6), 0.1)
        .followGrowth();
    l.addSection(SectionKind::GroupFooter, QStringLiteral("Section4"), 6)
        .field(QStringLiteral("AgTotal"), QRectF(120, 1, 20, 4), TextStyle(),
               QStringLiteral("0.00"));
    l.addSection(SectionKind::PageFooter, QStringLiteral("PageFooter"), 8)
        .label(QStringLiteral("Page %p of %P"), QRectF(0, 2, 186, 5));
    l.addSection(SectionKind::ReportFooter, QStringLiteral("Section2"), 10)
        .label(QStringLiteral("Note:  "), QRectF(0, 2, 14, 5))
        .namedLabel(QStringLiteral("lblHdays"), QRectF(14, 2, 170, 5));
    return l;
}

ReportData TestReportEngine::courts(const QList<int> &sizes, const QString &remark)
{
    GroupedResult result;
    result.detail.columns = {QStringLiteral("court"), QStringLiteral("party"),
                             QStringLiteral("remark"), QStringLiteral("amount")};
    for (int g = 0; g < sizes.size(); ++g) {
        ResultGroup group;
        const QString court = QStringLiteral("Court %1").arg(g + 1);
        group.key << court;
        double total = 0;
        for (int r = 0; r < sizes[g]; ++r) {
            group.rows << result.detail.rowCount();
            result.detail.rows << QVariantList{
                court, QStringLiteral("P%1-%2").arg(g + 1).arg(r + 1), remark, double(r + 1)};
            total += r + 1;
        }
        group.sums.insert(QStringLiteral("AgTotal"), total);
        result.groups << group;
    }
    return ReportData::grouped(result);
}

void TestReportEngine::sectionsStandInTheirOrder()
{
    ReportLayout l = layout();
    QVERIFY(l.setLabel(QStringLiteral("section1"), QStringLiteral("lbldate1"),
                       QStringLiteral("07/12/2026")));
    const ReportDocument document = layOut(l, courts({2, 1}));
    QCOMPARE(document.title, QStringLiteral("Test Report"));
    QCOMPARE(document.pageCount(), 1);
    const ReportPage &page = document.pages.first();
    QCOMPARE(page.texts(), (QStringList{"Title",
                                        "07/12/2026",
                                        "Party",
                                        "Remark",
                                        "Court 1",
                                        "P1-1",
                                        "",
                                        "1.00",
                                        "below the remark",
                                        "P1-2",
                                        "",
                                        "2.00",
                                        "below the remark",
                                        "3.00",
                                        "Court 2",
                                        "P2-1",
                                        "",
                                        "1.00",
                                        "below the remark",
                                        "1.00",
                                        "Note:  ",
                                        "",
                                        "Page 1 of 1"}));
    // Report header above the page header, the page footer at the foot.
    QVERIFY(page.find(QStringLiteral("Section1"), QStringLiteral("lblDate1"))->rect.top() <
            page.textItems(QStringLiteral("PageHeader")).first().rect.top());
    const QRectF footer = page.textItems(QStringLiteral("PageFooter")).first().rect;
    QCOMPARE(footer.top(), 297.0 - 12 - 8 + 2);
    QVERIFY(page.textItems(QStringLiteral("Section2")).first().rect.bottom() < footer.top());
}

void TestReportEngine::everyPageHasItsHeaderAndNumber()
{
    const ReportDocument document = layOut(layout(), courts({150}));
    QVERIFY(document.pageCount() >= 3);
    QStringList parties;
    for (const ReportPage &page : document.pages) {
        // The page header stands first, under the report header on page one.
        const QList<PlacedItem> texts = page.textItems();
        const int first = page.number == 1 ? 2 : 0;
        QCOMPARE(texts[first].section, QStringLiteral("PageHeader"));
        QCOMPARE(texts[first].text, QStringLiteral("Party"));
        const QList<PlacedItem> footer = page.textItems(QStringLiteral("PageFooter"));
        QCOMPARE(footer.size(), 1);
        QCOMPARE(footer.first().text,
                 QStringLiteral("Page %1 of %2").arg(page.number).arg(document.pageCount()));
        for (const PlacedItem &item : page.textItems(QStringLiteral("Detail"))) {
            QVERIFY2(item.rect.bottom() <= footer.first().rect.top(), qPrintable(item.text));
            if (item.name == QStringLiteral("party"))
                parties << item.text;
        }
    }
    // Every row once, in order, across the pages.
    QCOMPARE(parties.size(), 150);
    for (int i = 0; i < parties.size(); ++i)
        QCOMPARE(parties[i], QStringLiteral("P1-%1").arg(i + 1));
}

void TestReportEngine::groupHeaderNeverAloneAtTheFootOfAPage()
{
    // Let the first group grow one row at a time, so that the second group's
    // header meets every place near the foot of the first page.
    bool sawTightFoot = false;
    for (int first = 10; first <= 40; ++first) {
        const ReportDocument document = layOut(layout(), courts({first, 3}));
        for (const ReportPage &page : document.pages) {
            const QList<PlacedItem> texts = page.textItems();
            for (int i = 0; i < texts.size(); ++i) {
                if (texts[i].section != QStringLiteral("Section3"))
                    continue;
                const bool followedByRow =
                    i + 1 < texts.size() && texts[i + 1].section == QStringLiteral("Detail");
                QVERIFY2(followedByRow, qPrintable(QStringLiteral("%1 rows: %2 alone on page %3")
                                                       .arg(first)
                                                       .arg(texts[i].text)
                                                       .arg(page.number)));
            }
        }
        // Where the first group ended on page one with room for the header
        // (7 mm) but not for the header and a row, the header went over.
        const ReportPage &one = document.pages.first();
        const QList<PlacedItem> totals = one.textItems(QStringLiteral("Section4"));
        if (totals.isEmpty() || document.pageCount() < 2)
            continue;
        const double end = totals.first().rect.top() - 1 + 6; // the group footer's foot
        const double room = 297.0 - 12 - 8 - end;
        const QList<PlacedItem> rows = one.textItems(QStringLiteral("Detail"));
        const double row = rows[4].rect.top() - rows[0].rect.top(); // four texts a row
        if (room >= 7 && room < 7 + row) {
            QVERIFY(!one.texts(QStringLiteral("Section3")).contains(QStringLiteral("Court 2")));
            QCOMPARE(document.pages[1].texts(QStringLiteral("Section3")).first(),
                     QStringLiteral("Court 2"));
            sawTightFoot = true;
        }
    }
    QVERIFY2(sawTightFoot, "no run left a tight foot on page one");
}

void TestReportEngine::groupHeaderRepeatsWhereAGroupRunsOn()
{
    const ReportDocument plain = layOut(layout(false), courts({80}));
    const ReportDocument repeated = layOut(layout(true), courts({80}));
    QVERIFY(plain.pageCount() >= 2);
    QVERIFY(plain.pages[1].textItems(QStringLiteral("Section3")).isEmpty());
    for (const ReportPage &page : repeated.pages) {
        const QList<PlacedItem> texts = page.textItems();
        const int header = page.number == 1 ? 4 : 2; // after the page header's two captions
        QCOMPARE(texts[header].section, QStringLiteral("Section3"));
        QCOMPARE(texts[header].text, QStringLiteral("Court 1"));
    }
}

void TestReportEngine::longTextWrapsAndItsRowGrows()
{
    const QString remark = QStringLiteral(
        "adjourned at the request of counsel for the respondent, who was not available; "
        "the petitioner to file rejoinder within four weeks with an advance copy");
    const ReportDocument document = layOut(layout(), courts({2}, remark));
    const ReportPage &page = document.pages.first();
    const QList<PlacedItem> rows = page.textItems(QStringLiteral("Detail"));
    const PlacedItem &wrapped = rows[1];
    QCOMPARE(wrapped.name, QStringLiteral("remark"));
    QVERIFY(wrapped.lines.size() >= 3);
    // Nothing cut: the lines hold every word.
    QCOMPARE(wrapped.lines.join(u' ').simplified(), remark);
    for (const QString &line : wrapped.lines)
        QVERIFY2(!line.isEmpty() && !line.endsWith(u' '), qPrintable(line));
    QCOMPARE(wrapped.rect.height(), wrapped.lines.size() * wrapped.lineHeight);

    // The label stacked under the remark moved down with it, and so did the
    // rule under the row; the next row starts below both.
    const PlacedItem &stacked = rows[3];
    QCOMPARE(stacked.text, QStringLiteral("below the remark"));
    QCOMPARE(stacked.rect.top(), wrapped.rect.bottom());
    QLineF rule;
    for (const PlacedItem &item : page.items) {
        if (item.kind == PlacedItem::Kind::Line && item.section == QStringLiteral("Detail")) {
            rule = item.line();
            break;
        }
    }
    QVERIFY(rule.y1() >= stacked.rect.bottom());
    QCOMPARE(rule.y1(), rule.y2());
    QVERIFY(rows[4].rect.top() >= rule.y1());
}

void TestReportEngine::textTallerThanAPageGoesOnToTheNext()
{
    QStringList paragraphs;
    for (int i = 1; i <= 120; ++i)
        paragraphs << QStringLiteral("line %1").arg(i);
    const ReportDocument document = layOut(layout(), courts({1}, paragraphs.join(u'\n')));
    QVERIFY(document.pageCount() >= 2);
    QStringList printed;
    for (const ReportPage &page : document.pages) {
        const double foot = page.textItems(QStringLiteral("PageFooter")).first().rect.top();
        for (const PlacedItem &item : page.textItems(QStringLiteral("Detail"))) {
            if (item.name != QStringLiteral("remark"))
                continue;
            QVERIFY(item.rect.top() + item.lines.size() * item.lineHeight <= foot + 1e-6);
            printed << item.lines;
        }
    }
    QCOMPARE(printed, paragraphs);
}

void TestReportEngine::reportHeaderTallerThanAPageRunsOn()
{
    // A heading that holds a typed value of thousands of characters.
    ReportLayout l = layout();
    const QString value = words(700);
    QVERIFY(l.setLabel(QStringLiteral("Section1"), QStringLiteral("lblDate1"), value));
    const ReportDocument document = layOut(l, courts({3}));
    QVERIFY(document.pageCount() >= 2);
    checkNothingRunsOver(document);
    QCOMPARE(printedLines(document, QStringLiteral("Section1"), QStringLiteral("lblDate1"))
                 .join(u' ')
                 .simplified(),
             value);
    // Each row follows the heading, once.
    QCOMPARE(printedLines(document, QStringLiteral("Detail"), QStringLiteral("party")),
             (QStringList{"P1-1", "P1-2", "P1-3"}));
    QCOMPARE(document.pages.last().texts(QStringLiteral("Section2")).first(),
             QStringLiteral("Note:  "));
}

void TestReportEngine::longRepeatedGroupHeaderLeavesRoomForRows()
{
    // A court name far taller than a page, repeated above the rows it heads.
    GroupedResult result;
    result.detail.columns = {QStringLiteral("court"), QStringLiteral("party"),
                             QStringLiteral("remark"), QStringLiteral("amount")};
    const QString court = words(900, QStringLiteral("court"));
    ResultGroup group;
    group.key << court;
    for (int r = 0; r < 60; ++r) {
        group.rows << r;
        result.detail.rows << QVariantList{court, QStringLiteral("P%1").arg(r + 1),
                                           words(r % 7 == 0 ? 90 : 2, QStringLiteral("r")),
                                           double(r)};
    }
    result.groups << group;
    const ReportDocument document = layOut(layout(true), ReportData::grouped(result));
    checkNothingRunsOver(document);
    QStringList expected;
    for (int r = 0; r < 60; ++r)
        expected << QStringLiteral("P%1").arg(r + 1);
    QCOMPARE(printedLines(document, QStringLiteral("Detail"), QStringLiteral("party")), expected);
    // Once the header has been printed whole, each page carries rows under its
    // shortened repetition, so the report does not grow a page per row.
    QVERIFY2(document.pageCount() < 20, qPrintable(QString::number(document.pageCount())));
    bool headerDone = false;
    for (const ReportPage &page : document.pages) {
        const bool rows = !page.textItems(QStringLiteral("Detail")).isEmpty();
        if (headerDone && page.number < document.pageCount())
            QVERIFY2(rows, qPrintable(QString::number(page.number)));
        headerDone = headerDone || rows;
    }
}

void TestReportEngine::everyRowOfLongTextPrintsWithinThePage_data()
{
    QTest::addColumn<int>("remarkWords");
    QTest::addColumn<bool>("unbroken");
    QTest::newRow("4000 characters in words") << 500 << false;
    QTest::newRow("4000 characters without a blank") << 500 << true;
    QTest::newRow("three pages of words") << 2500 << false;
}

void TestReportEngine::everyRowOfLongTextPrintsWithinThePage()
{
    QFETCH(int, remarkWords);
    QFETCH(bool, unbroken);
    QString remark = words(remarkWords, QStringLiteral("w"));
    if (unbroken)
        remark.remove(u' ');
    const ReportDocument document = layOut(layout(true), courts({2, 3}, remark));
    checkNothingRunsOver(document);
    QCOMPARE(printedLines(document, QStringLiteral("Detail"), QStringLiteral("party")),
             (QStringList{"P1-1", "P1-2", "P2-1", "P2-2", "P2-3"}));
    const QString printed =
        printedLines(document, QStringLiteral("Detail"), QStringLiteral("remark"))
            .join(unbroken ? QString() : QStringLiteral(" "));
    QCOMPARE(printed, QStringList(5, remark).join(unbroken ? QString() : QStringLiteral(" ")));
    QCOMPARE(printedLines(document, QStringLiteral("Section4"), QStringLiteral("AgTotal")),
             (QStringList{"3.00", "6.00"}));
}

void TestReportEngine::labelsAreSetBySectionAndNameWithoutRegardToCase()
{
    ReportLayout l = layout();
    QVERIFY(l.setLabel(QStringLiteral("SECTION2"), QStringLiteral("LBLHDAYS"),
                       QStringLiteral("  25/12/2026-Christmas, ")));
    QVERIFY(
        !l.setLabel(QStringLiteral("section1"), QStringLiteral("lblhdays"), QStringLiteral("x")));
    QVERIFY(
        !l.setLabel(QStringLiteral("section9"), QStringLiteral("lblhdays"), QStringLiteral("x")));
    // Fixed captions have no name to be set by.
    QVERIFY(!l.setLabel(QStringLiteral("section2"), QString(), QStringLiteral("x")));
    QCOMPARE(l.label(QStringLiteral("Section2"), QStringLiteral("lblHdays")),
             QStringLiteral("  25/12/2026-Christmas, "));
    const ReportDocument document = layOut(l, courts({1}));
    const PlacedItem *note =
        document.pages.last().find(QStringLiteral("section2"), QStringLiteral("LBLHDAYS"));
    QVERIFY(note);
    QCOMPARE(note->text, QStringLiteral("  25/12/2026-Christmas, "));
    QCOMPARE(note->lines, QStringList{QStringLiteral("  25/12/2026-Christmas,")});
}

void TestReportEngine::groupFooterShowsTheGroupTotals()
{
    const ReportDocument document = layOut(layout(), courts({3, 4}));
    QCOMPARE(document.pages.first().texts(QStringLiteral("Section4")),
             (QStringList{"6.00", "10.00"}));
}

void TestReportEngine::emptyReportStillHasItsHeadingsAndFooter()
{
    const ReportDocument document = layOut(layout(), ReportData::flat(ResultTable()));
    QCOMPARE(document.pageCount(), 1);
    QCOMPARE(document.pages.first().texts(),
             (QStringList{"Title", "", "Party", "Remark", "Note:  ", "", "Page 1 of 1"}));
}

void TestReportEngine::valuesAreFormatted_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text");
    QTest::newRow("date") << QVariant(QDate(2026, 12, 7)) << "dd/MM/yyyy"
                          << "07/12/2026";
    QTest::newRow("date, no format") << QVariant(QDate(2027, 1, 26)) << ""
                                     << "26/01/2027";
    QTest::newRow("null") << QVariant() << "dd/MM/yyyy"
                          << "";
    QTest::newRow("amount") << QVariant(1234.5) << "0.00"
                            << "1234.50";
    QTest::newRow("thousands") << QVariant(-1234567.891) << "#,##0.00"
                               << "-1,234,567.89";
    QTest::newRow("small with thousands") << QVariant(999.0) << "#,##0.00"
                                          << "999.00";
    QTest::newRow("whole") << QVariant(qint64(3)) << ""
                           << "3";
    QTest::newRow("plain amount") << QVariant(1500.0) << ""
                                  << "1500";
    QTest::newRow("text") << QVariant(QStringLiteral("D'Souza")) << ""
                          << "D'Souza";
}

void TestReportEngine::valuesAreFormatted()
{
    QFETCH(QVariant, value);
    QFETCH(QString, format);
    QFETCH(QString, text);
    QCOMPARE(formatValue(value, format), text);
}

QTEST_MAIN(TestReportEngine)
#include "tst_reportengine.moc"
