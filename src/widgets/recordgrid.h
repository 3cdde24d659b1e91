#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTableView>

class QTimer;

namespace lexordo {

// A register's grid in which typing goes into the cell where it is typed.
//
// A plain item view does two things with a key that a clerk does not expect.
// After a click on a cell of the highlighted row it waits a double-click
// interval before it opens the cell, and a key typed in that wait cannot open
// it; the key then goes to the view's keyboard search, which jumps to the
// first row whose cell in that column begins with the key (a next date
// beginning with "1"), and the rest of the typing lands in that other
// hearing. Here a key typed in the wait opens the clicked cell, and typing
// never searches: moving between rows is for the arrows, the mouse and the
// register's buttons.
class RecordGrid : public QTableView
{
    Q_OBJECT

public:
    explicit RecordGrid(QWidget *parent = nullptr);

    void keyboardSearch(const QString &search) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// Keeps a grid's columns wide enough for what they show: each column is at
// least as wide as its caption and the widest of the rows in view, up to
// `widest()`; a cell cut short shows its full text when pointed at. Only the
// rows in view are measured, so a grid over a million rows costs no more
// than a small one. A width the user sets by dragging a column's edge is
// kept, under `key` ("frmCases/DataGrid1"), and used the next time the grid
// is made; such a column is no longer fitted.
class GridColumns : public QObject
{
    Q_OBJECT

public:
    // The grid's fitter, made on first use; its model must be set.
    static GridColumns *attach(QTableView *grid, const QString &key);
    static GridColumns *of(const QTableView *grid);

    // A column holds at least `sample` (a date column, while its cells are blank).
    void reserve(int column, const QString &sample);
    // Fits the columns to the rows now in view.
    void fit();
    // The widest a column is made to fit its rows (a long name is cut).
    int widest() const;
    bool userSet(int column) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    GridColumns(QTableView *grid, const QString &key);

    QString columnKey(int column) const;
    void restoreWidths();
    void columnResized(int column, int newWidth);
    void fitSoon(bool fromScratch);
    int padding() const;

    QPointer<QTableView> m_grid;
    // The viewports watched, only ever compared: while the grid is being
    // destroyed, its children still send events here after it has stopped
    // being a QTableView.
    const QObject *m_headerViewport = nullptr;
    const QObject *m_gridViewport = nullptr;
    QString m_key;
    QTimer *m_soon;
    QHash<int, QString> m_reserved;
    QSet<int> m_userSet;
    bool m_fitting = false;
    bool m_userResizing = false;
    bool m_fromScratch = true;
};

} // namespace lexordo
