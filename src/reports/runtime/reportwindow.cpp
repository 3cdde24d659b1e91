#include "reportwindow.h"

#include "reportpainter.h"
#include "ui_reportwindow.h"

#include <algorithm>
#include <data/messenger.h>
#include <data/safewrite.h>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QShortcut>
#include <utility>
#include <widgets/enterkey.h>
#include <widgets/screenhost.h>
#include <widgets/valuelabel.h>

namespace lexordo::report {

namespace {

const QList<QPair<QString, double>> zoomChoices = {
    {QStringLiteral("Fit Width"), 0.0}, {QStringLiteral("Whole Page"), -1.0},
    {QStringLiteral("50%"), 0.5},       {QStringLiteral("75%"), 0.75},
    {QStringLiteral("100%"), 1.0},      {QStringLiteral("125%"), 1.25},
    {QStringLiteral("150%"), 1.5},      {QStringLiteral("200%"), 2.0},
};
constexpr int pageMargin = 12; // pixels of grey around the page

ReportWindow::Host &host()
{
    static ReportWindow::Host h;
    return h;
}

QPrinter *s_printer = nullptr;

void deletePrinter()
{
    delete s_printer;
    s_printer = nullptr;
}

} // namespace

// Shows one page as it will print, on a grey desk.
class PageView : public QWidget
{
public:
    explicit PageView(QWidget *parent = nullptr) : QWidget(parent)
    {
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
        setPalette(p);
    }

    void showPage(const ReportDocument &document, int index, double zoom)
    {
        const double dpi = logicalDpiX() * zoom;
        m_image = renderPage(document, index, dpi, devicePixelRatioF());
        const QSize logical = (QSizeF(m_image.size()) / devicePixelRatioF()).toSize();
        resize(logical + QSize(2 * pageMargin, 2 * pageMargin));
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_image.isNull())
            return;
        QPainter painter(this);
        const QSize logical = (QSizeF(m_image.size()) / devicePixelRatioF()).toSize();
        const QRect page(QPoint(pageMargin, pageMargin), logical);
        painter.fillRect(page.translated(4, 4), QColor(0x50, 0x50, 0x50));
        painter.drawImage(page.topLeft(), m_image);
    }

private:
    QImage m_image;
};

ReportWindow::ReportWindow(QWidget *parent)
    : QWidget(parent), ui(new Ui::ReportWindow), m_view(new PageView)
{
    ui->setupUi(this);
    ui->scrollPages->setWidget(m_view);
    for (const auto &[text, factor] : zoomChoices)
        ui->cboZoom->addItem(text, factor);

    connect(ui->cmdFirstPage, &QToolButton::clicked, this, &ReportWindow::firstPage);
    connect(ui->cmdPreviousPage, &QToolButton::clicked, this, &ReportWindow::previousPage);
    connect(ui->cmdNextPage, &QToolButton::clicked, this, &ReportWindow::nextPage);
    connect(ui->cmdLastPage, &QToolButton::clicked, this, &ReportWindow::lastPage);
    connect(ui->cboZoom, &QComboBox::currentIndexChanged, this, &ReportWindow::applyZoom);
    connect(ui->cmdPrint, &QPushButton::clicked, this, &ReportWindow::print);
    connect(ui->cmdExportPdf, &QPushButton::clicked, this, &ReportWindow::exportPdfAs);
    connect(ui->cmdClose, &QPushButton::clicked, this, &ReportWindow::closeWindow);

    auto shortcut = [this](const QKeySequence &keys, void (ReportWindow::*slot)()) {
        auto *s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::Key_PageDown), &ReportWindow::nextPage);
    shortcut(QKeySequence(Qt::Key_PageUp), &ReportWindow::previousPage);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Home), &ReportWindow::firstPage);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_End), &ReportWindow::lastPage);
    shortcut(QKeySequence::Print, &ReportWindow::print);
    shortcut(QKeySequence::ZoomIn, &ReportWindow::zoomIn);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), &ReportWindow::zoomIn);
    shortcut(QKeySequence::ZoomOut, &ReportWindow::zoomOut);
    shortcut(QKeySequence::Close, &ReportWindow::closeWindow);
    shortcut(QKeySequence(Qt::Key_Escape), &ReportWindow::closeWindow);
    pressButtonsOnEnter(this);
}

ReportWindow::~ReportWindow()
{
    delete ui;
}

