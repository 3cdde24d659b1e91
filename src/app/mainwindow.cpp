#include "mainwindow.h"

#include <QMdiArea>

static void initResources()
{
    Q_INIT_RESOURCE(app);
}

namespace lexordo {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), m_mdiArea(new QMdiArea(this))
{
    initResources();
    setObjectName(QStringLiteral("MDImain"));
    setWindowTitle(QStringLiteral("Lexordo - Case Diary"));
    m_mdiArea->setBackground(QBrush(QPixmap(QStringLiteral(":/images/background.png"))));
    setCentralWidget(m_mdiArea);
    resize(1200, 800);
}

} // namespace lexordo
