#pragma once
// The look the three step windows share: a tool window with a caption and no
// caption buttons, a fixed client size, centred, 8-point sans-serif.

#include <QSize>
#include <QString>

class QWidget;
class QLineEdit;

namespace fjl::app {

void ApplyStepWindowStyle(QWidget& window, const QString& caption, QSize client_size);

// A counter box of "Типы записей" or of step 2: an ordinary editable box
// starting at "0".
QLineEdit* MakeCounterBox(QWidget* parent);
// A read-only box for the result code or the status bytes of the last reply.
QLineEdit* MakeReplyBox(QWidget* parent, int width);

}  // namespace fjl::app
