#include "recordgrid.h"

#include <QKeyEvent>

namespace lexordo {

RecordGrid::RecordGrid(QWidget *parent) : QTableView(parent)
{
}

void RecordGrid::keyboardSearch(const QString &)
{
}

void RecordGrid::keyPressEvent(QKeyEvent *event)
{
    const bool typing = !event->text().isEmpty() && event->text().at(0).isPrint() &&
                        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (typing && state() != EditingState && currentIndex().isValid()) {
        // Ends the wait for a double click that a click on the highlighted
        // row started, so that the key below opens the cell at once. The
        // trigger is one the grid does not edit on: no editor opens here.
        edit(currentIndex(), CurrentChanged, nullptr);
    }
    QTableView::keyPressEvent(event);
}

} // namespace lexordo
