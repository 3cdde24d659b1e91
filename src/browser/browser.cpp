#include "browser.h"

#include "browsersettings.h"
#include "pageview.h"
#include "ui_browser.h"
#include "webpageview.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTimer>
#include <widgets/screenhost.h>

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
    connect(m_view, &PageView::navigationComplete, this,
            [this](const QString &address) { navigationComplete(address); });
    connect(m_view, &PageView::downloadComplete, this,
            [this] { skipFailure([this] { showPageTitle(); }); });
    // The engine loads in the background: the busy indicator also runs from
    // the moment a load really begins, a link followed in the page included.
    connect(m_view, &PageView::navigationStarted, m_timer, qOverload<>(&QTimer::start));
    connect(m_timer, &QTimer::timeout, this, [this] { tick(); });

    ui->cboAddress->setCurrentText(startAddress);
    skipFailure([this] {
        const Suppress suppress(m_suppress);
        ui->cboAddress->addItem(startAddress);
        ui->cboAddress->setCurrentIndex(0);
    });
    m_timer->start();
    skipFailure([this] { m_view->navigate(startAddress); });

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
    if (watched == ui->cboAddress->lineEdit() && event->type() == QEvent::KeyPress) {
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
    const QString address = ui->cboAddress->currentText().trimmed();
    if (address.isEmpty())
        return;
    m_timer->start();
    skipFailure([this, address] { m_view->navigate(address); });
}

void Browser::navigationComplete(const QString &address)
{
    skipFailure([this] { showPageTitle(); });
    skipFailure([this, address] {
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
    skipFailure([this] { showPageTitle(); });
}

void Browser::toolbarPressed(QAction *key)
{
    m_timer->start();
    const QString name = key->objectName();
    skipFailure([this, name] {
        // With no earlier (or later) page there is nothing to go to, and
        // nothing to tell: the page stays as it is.
        if (name == QLatin1String("Back")) {
            try {
                m_view->goBack();
            } catch (const PageError &) {
            }
        } else if (name == QLatin1String("Forward")) {
            try {
                m_view->goForward();
            } catch (const PageError &) {
            }
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
