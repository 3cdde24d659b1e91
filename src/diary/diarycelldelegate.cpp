#include "diarycelldelegate.h"

#include <data/recordset.h>
#include <data/recordsetmodel.h>
#include <QKeyEvent>
#include <QLineEdit>

namespace lexordo::diary {

namespace {

class HintKey : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (edit && event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->key() == Qt::Key_F4) {
            if (!edit->isReadOnly() && edit->text().trimmed().isEmpty() &&
                !edit->placeholderText().isEmpty()) {
                edit->setText(edit->placeholderText());
                edit->selectAll();
            }
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void offerHint(QLineEdit *edit)
{
    edit->installEventFilter(new HintKey(edit));
}

void DiaryCellDelegate::retype(const QModelIndex &index, const QString &text)
{
    m_retypeAt = index;
    m_retypeText = text;
}

void DiaryCellDelegate::hint(const QModelIndex &index, const QString &text)
{
    m_hintAt = index;
    m_hintText = text;
}

QWidget *DiaryCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    auto *edit = qobject_cast<QLineEdit *>(editor);
    if (edit && m_hintAt.isValid() && m_hintAt == index) {
        edit->setPlaceholderText(m_hintText);
        offerHint(edit);
        m_hintAt = QPersistentModelIndex();
    }
    return editor;
}

void DiaryCellDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *edit = qobject_cast<QLineEdit *>(editor);
    if (edit && m_retypeAt.isValid() && m_retypeAt == index) {
        edit->setText(m_retypeText);
        edit->selectAll();
        m_retypeAt = QPersistentModelIndex();
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void DiaryCellDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                     const QModelIndex &index) const
{
    auto *edit = qobject_cast<QLineEdit *>(editor);
    if (!edit) {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    const QString text = edit->text();
    if (model->data(index, Qt::EditRole).toString() == text)
        return; // left as it was: nothing to store, nothing to check
    if (model->setData(index, text, Qt::EditRole)) {
        if (stored)
            stored(index);
    } else if (auto *rows = qobject_cast<RecordSetModel *>(model);
               rows && rows->lastEditReadAgain()) {
        return; // another desk changed the row: told by the register, nothing to retype
    } else if (refused) {
        refused(index, text);
    }
}

} // namespace lexordo::diary
