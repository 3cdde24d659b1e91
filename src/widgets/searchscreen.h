#pragma once

#include <optional>
#include <QList>
#include <QString>
#include <QWidget>

class QAbstractButton;
class QRadioButton;

namespace lexordo {

// One way to search a register, as its option button says: the column looked
// in, and the question asked for the text.
struct SearchOption
{
    QString column;
    QString prompt;
    QString title;
};

// A small search screen: OK searches, Cancel and Escape leave, Enter presses
// the focused button and, on an option, OK. A screen with options (the case
// search, the rulings' and the directory's searches) gives one row of its
// option table for each option button, in the order the form shows them;
// the option ticked says what to ask for.
class SearchScreen : public QWidget
{
    Q_OBJECT

protected:
    explicit SearchScreen(QWidget *parent = nullptr);

    // After setupUi().
    void setUpSearch(QAbstractButton *ok, QAbstractButton *cancel,
                     const QList<SearchOption> &options = {});
    // The row of the option ticked; the first when none is.
    int chosenIndex() const;
    const SearchOption &chosen() const { return m_options.at(chosenIndex()); }
    // Closes the screen, then asks the chosen option's question; nothing when
    // the user cancels or answers with nothing. Read chosen() before: the
    // screen is closed on return.
    std::optional<QString> askChosen();

    virtual void search() = 0;

private:
    QList<QRadioButton *> m_buttons; // in the order shown
    QList<SearchOption> m_options;
};

} // namespace lexordo
