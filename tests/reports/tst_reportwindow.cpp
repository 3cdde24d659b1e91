#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <reports/runtime/reportwindow.h>

using namespace lexordo;
using namespace lexordo::report;

// The report window: pages one at a time, zoom, printing and export, and
// letting go of its rows (and of the screens that close with it) when it
// is left or closed.
class TestReportWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void showsThePagesOneAtATime();
    void zoomScalesThePage();
    void printsThePagesAskedFor();
    void exportsAPdf();
    void leavingTheWindowReleasesItsData();
    void closingTheWindowReleasesItsData();
    void hostPutsTheWindowInTheWorkspace();
    void closingLeavesNoFrameBehind_data();
    void closingLeavesNoFrameBehind();
    void pdfNameCarriesTheReportAndItsDates();

private:
    static ReportLayout layout();
    static ReportData rows(int count);
    static int pdfPages(const QString &path);
};

void TestReportWindow::cleanup()
{
    ReportWindow::setHost({});
    // Deleting one window may delete another (a screen closing with its
    // report): hold them by guarded pointers.
    QList<QPointer<QWidget>> windows;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (!w->parentWidget())
            windows << w;
    }
    for (const QPointer<QWidget> &w : windows)
        delete w.data();
}

ReportLayout TestReportWindow::layout()
{
    ReportLayout l(QStringLiteral("drSample"));
    l.setCaption(QStringLiteral("Sample Report"));
    l.addSection(SectionKind::PageHeader, QStringLiteral("PageHeader"), 8)
        .label(QStringLiteral("Parties"), QRectF(0, 1, 60, 5));
    l.addSection(SectionKind::Detail, QStringLiteral("Detail"), 10)
        .field(QStringLiteral("party"), QRectF(0, 1, 60, 4));
    l.addSection(SectionKind::PageFooter, QStringLiteral("PageFooter"), 8)
        .label(QStringLiteral("%p"), QRectF(0, 2, 186, 5));
    return l;
}

ReportData TestReportWindow::rows(int count)
{
    ResultTable table;
    table.columns = {QStringLiteral("party")};
    for (int i = 1; i <= count; ++i)
        table.rows << QVariantList{QStringLiteral("Party %1").arg(i)};
    return ReportData::flat(table);
}

