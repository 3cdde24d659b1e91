#pragma once

#include <functional>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

class QLineEdit;

namespace lexordo::diary {

// F4 in an empty date box takes the day its hint (the greyed placeholder) offers.
void offerHint(QLineEdit *edit);

// Writes what was typed into a cell of the diary grid. A text the diary
// refuses (not a date) goes back to the register, which tells the user and
// opens the cell again with that text in it.
class DiaryCellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    std::function<void(const QModelIndex &)> stored;
    std::function<void(const QModelIndex &, const QString &)> refused;

    // The next editor of that cell starts with this text instead of the stored one.
    void retype(const QModelIndex &index, const QString &text);

    // The next editor of that cell, empty, shows `hint` greyed; F4 takes it.
    void hint(const QModelIndex &index, const QString &text);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

private:
    mutable QPersistentModelIndex m_retypeAt;
    mutable QString m_retypeText;
    mutable QPersistentModelIndex m_hintAt;
    QString m_hintText;
};

} // namespace lexordo::diary
