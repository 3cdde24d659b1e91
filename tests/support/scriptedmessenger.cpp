#include "scriptedmessenger.h"

namespace lexordo {

ScriptedMessenger::ScriptedMessenger() : m_previous(setMessenger(this))
{
}

ScriptedMessenger::~ScriptedMessenger()
{
    if (&messenger() == this)
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

Messenger::Answer ScriptedMessenger::message(const QString &text, Buttons buttons, Icon icon,
                                             Default defaultButton)
{
    Shown shown{Shown::Kind::Message, text, QString(), buttons, icon, false, defaultButton};
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
    Shown shown{Shown::Kind::Input, prompt, title,         Buttons::OkCancel,
                Icon::None,         false,  Default::First};
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
