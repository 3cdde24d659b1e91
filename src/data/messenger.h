#pragma once

#include <optional>
#include <QList>
#include <QString>

namespace lexordo {

// Every message box and input box of the program goes through this one
// interface, so that tests can script the user's answers and read back the
// exact texts that were shown.
class Messenger
{
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Icon { None, Critical, Question, Exclamation, Information };
    enum class Answer { Ok, Cancel, Yes, No };
    // The button that Enter presses: the first (OK or Yes), or the cautious
    // one (No or Cancel) for a question whose Yes is hard to undo.
    enum class Default { First, Cautious };

    virtual ~Messenger() = default;

    // A message box: message boxes carry no title of their own.
    virtual Answer message(const QString &text, Buttons buttons, Icon icon,
                           Default defaultButton) = 0;

    // An input box; nothing when it is cancelled.
    virtual std::optional<QString> input(const QString &prompt, const QString &title,
                                         const QString &initialText) = 0;

    // The answer that changes nothing: OK, No or Cancel.
    static Answer cautiousAnswer(Buttons buttons);
};

// The messenger in use (a Qt one in the program, a scripted one in tests).
Messenger &messenger();
// Installs a messenger (nullptr: messages go to standard error); returns the one before.
Messenger *setMessenger(Messenger *messenger);

// Shorthands used by the screens.
Messenger::Answer showMessage(const QString &text,
                              Messenger::Buttons buttons = Messenger::Buttons::Ok,
                              Messenger::Icon icon = Messenger::Icon::None);
bool askYesNo(const QString &text, Messenger::Icon icon = Messenger::Icon::None,
              Messenger::Default defaultButton = Messenger::Default::First);
std::optional<QString> askInput(const QString &prompt, const QString &title = QString(),
                                const QString &initialText = QString());

} // namespace lexordo
