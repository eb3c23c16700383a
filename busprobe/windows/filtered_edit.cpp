#include "filtered_edit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionFrame>

#include "net_field.h"

namespace busprobe {

FilteredEdit::FilteredEdit(QWidget* parent) : QLineEdit(parent) {
    // A drop would insert text past the rule.
    setAcceptDrops(false);
}

FilteredEdit::Rule FilteredEdit::hexIdRule() {
    return [](const QString& text, int, int selectionLength, QChar typed) {
        return idBoxAcceptsKey(text.toStdString(), static_cast<size_t>(selectionLength),
                               typed.toLatin1());
    };
}

FilteredEdit::Rule FilteredEdit::digitRule() {
    return [](const QString&, int, int, QChar typed) {
        return typed == QChar('\b') || (typed >= QChar('0') && typed <= QChar('9'));
    };
}

bool FilteredEdit::accepts(QChar c) const {
    if (!rule_) {
        return true;
    }
    int start = hasSelectedText() ? selectionStart() : cursorPosition();
    int length = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
    if (c.unicode() > 127 && c != QChar('\b')) {
        return rule_(text(), start, length, QChar('~'));  // non-ASCII: only free text
    }
    return rule_(text(), start, length, c);
}

void FilteredEdit::insertFiltered(const QString& pasted) {
    bool any = false;
    for (QChar c : pasted) {
        if (!c.isPrint() || !accepts(c)) {
            continue;
        }
        insert(upper_ ? QString(c).toUpper() : QString(c));
        any = true;
    }
    if (any) {
        emit keyAccepted();
    }
}

void FilteredEdit::fitWidthTo(const QString& sample) {
    QStyleOptionFrame option;
    option.initFrom(this);
    option.lineWidth =
        hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this) : 0;
    // The line edit's own text margins (2 px each side in Qt) plus the caret.
    QSize contents(fontMetrics().horizontalAdvance(sample) + 8, fontMetrics().height());
    setFixedWidth(style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, this).width());
}

void FilteredEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        if (!isReadOnly()) {
            insertFiltered(QApplication::clipboard()->text());
        }
        return;
    }
    QString typed = event->text();
    bool character = typed.size() == 1 && !(event->modifiers() & Qt::ControlModifier) &&
                     (typed[0].isPrint() || event->key() == Qt::Key_Backspace);
    if (!character || !rule_) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QChar c = event->key() == Qt::Key_Backspace ? QChar('\b') : typed[0];
    if (!accepts(c)) {
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

void FilteredEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QStringLiteral("edit-paste")) {
            action->disconnect();
            connect(action, &QAction::triggered, this,
                    [this] { insertFiltered(QApplication::clipboard()->text()); });
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void FilteredEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        // The selection paste of X11, filtered like any other.
        if (!isReadOnly() && QApplication::clipboard()->supportsSelection()) {
            insertFiltered(QApplication::clipboard()->text(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

}  // namespace busprobe
