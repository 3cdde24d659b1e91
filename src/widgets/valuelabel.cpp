#include "valuelabel.h"

#include <QLabel>
#include <QTextDocumentFragment>

namespace lexordo {

namespace {
const char *const captionProperty = "valueCaption";
}

void showValue(QLabel *label, const QString &value)
{
    if (!label)
        return;
    // The caption the label was designed with, kept apart the first time.
    QVariant caption = label->property(captionProperty);
    if (!caption.isValid()) {
        caption = label->accessibleName();
        label->setProperty(captionProperty, caption);
    }
    label->setText(value);
    // A screen reader reads words, not the markup of a rich text.
    const QString spoken =
        Qt::mightBeRichText(value) ? QTextDocumentFragment::fromHtml(value).toPlainText() : value;
    const QString captionText = caption.toString();
    label->setAccessibleName(captionText.isEmpty() || spoken.isEmpty()
                                 ? (spoken.isEmpty() ? captionText : spoken)
                                 : captionText + QStringLiteral(": ") + spoken);
    label->setAccessibleDescription(spoken);
}

} // namespace lexordo
