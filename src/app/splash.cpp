#include "splash.h"

#include "ui_splash.h"

#include <QCloseEvent>
#include <QMouseEvent>

// Resources of a static library are brought in by name, outside any namespace.
static void initResources()
{
    Q_INIT_RESOURCE(app);
}

namespace lexordo {

Splash::Splash(std::function<void()> onClosed, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), ui(new Ui::Splash),
      m_timer1(new QTimer(this)), m_onClosed(std::move(onClosed))
{
    initResources();
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    ui->Frame1->installEventFilter(this);
    for (QWidget *child : ui->Frame1->findChildren<QWidget *>())
        child->installEventFilter(this);

    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(displayMilliseconds);
    connect(m_timer1, &QTimer::timeout, this, &Splash::finish);
    m_timer1->start();
}

Splash::~Splash()
{
    delete ui;
}

bool Splash::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        finish();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Splash::closeEvent(QCloseEvent *event)
{
    event->accept();
    finish();
}

void Splash::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    m_timer1->stop();
    hide();
    if (m_onClosed)
        m_onClosed();
    deleteLater();
}

} // namespace lexordo
