#include "recordgrid.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QTimer>
#include <QToolTip>

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

// --- columns that fit ----------------------------------------------------------------------

namespace {

QSettings gridSettings()
{
    return QSettings(QStringLiteral("Lexordo"), QStringLiteral("Lexordo"));
}

} // namespace

GridColumns *GridColumns::attach(QTableView *grid, const QString &key)
{
    if (GridColumns *existing = of(grid))
        return existing;
    return new GridColumns(grid, key);
}

GridColumns *GridColumns::of(const QTableView *grid)
{
    return grid ? grid->findChild<GridColumns *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

GridColumns::GridColumns(QTableView *grid, const QString &key)
    : QObject(grid), m_grid(grid), m_key(key), m_soon(new QTimer(this))
{
    // Many changes at once (a re-read, a scroll) are fitted once, after them.
    m_soon->setSingleShot(true);
    m_soon->setInterval(0);
    connect(m_soon, &QTimer::timeout, this, &GridColumns::fit);

    QHeaderView *header = grid->horizontalHeader();
    m_headerViewport = header->viewport();
    m_gridViewport = grid->viewport();
    header->viewport()->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
    connect(header, &QHeaderView::sectionResized, this,
            [this](int column, int, int newWidth) { columnResized(column, newWidth); });
    connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { fitSoon(false); });
    if (QAbstractItemModel *model = grid->model()) {
        connect(model, &QAbstractItemModel::modelReset, this, [this] { fitSoon(true); });
        connect(model, &QAbstractItemModel::layoutChanged, this, [this] { fitSoon(true); });
        connect(model, &QAbstractItemModel::rowsInserted, this, [this] { fitSoon(false); });
        connect(model, &QAbstractItemModel::dataChanged, this, [this] { fitSoon(false); });
    }
    restoreWidths();
    fit();
}

QString GridColumns::columnKey(int column) const
{
    QString caption;
    if (m_grid && m_grid->model())
        caption = m_grid->model()->headerData(column, Qt::Horizontal).toString();
    if (caption.isEmpty())
        caption = QString::number(column);
    caption.replace(u'/', u' ');
    return QStringLiteral("grids/%1/%2").arg(m_key, caption);
}

void GridColumns::restoreWidths()
{
    if (!m_grid || !m_grid->model() || m_key.isEmpty())
        return;
    const QSettings settings = gridSettings();
    m_fitting = true;
    for (int column = 0; column < m_grid->model()->columnCount(); ++column) {
        const int width = settings.value(columnKey(column)).toInt();
        if (width > 0) {
            m_userSet.insert(column);
            m_grid->setColumnWidth(column, width);
        }
    }
    m_fitting = false;
}

void GridColumns::reserve(int column, const QString &sample)
{
    m_reserved.insert(column, sample);
    m_fromScratch = true;
    fit();
}

bool GridColumns::userSet(int column) const
{
    return m_userSet.contains(column);
}

int GridColumns::widest() const
{
    // About forty letters: a long party's name is cut rather than the grid
    // made wider than the screen; the rest shows when pointed at.
    return m_grid ? m_grid->fontMetrics().averageCharWidth() * 40 + padding() : 0;
}

int GridColumns::padding() const
{
    return 2 * (m_grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_grid) + 1) +
           8;
}

void GridColumns::fitSoon(bool fromScratch)
{
    m_fromScratch = m_fromScratch || fromScratch;
    m_soon->start();
}

void GridColumns::fit()
{
    if (!m_grid || !m_grid->model())
        return;
    const QAbstractItemModel *model = m_grid->model();
    QHeaderView *header = m_grid->horizontalHeader();
    const QFontMetrics metrics(m_grid->font());
    // Only the rows in view are measured, however many the grid holds: the
    // rows that fit the viewport from the first one shown (a hidden grid
    // may not know its rows' places yet, so they are not asked of it); a row
    // is at least a letter high.
    const int rowHeight =
        std::max({1, m_grid->verticalHeader()->defaultSectionSize(), metrics.height()});
    const int inView = std::clamp(m_grid->viewport()->height() / rowHeight + 1, 1, 200);
    const int first = std::max(0, m_grid->rowAt(0));
    const int last = std::min(model->rowCount(), first + inView) - 1;
    const int cap = widest();
    const bool fromScratch = m_fromScratch;
    m_fromScratch = false;
    m_fitting = true;
    for (int column = 0; column < model->columnCount(); ++column) {
        if (m_userSet.contains(column) || m_grid->isColumnHidden(column))
            continue;
        int content = 0;
        if (m_reserved.contains(column))
            content = metrics.horizontalAdvance(m_reserved.value(column)) + padding();
        for (int row = std::max(first, 0); row <= last; ++row) {
            content = std::max(
                content,
                metrics.horizontalAdvance(model->index(row, column).data().toString()) + padding());
        }
        int width = std::max(header->sectionSizeHint(column), std::min(content, cap));
        // Scrolling does not make columns jump narrower and back.
        if (!fromScratch)
            width = std::max(width, m_grid->columnWidth(column));
        if (width != m_grid->columnWidth(column))
            m_grid->setColumnWidth(column, width);
    }
    m_fitting = false;
}

void GridColumns::columnResized(int column, int newWidth)
{
    // Only a width the user drags (or double-clicks) is kept; the grid's own
    // fitting and the stretch of the last column are not.
    if (m_fitting || !m_userResizing || m_key.isEmpty())
        return;
    const QHeaderView *header = m_grid->horizontalHeader();
    if (header->stretchLastSection() &&
        header->logicalIndex(header->count() - 1 - header->hiddenSectionCount()) == column)
        return;
    m_userSet.insert(column);
    gridSettings().setValue(columnKey(column), newWidth);
}

bool GridColumns::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_headerViewport) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            m_userResizing = true;
            break;
        case QEvent::MouseButtonRelease:
            // After the header has handled the release.
            QTimer::singleShot(0, this, [this] { m_userResizing = false; });
            break;
        default:
            break;
        }
    } else if (watched == m_gridViewport && !m_grid.isNull()) {
        if (event->type() == QEvent::Resize)
            fitSoon(false);
        if (event->type() == QEvent::ToolTip) {
            // A cell cut short shows its whole text; a model's own tip comes first.
            auto *help = static_cast<QHelpEvent *>(event);
            const QModelIndex index = m_grid->indexAt(help->pos());
            if (index.isValid() && index.data(Qt::ToolTipRole).toString().isEmpty()) {
                const QString text = index.data().toString();
                if (QFontMetrics(m_grid->font()).horizontalAdvance(text) + padding() >
                    m_grid->columnWidth(index.column())) {
                    QToolTip::showText(help->globalPos(), text, m_grid->viewport(),
                                       m_grid->visualRect(index));
                } else {
                    QToolTip::hideText();
                }
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace lexordo
