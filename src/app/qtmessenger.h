#pragma once

#include <data/messenger.h>

namespace lexordo {

// Message and input boxes on screen.
class QtMessenger : public Messenger
{
public:
    Answer message(const QString &text, Buttons buttons, Icon icon, Default defaultButton) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &initialText) override;
};

} // namespace lexordo
