#pragma once

#include <QTableView>

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

} // namespace lexordo
