#include "filtered_edit.h"

#include <QKeyEvent>

#include "net_field.h"

namespace busprobe {

FilteredEdit::FilteredEdit(QWidget* parent) : QLineEdit(parent) {}

FilteredEdit::Rule FilteredEdit::hexIdRule() {
    return [](const QString& text, int, int selectionLength, QChar typed) {
        return idBoxAcceptsKey(text.toStdString(), static_cast<size_t>(selectionLength),
                               typed.toLatin1());
    };
}

void FilteredEdit::keyPressEvent(QKeyEvent* event) {
    QString typed = event->text();
    bool character = typed.size() == 1 && !(event->modifiers() & Qt::ControlModifier) &&
                     (typed[0].isPrint() || event->key() == Qt::Key_Backspace);
    if (!character || !rule_) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QChar c = event->key() == Qt::Key_Backspace ? QChar('\b') : typed[0];
    int start = hasSelectedText() ? selectionStart() : cursorPosition();
    int length = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    if (c.unicode() > 127 && c != QChar('\b')) {
        if (!rule_(text(), start, length, QChar('~'))) {  // non-ASCII: only free text
            return;
        }
    } else if (!rule_(text(), start, length, c)) {
        return;
    }
    emit keyAccepted();
    if (upper_ && c != QChar('\b')) {
        QKeyEvent upper(event->type(), event->key(), event->modifiers(), typed.toUpper(),
                        event->isAutoRepeat(), static_cast<ushort>(event->count()));
        QLineEdit::keyPressEvent(&upper);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace busprobe
