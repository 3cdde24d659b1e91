#pragma once

#include <QList>
#include <QString>

#include <deque>
#include <optional>

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

    virtual ~Messenger() = default;

    // A message box: message boxes carry no title of their own.
    virtual Answer message(const QString &text, Buttons buttons, Icon icon) = 0;

    // An input box; nothing when it is cancelled.
    virtual std::optional<QString> input(const QString &prompt, const QString &title,
                                         const QString &initialText) = 0;
};

// The messenger in use (a Qt one in the program, a scripted one in tests).
Messenger &messenger();
void setMessenger(Messenger *messenger);

// Shorthands used by the screens.
Messenger::Answer showMessage(const QString &text,
                              Messenger::Buttons buttons = Messenger::Buttons::Ok,
                              Messenger::Icon icon = Messenger::Icon::None);
bool askYesNo(const QString &text, Messenger::Icon icon = Messenger::Icon::None);
std::optional<QString> askInput(const QString &prompt, const QString &title = QString(),
                                const QString &initialText = QString());

// The double for tests: answers come from a script, and every box shown is
// recorded. A box that finds no scripted answer gets the cautious one (OK,
// No, Cancel, or a cancelled input box) and is marked unexpected.
class ScriptedMessenger : public Messenger
{
public:
    struct Shown
    {
        enum class Kind { Message, Input } kind;
        QString text;
        QString title;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        bool scripted = false;
    };

    ScriptedMessenger();
    ~ScriptedMessenger() override;

    void answer(Answer answer);
    void answerInput(const QString &text);
    void cancelInput();

    Answer message(const QString &text, Buttons buttons, Icon icon) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &initialText) override;

    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    QString lastText() const;
    int unansweredCount() const;
    int pendingAnswers() const { return int(m_messageAnswers.size() + m_inputAnswers.size()); }
    void clear();

private:
    Messenger *m_previous = nullptr;
    QList<Shown> m_shown;
    std::deque<Answer> m_messageAnswers;
    std::deque<std::optional<QString>> m_inputAnswers;
};

} // namespace lexordo