int TestReportWindow::pdfPages(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    if (!process.waitForFinished(30000))
        return -1;
    const QString info = QString::fromUtf8(process.readAllStandardOutput());
    for (const QString &line : info.split(u'\n')) {
        if (line.startsWith(QStringLiteral("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

void TestReportWindow::showsThePagesOneAtATime()
{
    ReportWindow *window = ReportWindow::open(layout(), rows(60)); // 25 rows a page
    QCOMPARE(window->windowTitle(), QStringLiteral("Sample Report"));
    QCOMPARE(window->objectName(), QStringLiteral("drSample"));
    QVERIFY(window->isVisible());
    QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(window->document().pageCount(), 3);

    auto *page = window->findChild<QLabel *>(QStringLiteral("lblPage"));
    auto *first = window->findChild<QToolButton *>(QStringLiteral("cmdFirstPage"));
    auto *previous = window->findChild<QToolButton *>(QStringLiteral("cmdPreviousPage"));
    auto *next = window->findChild<QToolButton *>(QStringLiteral("cmdNextPage"));
    auto *last = window->findChild<QToolButton *>(QStringLiteral("cmdLastPage"));
    QVERIFY(page && first && previous && next && last);
    QCOMPARE(page->text(), QStringLiteral("Page 1 of 3"));
    QVERIFY(!previous->isEnabled() && !first->isEnabled() && next->isEnabled());

    QTest::mouseClick(next, Qt::LeftButton);
    QCOMPARE(window->currentPage(), 1);
    QCOMPARE(page->text(), QStringLiteral("Page 2 of 3"));
    QVERIFY(previous->isEnabled() && next->isEnabled());
    QTest::mouseClick(last, Qt::LeftButton);
    QCOMPARE(page->text(), QStringLiteral("Page 3 of 3"));
    QVERIFY(!next->isEnabled() && !last->isEnabled());
    window->nextPage(); // nothing after the last page
    QCOMPARE(window->currentPage(), 2);
    QTest::mouseClick(previous, Qt::LeftButton);
    QCOMPARE(window->currentPage(), 1);
    QTest::mouseClick(first, Qt::LeftButton);
    QCOMPARE(window->currentPage(), 0);

    // Page keys turn the pages too.
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->findChild<QScrollArea *>(QStringLiteral("scrollPages")),
                    Qt::Key_PageDown);
    QCOMPARE(window->currentPage(), 1);
}

void TestReportWindow::zoomScalesThePage()
{
    ReportWindow *window = ReportWindow::open(layout(), rows(3));
    auto *zoom = window->findChild<QComboBox *>(QStringLiteral("cboZoom"));
    QWidget *view = window->findChild<QScrollArea *>(QStringLiteral("scrollPages"))->widget();
    QCOMPARE(zoom->currentText(), QStringLiteral("Fit Width"));
    zoom->setCurrentText(QStringLiteral("100%"));
    QCOMPARE(window->zoom(), 1.0);
    const QSize life = view->size();
    // An A4 page at the screen's resolution, with its grey border.
    QVERIFY(qAbs(life.width() - 24 - 210 / 25.4 * window->logicalDpiX()) <= 2);
    zoom->setCurrentText(QStringLiteral("200%"));
    QVERIFY(qAbs(view->width() - 24 - 2 * (life.width() - 24)) <= 2);
    window->zoomOut();
    QCOMPARE(zoom->currentText(), QStringLiteral("150%"));
    window->zoomIn();
    QCOMPARE(zoom->currentText(), QStringLiteral("200%"));
}

void TestReportWindow::printsThePagesAskedFor()
{
    ReportWindow *window = ReportWindow::open(layout(), rows(60));
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);

    printer.setOutputFileName(dir.filePath(QStringLiteral("all.pdf")));
    window->printOn(printer);
    QCOMPARE(pdfPages(dir.filePath(QStringLiteral("all.pdf"))), 3);

    printer.setOutputFileName(dir.filePath(QStringLiteral("range.pdf")));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    window->printOn(printer);
    QCOMPARE(pdfPages(dir.filePath(QStringLiteral("range.pdf"))), 2);

    // The printer kept across prints is one and the same.
    QCOMPARE(&ReportWindow::printer(), &ReportWindow::printer());
}

void TestReportWindow::exportsAPdf()
{
    ReportWindow *window = ReportWindow::open(layout(), rows(30));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.pdf"));
    QVERIFY(window->exportPdf(path));
    QCOMPARE(pdfPages(path), 2);
}

void TestReportWindow::leavingTheWindowReleasesItsData()
{
    auto *screen = new QWidget;
    screen->setAttribute(Qt::WA_DeleteOnClose);
    screen->show();
    QPointer<QWidget> watched(screen);

    ReportWindow *window = ReportWindow::open(layout(), rows(30));
    window->closeOnRelease(screen);
    QSignalSpy deactivated(window, &ReportWindow::deactivated);
    QSignalSpy released(window, &ReportWindow::dataReleased);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QVERIFY(window->holdsData());
    QCOMPARE(window->data().rowCount(), 30);
    QVERIFY(watched);

    auto *other = new QWidget;
    other->show();
    other->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(other));
    QTRY_COMPARE(deactivated.count(), 1);
    QCOMPARE(released.count(), 1);
    QVERIFY(!window->holdsData());
    QCOMPARE(window->data().rowCount(), 0);
    QTRY_VERIFY(!watched); // the screen closed with it
    // The pages stay on show.
    QVERIFY(window->isVisible());
    QCOMPARE(window->document().pageCount(), 2);

    // Coming back and leaving again has nothing more to let go of.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    other->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(other));
    QTRY_COMPARE(deactivated.count(), 2);
    QCOMPARE(released.count(), 1);
}

void TestReportWindow::closingTheWindowReleasesItsData()
{
    QPointer<ReportWindow> window = ReportWindow::open(layout(), rows(3));
    QSignalSpy released(window.data(), &ReportWindow::dataReleased);
    QSignalSpy closed(window.data(), &ReportWindow::closed);
    auto *screen = new QWidget;
    screen->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QWidget> watched(screen);
    window->closeOnRelease(screen);
    QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdClose")), Qt::LeftButton);
    QCOMPARE(released.count(), 1);
    QCOMPARE(closed.count(), 1);
    QTRY_VERIFY(!window);
    QTRY_VERIFY(!watched);
}

void TestReportWindow::hostPutsTheWindowInTheWorkspace()
{
    QMdiArea area;
    area.resize(1000, 800);
    area.show();
    QVERIFY(QTest::qWaitForWindowActive(&area));
    QList<QWidget *> hosted;
    ReportWindow::setHost([&](QWidget *w) {
        hosted << w;
        area.addSubWindow(w)->show();
    });

    auto *screen = new QWidget;
    screen->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *screenWindow = area.addSubWindow(screen);
    screenWindow->setAttribute(Qt::WA_DeleteOnClose);
    screenWindow->show();
    QPointer<QMdiSubWindow> watchedScreenWindow(screenWindow);

    ReportWindow *window = ReportWindow::open(layout(), rows(3));
    QCOMPARE(hosted, QList<QWidget *>{window});
    auto *reportWindow = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    QVERIFY(reportWindow);
    window->closeOnRelease(screen);
    QSignalSpy released(window, &ReportWindow::dataReleased);

    area.setActiveSubWindow(reportWindow);
    QCOMPARE(released.count(), 0);
    // Another workspace window becomes the active one: the report lets go,
    // and the screen closes with its workspace window.
    auto *other = area.addSubWindow(new QWidget);
    other->show();
    area.setActiveSubWindow(other);
    QCOMPARE(released.count(), 1);
    QTRY_VERIFY(!watchedScreenWindow);

    // Closing the workspace window closes the report in it.
    QSignalSpy closed(window, &ReportWindow::closed);
    reportWindow->close();
    QCOMPARE(closed.count(), 1);
}

void TestReportWindow::closingLeavesNoFrameBehind_data()
{
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("Close button") << false;
    QTest::newRow("Escape") << true;
}

void TestReportWindow::closingLeavesNoFrameBehind()
{
    QFETCH(bool, byEscape);
    QMdiArea area;
    area.resize(1000, 700);
    area.show();
    QVERIFY(QTest::qWaitForWindowActive(&area));
    ReportWindow::setHost([&](QWidget *w) {
        QMdiSubWindow *frame = area.addSubWindow(w);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->show();
        area.setActiveSubWindow(frame);
    });
    QPointer<ReportWindow> window = ReportWindow::open(layout(), rows(3));
    QCOMPARE(area.subWindowList().size(), 1);
    QSignalSpy closed(window.data(), &ReportWindow::closed);
    if (byEscape) {
        window->findChild<QWidget *>(QStringLiteral("cmdPrint"))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    } else {
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("cmdClose")),
                          Qt::LeftButton);
    }
    QCOMPARE(closed.count(), 1);
    QTRY_VERIFY(!window);
    QTRY_COMPARE(area.subWindowList().size(), 0);
}

