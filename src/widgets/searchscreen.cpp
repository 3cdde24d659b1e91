#include "searchscreen.h"

#include "enterkey.h"
#include "guard.h"
#include "screenhost.h"

#include <algorithm>
#include <data/messenger.h>
#include <QAbstractButton>
#include <QLayout>
#include <QRadioButton>

namespace lexordo {

namespace {

// The option buttons as the form lays them out, top to bottom.
QList<QRadioButton *> optionButtons(QWidget *screen)
{
    QList<QRadioButton *> buttons = screen->findChildren<QRadioButton *>();
    const auto placeOf = [](QRadioButton *button) {
        QWidget *group = button->parentWidget();
        return group && group->layout() ? group->layout()->indexOf(button) : -1;
    };
    std::stable_sort(buttons.begin(), buttons.end(),
                     [&](QRadioButton *a, QRadioButton *b) { return placeOf(a) < placeOf(b); });
    return buttons;
}

} // namespace

SearchScreen::SearchScreen(QWidget *parent) : QWidget(parent)
{
}

void SearchScreen::setUpSearch(QAbstractButton *ok, QAbstractButton *cancel,
                               const QList<SearchOption> &options)
{
    m_buttons = optionButtons(this);
    m_options = options;
    Q_ASSERT(m_options.size() == m_buttons.size());
    connect(ok, &QAbstractButton::clicked, this, [this] { guardAction([this] { search(); }); });
    connect(cancel, &QAbstractButton::clicked, this, [this] { closeScreen(this); });
    // Enter searches by the option ticked; Escape leaves, as Cancel does.
    for (QRadioButton *option : std::as_const(m_buttons))
        onEnterKey(option, [ok] { ok->click(); });
    pressButtonsOnEnter(this);
    closeOnEscape(this);
}

int SearchScreen::chosenIndex() const
{
    for (int i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i]->isChecked())
            return i;
    }
    return 0;
}

std::optional<QString> SearchScreen::askChosen()
{
    const SearchOption option = chosen(); // the screen may be gone once it is closed
    closeScreen(this);
    std::optional<QString> answer = askInput(option.prompt, option.title);
    if (!answer || answer->isEmpty())
        return std::nullopt;
    return answer;
}

} // namespace lexordo