ReportWindow *ReportWindow::open(const ReportLayout &layout, ReportData data, QWidget *parent)
{
    auto *window = new ReportWindow(parent);
    if (parent)
        window->setWindowFlag(Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setReport(layout, std::move(data));
    present(window);
    return window;
}

void ReportWindow::setHost(Host h)
{
    host() = std::move(h);
}

void ReportWindow::present(QWidget *window)
{
    // The pages have the keyboard at once: the page keys and Escape work
    // without a click.
    if (auto *pages = window->findChild<QWidget *>(QStringLiteral("scrollPages")))
        pages->setFocus(Qt::OtherFocusReason);
    if (host()) {
        host()(window);
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

QPrinter &ReportWindow::printer()
{
    if (!s_printer) {
        s_printer = new QPrinter(QPrinter::HighResolution);
        s_printer->setPageSize(QPageSize(QPageSize::A4));
        qAddPostRoutine(deletePrinter);
    }
    return *s_printer;
}

void ReportWindow::closeWindow()
{
    // In the workspace the frame goes too: no empty frame is left behind.
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
        frame->close();
    else
        close();
}

QString ReportWindow::suggestedFileName(const ReportLayout &layout)
{
    QString name = layout.fileName();
    if (name.isEmpty()) {
        // The caption, in the letters a file name keeps everywhere.
        for (const QChar c : layout.caption().toLower()) {
            if (c.isLetterOrNumber())
                name += c;
            else if (!name.isEmpty() && !name.endsWith(u'-'))
                name += u'-';
        }
        while (name.endsWith(u'-'))
            name.chop(1);
        if (name.isEmpty())
            name = QStringLiteral("report");
    }
    // The dates the report is for, as its header shows them.
    if (const Section *header = layout.section(SectionKind::ReportHeader)) {
        for (const Item &item : header->items()) {
            if (item.kind != Item::Kind::Label || item.name.isEmpty())
                continue;
            const QDate date = QDate::fromString(item.text.trimmed(), QStringLiteral("dd/MM/yyyy"));
            if (date.isValid())
                name += u'-' + date.toString(Qt::ISODate);
        }
    }
    return name + QStringLiteral(".pdf");
}

void ReportWindow::setReport(const ReportLayout &layout, ReportData data)
{
    m_fileName = suggestedFileName(layout);
    m_layoutName = layout.name();
    setObjectName(layout.name());
    setWindowTitle(layout.caption());
    m_document = layOut(layout, data);
    m_data = std::move(data);
    m_holdsData = true;
    m_page = 0;
    updatePage();
}

void ReportWindow::setCurrentPage(int index)
{
    if (m_document.pages.isEmpty())
        return;
    m_page = std::clamp(index, 0, m_document.pageCount() - 1);
    updatePage();
}

double ReportWindow::zoom() const
{
    const double chosen = ui->cboZoom->currentData().toDouble();
    if (chosen > 0)
        return chosen;
    const double pageWidth = m_document.pageSize.width() / 25.4 * logicalDpiX();
    const double pageHeight = m_document.pageSize.height() / 25.4 * logicalDpiY();
    if (pageWidth <= 0 || pageHeight <= 0)
        return 1.0;
    const QSize room =
        ui->scrollPages->viewport()->size() - QSize(2 * pageMargin + 6, 2 * pageMargin + 6);
    const double byWidth = room.width() / pageWidth;
    const double factor = chosen == 0.0 ? byWidth : std::min(byWidth, room.height() / pageHeight);
    return std::clamp(factor, 0.2, 4.0);
}

void ReportWindow::closeOnRelease(QWidget *screen)
{
    m_closeWithRelease << QPointer<QWidget>(screen);
}

bool ReportWindow::exportPdf(const QString &path, QString *error)
{
    return writePdf(m_document, path, error);
}

void ReportWindow::printOn(QPrinter &target)
{
    target.setFullPage(true);
    target.setPageOrientation(m_document.orientation);
    int first = 1;
    int last = m_document.pageCount();
    if (target.printRange() == QPrinter::PageRange && target.fromPage() > 0) {
        first = target.fromPage();
        last = std::min(target.toPage(), last);
    } else if (target.printRange() == QPrinter::CurrentPage) {
        first = last = m_page + 1;
    }
    QPainter painter;
    if (!painter.begin(&target)) {
        m_inOwnDialog = true;
        showMessage(QStringLiteral("The report could not be sent to the printer."));
        m_inOwnDialog = false;
        return;
    }
    paintPages(target, painter, m_document, first, last);
    painter.end();
}

void ReportWindow::print()
{
    if (m_document.pages.isEmpty())
        return;
    QPrinter &target = printer();
    target.setFullPage(true);
    target.setPageOrientation(m_document.orientation);
    target.setDocName(m_document.title);
    QPrintDialog dialog(&target, this);
    dialog.setMinMax(1, m_document.pageCount());
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCurrentPage | QAbstractPrintDialog::PrintToFile |
                      QAbstractPrintDialog::PrintShowPageSize);
    m_inOwnDialog = true;
    const bool accepted = dialog.exec() == QDialog::Accepted;
    m_inOwnDialog = false;
    if (accepted)
        printOn(target);
}

void ReportWindow::exportPdfAs()
{
    static QString lastFolder;
    const QString folder = lastFolder.isEmpty() ? QDir::homePath() : lastFolder;
    m_inOwnDialog = true;
    // The diary is refused before "replace?" is asked, so the dialog does not ask.
    QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export PDF"), QDir(folder).filePath(m_fileName),
        QStringLiteral("PDF files (*.pdf)"), nullptr, QFileDialog::DontConfirmOverwrite);
    m_inOwnDialog = false;
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    m_inOwnDialog = true;
    const bool replace = safewrite::mayReplace(path);
    m_inOwnDialog = false;
    if (!replace)
        return;
    QString error;
    if (!exportPdf(path, &error)) {
        m_inOwnDialog = true;
        showMessage(error);
        m_inOwnDialog = false;
        return;
    }
    lastFolder = QFileInfo(path).absolutePath();
}

void ReportWindow::firstPage()
{
    setCurrentPage(0);
}

void ReportWindow::previousPage()
{
    setCurrentPage(m_page - 1);
}

void ReportWindow::nextPage()
{
    setCurrentPage(m_page + 1);
}

void ReportWindow::lastPage()
{
    setCurrentPage(m_document.pageCount() - 1);
}

void ReportWindow::zoomIn()
{
    const double now = zoom();
    for (int i = 0; i < ui->cboZoom->count(); ++i) {
        if (ui->cboZoom->itemData(i).toDouble() > now + 0.01) {
            ui->cboZoom->setCurrentIndex(i);
            return;
        }
    }
}

void ReportWindow::zoomOut()
{
    const double now = zoom();
    for (int i = ui->cboZoom->count() - 1; i >= 0; --i) {
        const double factor = ui->cboZoom->itemData(i).toDouble();
        if (factor > 0 && factor < now - 0.01) {
            ui->cboZoom->setCurrentIndex(i);
            return;
        }
    }
}

void ReportWindow::release()
{
    if (m_holdsData) {
        m_data.clear();
        m_holdsData = false;
        emit dataReleased();
    }
    const auto screens = std::exchange(m_closeWithRelease, {});
    for (const QPointer<QWidget> &screen : screens)
        closeScreen(screen);
}

void ReportWindow::onDeactivated()
{
    if (m_inOwnDialog)
        return;
    emit deactivated();
    release();
}

void ReportWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !m_workspaceWindow) {
        if (isActiveWindow())
            m_wasActive = true;
        else if (m_wasActive)
            onDeactivated();
    }
    QWidget::changeEvent(event);
}

