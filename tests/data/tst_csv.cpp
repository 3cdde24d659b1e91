#include <data/csv.h>
#include <QBuffer>
#include <QTest>

using namespace lexordo;

class TestCsv : public QObject
{
    Q_OBJECT

private slots:
    void recordsAreQuotedOnlyWhereNeeded_data();
    void recordsAreQuotedOnlyWhereNeeded();
    void writtenRecordsReadBack();
    void lineNumbersCountBreaksInsideQuotes();
    void byteOrderMarkAndBlankLinesAreSkipped();
    void brokenQuotingIsNamed();
    void aRecordReadsTheSameWhereverABlockOfTheFileEnds();
};

void TestCsv::recordsAreQuotedOnlyWhereNeeded_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("plain") << QStringList{QStringLiteral("a"), QStringLiteral("b c")}
                           << QByteArray("a,b c\r\n");
    QTest::newRow("comma") << QStringList{QStringLiteral("x, y")} << QByteArray("\"x, y\"\r\n");
    QTest::newRow("quote") << QStringList{QStringLiteral("D'Souza \"Jr\"")}
                           << QByteArray("\"D'Souza \"\"Jr\"\"\"\r\n");
    QTest::newRow("break") << QStringList{QStringLiteral("one\ntwo"), QString()}
                           << QByteArray("\"one\ntwo\",\r\n");
    QTest::newRow("blank at end") << QStringList{QStringLiteral("kept ")}
                                  << QByteArray("\"kept \"\r\n");
    QTest::newRow("devanagari") << QStringList{QStringLiteral("रामलाल")}
                                << QStringLiteral("रामलाल\r\n").toUtf8();
}

void TestCsv::recordsAreQuotedOnlyWhereNeeded()
{
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, line);
    QCOMPARE(csv::formatRecord(fields), line);
}

void TestCsv::writtenRecordsReadBack()
{
    const QList<QStringList> records = {
        {QStringLiteral("cdate"), QStringLiteral("Party1"), QStringLiteral("remarks")},
        {QStringLiteral("07/12/2026"), QStringLiteral("State, \"M.P.\""),
         QStringLiteral("line one\r\nline two")},
        {QString(), QStringLiteral("श्याम"), QString()},
    };
    QByteArray bytes;
    for (const QStringList &record : records)
        bytes += csv::formatRecord(record);
    const auto parsed = csv::parse(QString::fromUtf8(bytes));
    QCOMPARE(int(parsed.size()), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(parsed[size_t(i)].fields, records[i]);
        QVERIFY(parsed[size_t(i)].problem.isEmpty());
    }
}

void TestCsv::lineNumbersCountBreaksInsideQuotes()
{
    const auto parsed = csv::parse(u"a,b\n\"x\ny\nz\",1\nlast,2\n");
    QCOMPARE(int(parsed.size()), 3);
    QCOMPARE(parsed[0].line, 1);
    QCOMPARE(parsed[1].line, 2);
    QCOMPARE(parsed[1].fields, (QStringList{QStringLiteral("x\ny\nz"), QStringLiteral("1")}));
    QCOMPARE(parsed[2].line, 5);
    QCOMPARE(parsed[2].fields, (QStringList{QStringLiteral("last"), QStringLiteral("2")}));
}

void TestCsv::byteOrderMarkAndBlankLinesAreSkipped()
{
    const auto parsed =
        csv::parse(QStringLiteral("\uFEFFDate,Holiday\r\n\r\n26/01/2027,Republic Day\r\n,"));
    QCOMPARE(int(parsed.size()), 3);
    QCOMPARE(parsed[0].fields.first(), QStringLiteral("Date"));
    QCOMPARE(parsed[1].line, 3);
    QCOMPARE(parsed[2].fields, (QStringList{QString(), QString()}));
}

void TestCsv::brokenQuotingIsNamed()
{
    auto parsed = csv::parse(u"a,b\n\"open,1\n2,3\n");
    QCOMPARE(int(parsed.size()), 2);
    QCOMPARE(parsed[1].problem, QStringLiteral("the quotes opened on line 2 are never closed."));

    parsed = csv::parse(u"\"x\"y,1\nab\"c,2\n");
    QCOMPARE(parsed[0].problem, QStringLiteral("text follows the closing quote of field 1."));
    QCOMPARE(parsed[1].problem,
             QStringLiteral("a double quote inside field 1 that is not quoted."));
}

void TestCsv::aRecordReadsTheSameWhereverABlockOfTheFileEnds()
{
    // Each byte of the record in turn starts the file's second block: a
    // doubled quote, a line break inside quotes, letters of two, three and
    // four bytes, a carriage return alone and CR LF are split there.
    const QStringList fields = {QStringLiteral("ab\"c\r\nd"), QStringLiteral("é€😀"),
                                QStringLiteral("x\ry")};
    const QByteArray record = QStringLiteral("\"ab\"\"c\r\nd\",é€😀,x\ry\r\n").toUtf8();
    for (qsizetype at = 0; at <= record.size(); ++at) {
        // The first record, its padding and ",,\n", ends where `at` begins a block.
        QByteArray bytes =
            QByteArray(csv::Reader::blockSize - at - 3, 'p') + ",,\n" + record + "last,2,3\n";
        QBuffer file(&bytes);
        QVERIFY(file.open(QIODevice::ReadOnly));
        csv::Reader reader(file);
        QList<csv::Record> records;
        csv::Record read;
        while (reader.next(read))
            records << read;
        QVERIFY(!reader.badText());
        QCOMPARE(records.size(), 3);
        QCOMPARE(records[1].fields, fields);
        QVERIFY2(records[1].problem.isEmpty(), qPrintable(records[1].problem));
        QCOMPARE(records[1].line, 2);
        QCOMPARE(records[2].line, 4);
        QCOMPARE(records[2].fields,
                 (QStringList{QStringLiteral("last"), QStringLiteral("2"), QStringLiteral("3")}));
    }
}

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