void TestReportWindow::pdfNameCarriesTheReportAndItsDates()
{
    ReportLayout l = layout();
    QCOMPARE(ReportWindow::suggestedFileName(l), QStringLiteral("sample-report.pdf"));
    l.addSection(SectionKind::ReportHeader, QStringLiteral("Section1"), 10)
        .label(QStringLiteral("Date:"), QRectF(0, 0, 20, 5))
        .namedLabel(QStringLiteral("lblDate1"), QRectF(20, 0, 30, 5))
        .namedLabel(QStringLiteral("lblDate2"), QRectF(50, 0, 30, 5));
    l.setFileName(QStringLiteral("cause-list"));
    l.setLabel(QStringLiteral("Section1"), QStringLiteral("lblDate1"),
               QStringLiteral("08/12/2026"));
    QCOMPARE(ReportWindow::suggestedFileName(l), QStringLiteral("cause-list-2026-12-08.pdf"));
    l.setLabel(QStringLiteral("Section1"), QStringLiteral("lblDate2"),
               QStringLiteral("15/12/2026"));
    ReportWindow *window = ReportWindow::open(l, rows(2));
    QCOMPARE(window->fileName(), QStringLiteral("cause-list-2026-12-08-2026-12-15.pdf"));
}

QTEST_MAIN(TestReportWindow)
#include "tst_reportwindow.moc"
