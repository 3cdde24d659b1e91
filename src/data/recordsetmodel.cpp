#include "recordsetmodel.h"

#include "dataerror.h"
#include "recordset.h"

namespace lexordo {

RecordSetModel::RecordSetModel(RecordSet *recordSet, QObject *parent)
    : QAbstractTableModel(parent), m_recordSet(recordSet)
{
    connect(recordSet, &RecordSet::aboutToReset, this, [this] { beginResetModel(); });
    connect(recordSet, &RecordSet::reset, this, [this] {
        m_readFailed = false;
        refreshFields();
        endResetModel();
    });
    connect(recordSet, &RecordSet::aboutToInsertRow, this,
            [this](int row) { beginInsertRows(QModelIndex(), row, row); });
    connect(recordSet, &RecordSet::rowInserted, this, [this] { endInsertRows(); });
    connect(recordSet, &RecordSet::aboutToRemoveRow, this,
            [this](int row) { beginRemoveRows(QModelIndex(), row, row); });
    connect(recordSet, &RecordSet::rowRemoved, this, [this] { endRemoveRows(); });
    connect(recordSet, &RecordSet::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void RecordSetModel::setColumns(const QList<Column> &columns)
{
    const bool changed = columns.size() != m_columns.size();
    if (changed)
        beginResetModel();
    m_columns = columns;
    refreshFields();
    if (changed)
        endResetModel();
}

void RecordSetModel::refreshFields()
{
    // The record set's columns change when it is opened on another source.
    m_fields.clear();
    for (const Column &c : m_columns)
        m_fields.append(c.field.isEmpty() || !m_recordSet ? -1 : m_recordSet->fieldIndex(c.field));
}

int RecordSetModel::fieldOf(int column) const
{
    return column >= 0 && column < m_fields.size() ? m_fields[column] : -1;
}

void RecordSetModel::reportReadFailure(const QString &description) const
{
    if (m_readFailed)
        return;
    m_readFailed = true;
    emit const_cast<RecordSetModel *>(this)->readFailed(description);
}

// The view calls these while it lays out and paints: nothing may be thrown
// into it. What cannot be read shows empty, and is reported.
int RecordSetModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_recordSet)
        return 0;
    try {
        return m_recordSet->rowCount();
    } catch (const DataError &e) {
        reportReadFailure(e.description());
    } catch (const std::exception &e) {
        reportReadFailure(QString::fromLocal8Bit(e.what()));
    }
    return 0;
}

int RecordSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_recordSet || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    const int field = fieldOf(index.column());
    if (field < 0)
        return QString();
    try {
        return m_recordSet->textAt(index.row(), field);
    } catch (const DataError &e) {
        reportReadFailure(e.description());
    } catch (const std::exception &e) {
        reportReadFailure(QString::fromLocal8Bit(e.what()));
    }
    return QVariant();
}

QVariant RecordSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_columns[section].caption;
    if (role == Qt::ToolTipRole && !m_columns[section].toolTip.isEmpty())
        return m_columns[section].toolTip;
    return QVariant();
}

Qt::ItemFlags RecordSetModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_editable && fieldOf(index.column()) >= 0 && m_recordSet && m_recordSet->isUpdatable())
        f |= Qt::ItemIsEditable;
    return f;
}

bool RecordSetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !m_recordSet)
        return false;
    const int field = fieldOf(index.column());
    if (field < 0)
        return false;
    m_readAgain = false;
    try {
        m_recordSet->moveTo(index.row());
        m_recordSet->setValue(field, value);
    } catch (const ChangedElsewhere &e) {
        m_lastError = e.description();
        m_readAgain = true;
        emit readAgain();
        return false;
    } catch (const DataError &e) {
        m_lastError = e.description();
        emit editRefused(e.description());
        return false;
    }
    m_lastError.clear();
    return true;
}

} // namespace lexordo
