#pragma once

#include <QMainWindow>

class QMdiArea;

namespace lexordo {

// The frame window that holds the screens as child windows.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);

    QMdiArea *mdiArea() const { return m_mdiArea; }

private:
    QMdiArea *m_mdiArea;
};

} // namespace lexordo