void ReportWindow::closeEvent(QCloseEvent *event)
{
    release();
    emit closed();
    QWidget::closeEvent(event);
}

void ReportWindow::showEvent(QShowEvent *event)
{
    watchWorkspaceWindow();
    QWidget::showEvent(event);
    applyZoom();
}

void ReportWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (ui->cboZoom->currentData().toDouble() <= 0)
        applyZoom();
}

void ReportWindow::watchWorkspaceWindow()
{
    auto *workspaceWindow = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!workspaceWindow || workspaceWindow == m_workspaceWindow)
        return;
    m_workspaceWindow = workspaceWindow;
    connect(workspaceWindow, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates before, Qt::WindowStates now) {
                if ((before & Qt::WindowActive) && !(now & Qt::WindowActive))
                    onDeactivated();
            });
}

void ReportWindow::updatePage()
{
    const int count = m_document.pageCount();
    showValue(ui->lblPage, QStringLiteral("Page %1 of %2").arg(count ? m_page + 1 : 0).arg(count));
    ui->cmdFirstPage->setEnabled(m_page > 0);
    ui->cmdPreviousPage->setEnabled(m_page > 0);
    ui->cmdNextPage->setEnabled(m_page + 1 < count);
    ui->cmdLastPage->setEnabled(m_page + 1 < count);
    m_view->showPage(m_document, m_page, zoom());
    ui->scrollPages->verticalScrollBar()->setValue(0);
}

void ReportWindow::applyZoom()
{
    m_view->showPage(m_document, m_page, zoom());
}

} // namespace lexordo::report
