#include "messenger.h"

namespace lexordo {

namespace {

// Without a messenger installed (a command run with no display), messages go
// to standard error and questions take their cautious answer.
class StderrMessenger : public Messenger
{
public:
    Answer message(const QString &text, Buttons buttons, Icon) override
    {
        fprintf(stderr, "%s\n", qPrintable(text));
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
        case Buttons::YesNoCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
            return Answer::No;
        }
        return Answer::Ok;
    }

    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
};

StderrMessenger s_stderrMessenger;
Messenger *s_messenger = nullptr;

Messenger::Answer cautiousAnswer(Messenger::Buttons buttons)
{
    switch (buttons) {
    case Messenger::Buttons::Ok:
        return Messenger::Answer::Ok;
    case Messenger::Buttons::OkCancel:
    case Messenger::Buttons::YesNoCancel:
        return Messenger::Answer::Cancel;
    case Messenger::Buttons::YesNo:
        return Messenger::Answer::No;
    }
    return Messenger::Answer::Ok;
}

} // namespace

Messenger &messenger()
{
    return s_messenger ? *s_messenger : s_stderrMessenger;
}

void setMessenger(Messenger *m)
{
    s_messenger = m;
}

Messenger::Answer showMessage(const QString &text, Messenger::Buttons buttons, Messenger::Icon icon)
{
    return messenger().message(text, buttons, icon);
}

bool askYesNo(const QString &text, Messenger::Icon icon)
{
    return messenger().message(text, Messenger::Buttons::YesNo, icon) == Messenger::Answer::Yes;
}

std::optional<QString> askInput(const QString &prompt, const QString &title,
                                const QString &initialText)
{
    return messenger().input(prompt, title, initialText);
}

ScriptedMessenger::ScriptedMessenger() : m_previous(s_messenger)
{
    setMessenger(this);
}

ScriptedMessenger::~ScriptedMessenger()
{
    if (s_messenger == this)
        setMessenger(m_previous);
}

void ScriptedMessenger::answer(Answer a)
{
    m_messageAnswers.push_back(a);
}

void ScriptedMessenger::answerInput(const QString &text)
{
    m_inputAnswers.push_back(text);
}

void ScriptedMessenger::cancelInput()
{
    m_inputAnswers.push_back(std::nullopt);
}

Messenger::Answer ScriptedMessenger::message(const QString &text, Buttons buttons, Icon icon)
{
    Shown shown{Shown::Kind::Message, text, QString(), buttons, icon, false};
    Answer result = cautiousAnswer(buttons);
    if (buttons == Buttons::Ok) {
        // An OK box needs no script; a scripted answer is only used when it is OK.
        if (!m_messageAnswers.empty() && m_messageAnswers.front() == Answer::Ok)
            m_messageAnswers.pop_front();
        shown.scripted = true;
    } else if (!m_messageAnswers.empty()) {
        result = m_messageAnswers.front();
        m_messageAnswers.pop_front();
        shown.scripted = true;
    }
    m_shown.append(shown);
    return result;
}

std::optional<QString> ScriptedMessenger::input(const QString &prompt, const QString &title,
                                                const QString &)
{
    Shown shown{Shown::Kind::Input, prompt, title, Buttons::OkCancel, Icon::None, false};
    std::optional<QString> result;
    if (!m_inputAnswers.empty()) {
        result = m_inputAnswers.front();
        m_inputAnswers.pop_front();
        shown.scripted = true;
    }
    m_shown.append(shown);
    return result;
}

QStringList ScriptedMessenger::texts() const
{
    QStringList result;
    for (const Shown &s : m_shown)
        result.append(s.text);
    return result;
}

QString ScriptedMessenger::lastText() const
{
    return m_shown.isEmpty() ? QString() : m_shown.last().text;
}

int ScriptedMessenger::unansweredCount() const
{
    int count = 0;
    for (const Shown &s : m_shown)
        count += s.scripted ? 0 : 1;
    return count;
}

void ScriptedMessenger::clear()
{
    m_shown.clear();
    m_messageAnswers.clear();
    m_inputAnswers.clear();
}

} // namespace lexordo
