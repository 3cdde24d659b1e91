#pragma once

class QLabel;
class QString;

namespace lexordo {

// Shows a value in a label that reports one (the file a backup will write,
// a count, a warning) so that a screen reader hears the value, not only
// the label's caption: the label's accessible name becomes its caption as
// designed followed by the value ("Backup file: /media/usb/advocate.mdb"),
// its accessible description the value. A label without a caption is named
// by its value.
void showValue(QLabel *label, const QString &value);

} // namespace lexordo
