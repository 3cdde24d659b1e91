#pragma once

#include <QObject>
#include <QPointer>

class QMdiSubWindow;
class QTimer;
class QWidget;

namespace lexordo {

// The black band across the top of a screen with the cyan block that runs
// along it from right to left, starting again at the right once it has left
// the screen. The block moves only while the clerk can see it: the screen
// shown, not minimised, and the window in front (the active child window of
// the main window, and the main window the active window). Otherwise the
// timer stands and the program costs nothing while it waits.
class MovingBand : public QObject
{
    Q_OBJECT

public:
    // The distances are in twips, 1440 to the inch, as the screen was drawn.
    static constexpr int stepTwips = 200;
    static constexpr int restartTwips = 10000;
    static constexpr int endTwips = -12500;
    // A few steps a second: it moves, and wakes the program up seldom.
    static constexpr int intervalMs = 200;

    // `band` is stretched across `screen`; `block` runs along it.
    MovingBand(QWidget *screen, QWidget *band, QWidget *block);

    QTimer *timer() const { return m_timer; }
    // Puts the band and the block in place (after the screen is resized).
    void place();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void step();
    void runOrStand();
    bool seen() const;
    void watchFrame();

    QWidget *m_screen;
    QPointer<QWidget> m_band;
    QPointer<QWidget> m_block;
    QPointer<QMdiSubWindow> m_frame;
    QPointer<QWidget> m_topLevel;
    QTimer *m_timer;
    int m_left = restartTwips; // the block's left edge
};

} // namespace lexordo
