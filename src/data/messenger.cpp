#include "messenger.h"

#include <cstdio>
#include <utility>

namespace lexordo {

namespace {

// Without a messenger installed (a command run with no display), messages go
// to standard error and questions take their cautious answer.
class StderrMessenger : public Messenger
{
public:
    Answer message(const QString &text, Buttons buttons, Icon, Default) override
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

} // namespace

Messenger::Answer Messenger::cautiousAnswer(Buttons buttons)
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

Messenger &messenger()
{
    return s_messenger ? *s_messenger : s_stderrMessenger;
}

Messenger *setMessenger(Messenger *m)
{
    return std::exchange(s_messenger, m);
}

Messenger::Answer showMessage(const QString &text, Messenger::Buttons buttons, Messenger::Icon icon)
{
    return messenger().message(text, buttons, icon, Messenger::Default::First);
}

bool askYesNo(const QString &text, Messenger::Icon icon, Messenger::Default defaultButton)
{
    return messenger().message(text, Messenger::Buttons::YesNo, icon, defaultButton) ==
           Messenger::Answer::Yes;
}

std::optional<QString> askInput(const QString &prompt, const QString &title,
                                const QString &initialText)
{
    return messenger().input(prompt, title, initialText);
}

} // namespace lexordo
