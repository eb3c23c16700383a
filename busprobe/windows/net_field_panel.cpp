#include "net_field_panel.h"

#include <QEvent>

namespace busprobe {

TNetField::TNetField(QWidget* parent) : QFrame(parent) {
    setFixedSize(339, 41);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    caption_ = new QLabel(this);
    caption_->setGeometry(4, 12, 58, 17);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("lblFieldType"));
    label_->setGeometry(64, 12, 86, 17);
    edit_ = new FilteredEdit(this);
    edit_->setObjectName(QStringLiteral("edtFieldValue"));
    edit_->setGeometry(152, 8, 145, 25);
    // A field holds whatever a message can carry; the line edit's own limit
    // (32767) would cut a long list inside an element.
    edit_->setMaxLength(kMaxFieldTextLength);
    edit_->setRule([this](const QString& text, int start, int length, QChar typed) {
        return fieldAcceptsKey(type_, text.toStdString(), static_cast<size_t>(start),
                               static_cast<size_t>(length), typed.toLatin1());
    });
    edit_->installEventFilter(this);
    connect(edit_, &FilteredEdit::keyAccepted, this, [this] { modified_ = true; });
    button_ = new QToolButton(this);
    button_->setObjectName(QStringLiteral("btnFieldSize"));
    button_->setText(QStringLiteral("..."));
    button_->setGeometry(304, 8, 25, 25);
    button_->setFocusPolicy(Qt::NoFocus);
    connect(button_, &QToolButton::clicked, this, [this] {
        emit entered(this);
        emit sizeRequested(this);
    });
    showType();
}

void TNetField::setPosition(int position) {
    caption_->setText(QStringLiteral("  Field %1").arg(position));
    setObjectName(QStringLiteral("Field%1").arg(position));
}

void TNetField::showType() {
    label_->setText(QString::fromLatin1(fieldTypeLabel(type_).data(),
                                        static_cast<int>(fieldTypeLabel(type_).size())));
    edit_->setUpperCase(type_ != FieldType::Text);
}

void TNetField::changeType(FieldType type) {
    bool changed = type != type_;
    bool empty =
        changed && (fieldTypeCode(type) < fieldTypeCode(type_) || type_ == FieldType::Text);
    type_ = type;
    if (empty) {
        edit_->clear();
    }
    if (type != FieldType::Text) {
        edit_->setText(edit_->text().toUpper());
    }
    edit_->setCursorPosition(static_cast<int>(edit_->text().size()));
    showType();
    if (changed) {
        modified_ = true;
    }
}

void TNetField::load(FieldType type, const QString& text) {
    type_ = type;
    showType();
    edit_->setText(text);
}

std::vector<uint8_t> TNetField::bytes() const {
    return fieldBytes(type_, edit_->text().toStdString());
}

void TNetField::setSelected(bool selected) {
    selected_ = selected;
    setFrameShadow(selected ? QFrame::Sunken : QFrame::Raised);
}

bool TNetField::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::FocusIn) {
        emit entered(this);
    }
    return QFrame::eventFilter(watched, event);
}

void TNetField::mousePressEvent(QMouseEvent* event) {
    emit entered(this);
    QFrame::mousePressEvent(event);
}

}  // namespace busprobe
