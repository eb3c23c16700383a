#include "ip_edit.h"

#include <QKeyEvent>
#include <QLabel>

#include "filtered_edit.h"
#include "ip_text.h"

namespace busprobe {
namespace {

constexpr std::array<int, 4> kBoxLeft{2, 31, 60, 90};
constexpr std::array<int, 4> kBoxWidth{26, 26, 27, 30};
constexpr std::array<int, 3> kDotLeft{27, 57, 87};
constexpr std::array<const char*, 4> kOctetErrors{
    "The first node is not a valid number", "The second node is not a valid number",
    "The third node is not a valid number", "The fourth node is not a valid number"};

}  // namespace

TVEKIPEdit::TVEKIPEdit(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setFixedSize(125, 24);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    for (size_t i = 0; i < boxes_.size(); ++i) {
        auto* box = new FilteredEdit(this);
        // Typed and pasted text alike: digits only.
        box->setRule(FilteredEdit::digitRule());
        box->setUpperCase(false);
        box->setObjectName(QStringLiteral("edtOctet%1").arg(i + 1));
        box->setFrame(false);
        box->setMaxLength(3);
        box->setAlignment(Qt::AlignCenter);
        box->setGeometry(kBoxLeft[i], 3, kBoxWidth[i], 18);
        // Only the first octet is a tab stop: Tab enters the control there.
        box->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        box->installEventFilter(this);
        int index = static_cast<int>(i);
        connect(box, &QLineEdit::textChanged, this, [this, index] { octetChanged(index); });
        boxes_[i] = box;
    }
    for (int left : kDotLeft) {
        auto* dot = new QLabel(QStringLiteral("."), this);
        dot->setGeometry(left, 4, 4, 16);
    }
    setFocusProxy(boxes_[0]);
}

QString TVEKIPEdit::text() const {
    return boxes_[0]->text() + '.' + boxes_[1]->text() + '.' + boxes_[2]->text() + '.' +
           boxes_[3]->text();
}

void TVEKIPEdit::setText(const QString& text) {
    OctetTexts parts = splitIpText(text.toStdString());
    for (size_t i = 0; i < boxes_.size(); ++i) {
        boxes_[i]->setText(QString::fromStdString(parts[i]));
        int value = octetValue(parts[i]);
        if (value < -1 || value > 255) {
            if (i == 0) {
                boxes_[0]->clear();
            }
            throw EIPEditError(kOctetErrors[i]);
        }
    }
}

uint32_t TVEKIPEdit::address() const {
    OctetTexts octets;
    for (size_t i = 0; i < boxes_.size(); ++i) {
        octets[i] = boxes_[i]->text().toStdString();
    }
    return ipTextAddress(octets);
}

int TVEKIPEdit::indexOf(QObject* box) const {
    for (size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i] == box) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TVEKIPEdit::focusOctet(int index, bool caretAtEnd) {
    if (index < 0 || index >= 4) {
        return;
    }
    QLineEdit* box = boxes_[static_cast<size_t>(index)];
    if (!box->isEnabled() || !box->isVisible()) {
        return;  // a box that cannot take the focus: the move is dropped
    }
    box->setFocus(Qt::OtherFocusReason);
    box->deselect();
    box->setCursorPosition(caretAtEnd ? static_cast<int>(box->text().size()) : 0);
}

void TVEKIPEdit::octetChanged(int index) {
    QLineEdit* box = boxes_[static_cast<size_t>(index)];
    bool ok = false;
    int value = box->text().toInt(&ok);
    if (ok && value > 255) {
        box->setText(QStringLiteral("255"));  // comes back here through textChanged
        return;
    }
    emit Ononchange();
    if (index < 3 && box->text().size() >= 3 && box->hasFocus()) {
        focusOctet(index + 1, false);
    }
}

bool TVEKIPEdit::eventFilter(QObject* watched, QEvent* event) {
    int index = indexOf(watched);
    if (index < 0 || event->type() != QEvent::KeyPress) {
        return QFrame::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    QLineEdit* box = boxes_[static_cast<size_t>(index)];
    int caret = box->cursorPosition();
    bool atStart = caret == 0 && !box->hasSelectedText();
    switch (key->key()) {
        case Qt::Key_Period:
            if (index < 3 && !box->text().isEmpty()) {
                focusOctet(index + 1, false);
            }
            return true;
        case Qt::Key_Right:
            if (index < 3 && caret == box->text().size()) {
                focusOctet(index + 1, false);
                return true;
            }
            return false;
        case Qt::Key_Left:
        case Qt::Key_Backspace:
            if (index > 0 && atStart) {
                focusOctet(index - 1, true);
                return true;
            }
            return false;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
        case Qt::Key_Home:
        case Qt::Key_End:
            return false;
        default:
            break;
    }
    QString typed = key->text();
    if (typed.isEmpty() || !typed[0].isPrint() ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        return false;  // Enter, Escape and shortcuts keep their meaning
    }
    // Digits only; every other character is refused.
    return !(typed.size() == 1 && typed[0].isDigit() && typed[0].unicode() < 128);
}

}  // namespace busprobe
