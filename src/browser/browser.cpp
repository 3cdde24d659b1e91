#include "browser.h"

#include "address.h"
#include "browsersettings.h"
#include "pageview.h"
#include "ui_browser.h"
#include "webpageview.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTimer>
#include <widgets/guard.h>
#include <widgets/valuelabel.h>

namespace lexordo {

namespace {

// Sets the flag for as long as the program rewrites the list, failure or not.
class Suppress
{
public:
    explicit Suppress(bool &flag) : m_flag(flag) { m_flag = true; }
    ~Suppress() { m_flag = false; }
    Suppress(const Suppress &) = delete;
    Suppress &operator=(const Suppress &) = delete;

private:
    bool &m_flag;
};

} // namespace

Browser::Browser(QWidget *parent) : Browser(new WebPageView, parent)
{
}

Browser::Browser(PageView *view, QWidget *parent)
    : QWidget(parent), ui(new Ui::Browser), m_view(view), m_timer(new QTimer(this))
{
    ui->setupUi(this);
    m_view->setParent(this);
    QWidget *page = m_view->widget();
    page->setObjectName(QStringLiteral("brwWebBrowser"));
    page->setAccessibleName(QStringLiteral("Web page"));
    ui->layoutPage->addWidget(page);

    m_timer->setObjectName(QStringLiteral("timTimer"));
    m_timer->setInterval(5);

    const struct
    {
        QAction *action;
        QStyle::StandardPixmap icon;
    } keys[] = {
        {ui->Back, QStyle::SP_ArrowBack},   {ui->Forward, QStyle::SP_ArrowForward},
        {ui->Stop, QStyle::SP_BrowserStop}, {ui->Refresh, QStyle::SP_BrowserReload},
        {ui->Home, QStyle::SP_DirHomeIcon}, {ui->Search, QStyle::SP_FileDialogContentsView},
    };
    for (const auto &key : keys) {
        key.action->setIcon(style()->standardIcon(key.icon));
        addAction(key.action); // the keys' shortcuts work anywhere in the window
    }

    connect(ui->tbToolBar, &QToolBar::actionTriggered, this,
            [this](QAction *key) { toolbarPressed(key); });
    // A choice in the list navigates; the box also reports a typed text that
    // matches an entry as a choice when it loses the focus, which must not.
    connect(ui->cboAddress, &QComboBox::activated, this, [this] {
        if (!m_listChoice)
            return;
        m_listChoice = false;
        addressEntered();
    });
    ui->cboAddress->view()->installEventFilter(this);
    ui->cboAddress->view()->viewport()->installEventFilter(this);
    // Enter in the address box is taken here, once: the box itself would
    // report it twice, and as a choice when the text is in the list.
    ui->cboAddress->lineEdit()->installEventFilter(this);
    // The box, not its line, has the focus and gets the keys typed: it hands
    // them to the line without passing them through a filter there.
    ui->cboAddress->installEventFilter(this);
    connect(m_view, &PageView::navigationComplete, this,
            [this](const QString &address) { navigationComplete(address); });
    connect(m_view, &PageView::downloadComplete, this,
            [this] { guardAction([this] { showPageTitle(); }); });
    connect(
        m_view, &PageView::navigationFailed, this,
        [this](const QString &address, const QString &reason) { showProblem(address, reason); });
    connect(m_view, &PageView::navigationStarted, this, [this] { showProblem({}, {}); });
    // The engine loads in the background: the busy indicator also runs from
    // the moment a load really begins, a link followed in the page included.
    connect(m_view, &PageView::navigationStarted, m_timer, qOverload<>(&QTimer::start));
    connect(m_timer, &QTimer::timeout, this, [this] { tick(); });

    ui->lblProblem->hide();
    ui->cboAddress->setCurrentText(startAddress);
    m_timer->start();
    guardAction([this] {
        {
            const Suppress suppress(m_suppress);
            ui->cboAddress->addItem(startAddress);
            ui->cboAddress->setCurrentIndex(0);
        }
        m_view->navigate(startAddress);
    });

    // Ready for an address to be typed over the blank page's.
    ui->cboAddress->setFocus();
    ui->cboAddress->lineEdit()->selectAll();
}

Browser::~Browser()
{
    delete ui;
}

bool Browser::eventFilter(QObject *watched, QEvent *event)
{
    const bool addressBox = watched == ui->cboAddress || watched == ui->cboAddress->lineEdit();
    if (addressBox && event->type() == QEvent::FocusIn &&
        static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
        // Typing replaces the address shown, however the box got the focus;
        // after the click that may have brought it.
        QTimer::singleShot(0, ui->cboAddress->lineEdit(), &QLineEdit::selectAll);
    }
    if (addressBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            addressEntered();
            return true;
        }
    }
    if ((watched == ui->cboAddress->view() &&
         (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) ||
        (watched == ui->cboAddress->view()->viewport() &&
         event->type() == QEvent::MouseButtonRelease)) {
        const bool choosing = event->type() == QEvent::MouseButtonRelease ||
                              static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return ||
                              static_cast<QKeyEvent *>(event)->key() == Qt::Key_Enter;
        if (choosing) {
            m_listChoice = true;
            QTimer::singleShot(0, this, [this] { m_listChoice = false; });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Browser::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // Web pages need room: the browser takes most of the main window's workspace.
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (QMdiArea *area = frame ? frame->mdiArea() : nullptr) {
        const QSize room = area->viewport()->size();
        frame->setGeometry(QRect(QPoint(room.width() / 40, room.height() / 40), room * 0.95));
    }
}

void Browser::addressEntered()
{
    if (m_suppress)
        return;
    const QString typed = ui->cboAddress->currentText().trimmed();
    if (typed.isEmpty())
        return;
    m_timer->start();
    guardAction([this, typed] {
        const QUrl url = browser::addressUrl(typed);
        if (!url.isValid())
            throw PageError("That is not a web address.");
        m_view->navigate(url.toString());
    });
}

void Browser::navigationComplete(const QString &address)
{
    guardAction([this, address] {
        showPageTitle();
        int found = -1;
        for (int i = 0; i < ui->cboAddress->count(); ++i) {
            if (ui->cboAddress->itemText(i) == address) {
                found = i;
                break;
            }
        }
        const Suppress suppress(m_suppress);
        if (found >= 0)
            ui->cboAddress->removeItem(found);
        ui->cboAddress->insertItem(0, address);
        ui->cboAddress->setCurrentIndex(0);
    });
}

void Browser::showProblem(const QString &address, const QString &reason)
{
    // Said on the screen, under the address, until the next page is asked for.
    const QString text =
        address.isEmpty()
            ? QString()
            : QStringLiteral("%1 could not be opened: %2")
                  .arg(address, reason.isEmpty() ? QStringLiteral("no answer") : reason);
    showValue(ui->lblProblem, text);
    ui->lblProblem->setVisible(!text.isEmpty());
}

void Browser::showPageTitle()
{
    setWindowTitle(m_view->title());
}

void Browser::tick()
{
    if (m_view->isBusy()) {
        setWindowTitle(workingTitle);
        return;
    }
    m_timer->stop();
    guardAction([this] { showPageTitle(); });
}

void Browser::toolbarPressed(QAction *key)
{
    m_timer->start();
    const QString name = key->objectName();
    guardAction([this, name] {
        // With no earlier (or later) page there is nothing to go to, and
        // nothing to tell: the page stays as it is.
        if (name == QLatin1String("Back")) {
            m_view->goBack();
        } else if (name == QLatin1String("Forward")) {
            m_view->goForward();
        } else if (name == QLatin1String("Refresh")) {
            m_view->refresh();
        } else if (name == QLatin1String("Home")) {
            m_view->navigate(browser::homePage());
        } else if (name == QLatin1String("Search")) {
            m_view->navigate(browser::searchPage());
        } else if (name == QLatin1String("Stop")) {
            m_timer->stop();
            m_view->stop();
            showPageTitle();
        }
    });
}

} // namespace lexordo
