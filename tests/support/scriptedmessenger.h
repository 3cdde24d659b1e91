#pragma once

#include <data/messenger.h>
#include <deque>
#include <QStringList>

namespace lexordo {

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
        Default defaultButton = Default::First; // what Enter would have answered
    };

    ScriptedMessenger();
    ~ScriptedMessenger() override;

    void answer(Answer answer);
    void answerInput(const QString &text);
    void cancelInput();

    Answer message(const QString &text, Buttons buttons, Icon icon, Default defaultButton) override;
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
