#pragma once

#include <functional>
#include <QTimer>
#include <QWidget>

namespace Ui {
class Splash;
}

namespace lexordo {

// The start-up screen. It closes after four seconds, or at once when clicked,
// and then hands over to the next window exactly once.
class Splash : public QWidget
{
    Q_OBJECT

public:
    explicit Splash(std::function<void()> onClosed, QWidget *parent = nullptr);
    ~Splash() override;

    static constexpr int displayMilliseconds = 4000;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void finish();

    Ui::Splash *ui;
    QTimer *m_timer1;
    std::function<void()> m_onClosed;
    bool m_finished = false;
};

} // namespace lexordo
