#include "message_composer.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "field_size_dialog.h"
#include "hex_text.h"
#include "hubclient.h"
#include "wire/datagram.h"

namespace busprobe {
namespace {

const QString kMessageFilter =
    QStringLiteral("VEK Network Messages (*.MSG)|*.MSG|All Files (*.*)|*.*");

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QString idText(uint16_t value) {
    return QString::fromStdString(hexText(value, 4));
}

}  // namespace

MessageComposer::MessageComposer(Prompter& prompter, TrafficHandler& handler, QWidget* parent)
    : QWidget(parent), prompter_(prompter), handler_(handler) {
    setObjectName(QStringLiteral("pnlComposer"));
    auto* layout = new QHBoxLayout(this);
    auto* controls = new QGridLayout;
    nodeAddress_ = new TVEKIPEdit(this);
    nodeAddress_->setObjectName(QStringLiteral("edtNodeAddress"));
    objectId_ = new FilteredEdit(this);
    objectId_->setObjectName(QStringLiteral("edtObjectID"));
    messageId_ = new FilteredEdit(this);
    messageId_->setObjectName(QStringLiteral("edtMessageID"));
    for (auto* edit : {objectId_, messageId_}) {
        edit->setRule(FilteredEdit::hexIdRule());
        edit->fitWidthTo(QStringLiteral("DDDD"));
        connect(edit, &FilteredEdit::keyAccepted, this, [this] { modified_ = true; });
        // "Send Fields" is the default button: Enter in the composer sends.
        connect(edit, &QLineEdit::returnPressed, this, &MessageComposer::sendFields);
    }
    response_ = new QCheckBox(this);
    response_->setObjectName(QStringLiteral("chkResponse"));
    auto* nodeLabel = new QLabel(QStringLiteral("Node Address:"), this);
    nodeLabel->setBuddy(nodeAddress_);
    controls->addWidget(nodeLabel, 0, 0);
    controls->addWidget(nodeAddress_, 0, 1);
    controls->addWidget(new QLabel(QStringLiteral("Object ID:"), this), 1, 0);
    controls->addWidget(objectId_, 1, 1);
    controls->addWidget(new QLabel(QStringLiteral("Message ID:"), this), 2, 0);
    controls->addWidget(messageId_, 2, 1);
    controls->addWidget(new QLabel(QStringLiteral("Response Enabled:"), this), 3, 0);
    controls->addWidget(response_, 3, 1);
    repeat_ = new QSpinBox(this);
    repeat_->setObjectName(QStringLiteral("spnRepeat"));
    repeat_->setRange(1, 1000000);
    interval_ = new QSpinBox(this);
    interval_->setObjectName(QStringLiteral("spnInterval"));
    interval_->setRange(0, 3600000);
    interval_->setValue(1000);
    interval_->setSingleStep(100);
    auto* repeatLabel = new QLabel(QStringLiteral("Repeat:"), this);
    repeatLabel->setBuddy(repeat_);
    auto* intervalLabel = new QLabel(QStringLiteral("Interval (ms):"), this);
    intervalLabel->setBuddy(interval_);
    controls->addWidget(repeatLabel, 4, 0);
    controls->addWidget(repeat_, 4, 1);
    controls->addWidget(intervalLabel, 5, 0);
    controls->addWidget(interval_, 5, 1);
    repeatTimer_ = new QTimer(this);
    repeatTimer_->setObjectName(QStringLiteral("tmrRepeat"));
    connect(repeatTimer_, &QTimer::timeout, this, &MessageComposer::sendRepeat);
    auto* add = button(this, "btnAddField", "Add Field");
    auto* remove = button(this, "btnDeleteField", "Delete Field");
    auto* clear = button(this, "btnClearFields", "Clear Fields");
    send_ = button(this, "btnSendFields", "Send Fields");
    send_->setDefault(true);
    controls->addWidget(add, 6, 0);
    controls->addWidget(remove, 6, 1);
    controls->addWidget(clear, 7, 0);
    controls->addWidget(send_, 7, 1);
    controls->setRowStretch(8, 1);
    layout->addLayout(controls);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("scrFieldList"));
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setMinimumWidth(365);
    fieldBox_ = new QWidget;
    fieldBox_->setObjectName(QStringLiteral("pnlFields"));
    scroll_->setWidget(fieldBox_);
    layout->addWidget(scroll_, 1);
    connect(add, &QPushButton::clicked, this, &MessageComposer::addField);
    connect(remove, &QPushButton::clicked, this, &MessageComposer::deleteField);
    connect(clear, &QPushButton::clicked, this, &MessageComposer::clearFields);
    connect(send_, &QPushButton::clicked, this, &MessageComposer::sendFields);
    setTabOrder(nodeAddress_, objectId_);
    setTabOrder(objectId_, messageId_);
    setTabOrder(messageId_, response_);
    setTabOrder(response_, repeat_);
    setTabOrder(repeat_, interval_);
    setTabOrder(interval_, add);
    setTabOrder(add, remove);
    setTabOrder(remove, clear);
    setTabOrder(clear, send_);
    layoutFields();
}

bool MessageComposer::isModified() const {
    if (modified_) {
        return true;
    }
    for (auto* field : fields_) {
        if (field->modified()) {
            return true;
        }
    }
    return false;
}

TNetField* MessageComposer::selectedField() const {
    for (auto* field : fields_) {
        if (field->selected()) {
            return field;
        }
    }
    return nullptr;
}

void MessageComposer::selectField(TNetField* field) {
    for (auto* f : fields_) {
        f->setSelected(f == field);
    }
}

void MessageComposer::layoutFields() {
    fieldBox_->resize(339 + 8, 6 + static_cast<int>(fields_.size()) * 47);
    QWidget* previous = send_;
    for (size_t j = 0; j < fields_.size(); ++j) {
        TNetField* field = fields_[j];
        field->setPosition(static_cast<int>(j) + 1);
        field->move(4, 6 + static_cast<int>(j) * 47);
        setTabOrder(previous, field->valueEdit());
        previous = field->valueEdit();
    }
}

TNetField* MessageComposer::insertField(size_t index) {
    auto* field = new TNetField(fieldBox_);
    connect(field, &TNetField::entered, this, &MessageComposer::selectField);
    connect(field, &TNetField::sizeRequested, this, &MessageComposer::editFieldType);
    connect(field->valueEdit(), &QLineEdit::returnPressed, this, &MessageComposer::sendFields);
    fields_.insert(fields_.begin() + static_cast<long>(index), field);
    field->show();
    layoutFields();
    return field;
}

void MessageComposer::addField() {
    if (fields_.size() >= static_cast<size_t>(kMaxFields)) {
        prompter_.warn(this, QStringLiteral("Could Not add new Field !"),
                       QStringLiteral("Field Add Error"));
        return;
    }
    size_t index = 0;
    for (size_t j = 0; j < fields_.size(); ++j) {
        if (fields_[j]->selected()) {
            index = j + 1;
        }
    }
    TNetField* field = insertField(index);
    selectField(field);
    scroll_->ensureWidgetVisible(field);
    modified_ = true;
}

void MessageComposer::deleteField() {
    for (size_t j = 0; j < fields_.size(); ++j) {
        if (!fields_[j]->selected()) {
            continue;
        }
        delete fields_[j];
        fields_.erase(fields_.begin() + static_cast<long>(j));
        if (!fields_.empty()) {
            selectField(fields_[j == 0 ? 0 : j - 1]);
        }
        layoutFields();
        modified_ = true;
        return;
    }
}

void MessageComposer::clearFields() {
    for (auto* field : fields_) {
        field->clearValue();
    }
}

void MessageComposer::removeAllFields() {
    for (auto* field : fields_) {
        delete field;
    }
    fields_.clear();
    layoutFields();
}

void MessageComposer::clearModified() {
    modified_ = false;
    for (auto* field : fields_) {
        field->setModified(false);
    }
}

void MessageComposer::editFieldType(TNetField* field) {
    auto chosen = TdlgFieldSize::ask(field->type(), field->bytes().size(), this);
    if (chosen) {
        field->changeType(*chosen);
    }
}

ComposedMessage MessageComposer::composed() const {
    ComposedMessage message;
    message.objectId = readHex16(objectId_->text().toStdString());
    message.messageId = readHex16(messageId_->text().toStdString());
    for (auto* field : fields_) {
        message.fields.push_back({field->type(), field->valueText().toStdString()});
    }
    return message;
}

bool MessageComposer::sendFields() {
    repeatTimer_->stop();
    bool sent = send(std::nullopt);
    // The rest of the repeats are paced by a timer, never by waiting here.
    remaining_ = sent ? repeat_->value() - 1 : 0;
    if (remaining_ > 0) {
        repeatTimer_->start(interval_->value());
    }
    return sent;
}

void MessageComposer::sendRepeat() {
    if (remaining_ <= 0 || !send(std::nullopt)) {
        remaining_ = 0;
        repeatTimer_->stop();
        return;
    }
    if (--remaining_ == 0) {
        repeatTimer_->stop();
    }
}

bool MessageComposer::send(const std::optional<ReplyTo>& reply) {
    if (registration_ <= 0) {
        prompter_.warn(this, QStringLiteral("Unable to Register with VEK BASE !!"),
                       QStringLiteral("Send Error"));
        return false;
    }
    ComposedMessage message = composed();
    if (message.messageId == 0) {
        prompter_.warn(this, QStringLiteral("Invalid Message ID !!"),
                       QStringLiteral("Message ID Error"));
        return false;
    }
    if (!reply && nodeAddress_->text() == QStringLiteral("...")) {
        // An empty address would send to 0.0.0.0.
        prompter_.warn(this, QStringLiteral("Please enter a Node Address !!"),
                       QStringLiteral("Send Error"));
        return false;
    }
    uint16_t messageId = reply ? (message.messageId | kResponseFlag) : message.messageId;
    std::vector<uint8_t> data = messageData(message);
    // A reply carries the number of the request it answers, as every device
    // answers; a request takes a fresh number from the server.
    auto number =
        reply ? reply->messageNumber : static_cast<uint16_t>(GetMessageNumber(registration_));
    std::vector<uint8_t> datagram =
        wire::buildDatagram({message.objectId, messageId, number}, data);
    uint32_t destination = reply ? reply->address : nodeAddress_->address();
    _Message out{destination, static_cast<uint32_t>(datagram.size()), datagram.data(), nullptr};
    int32_t result = SendVEKNetMessage(registration_, &out);
    bool sent = result >= 0;
    if (!sent) {
        prompter_.warn(this, QStringLiteral("SendVEKNetMessage Error : %1 !!").arg(result),
                       QStringLiteral("Network Send Error"));
    } else {
        handler_.showSending(
            stampedMessage(Direction::Sent, destination, datagram.data(), datagram.size()));
    }
    handler_.sentRing.record(destination, messageId, number);
    return sent;
}

void MessageComposer::answerIfWanted(const CapturedMessage& m) {
    // Only requests that came in from the network are answered: answering
    // sent messages or responses would make the tester answer itself.
    if (!response_->isChecked() || objectId_->text().isEmpty() || messageId_->text().isEmpty() ||
        m.direction != Direction::Received) {
        return;
    }
    auto header = wire::readHeader(m.datagram());
    if (!header || (header->messageId & kResponseFlag) != 0) {
        return;
    }
    ComposedMessage wanted = composed();
    if (header->objectId == wanted.objectId && header->messageId == wanted.messageId) {
        send(ReplyTo{m.address, header->messageNumber});
    }
}

bool MessageComposer::confirmDiscard() {
    return !isModified() ||
           prompter_.askYesNo(this,
                              QStringLiteral("Are you sure you wish to clear current Network "
                                             "Message Data ?"),
                              QStringLiteral("Network Message Data has Changed"));
}

void MessageComposer::newMessage() {
    if (!confirmDiscard()) {
        return;
    }
    objectId_->clear();
    messageId_->clear();
    removeAllFields();
    clearModified();
}

bool MessageComposer::checkIdsForSave() {
    if (objectId_->text().isEmpty() || messageId_->text().isEmpty()) {
        prompter_.warn(this, QStringLiteral("You MUST specify an Object ID and a Message ID"),
                       QStringLiteral("Save Error"));
        return false;
    }
    return true;
}

void MessageComposer::saveMessage() {
    if (!checkIdsForSave()) {
        return;
    }
    if (fileName_.isEmpty()) {
        saveMessageAs();
        return;
    }
    writeFile(fileName_);
}

void MessageComposer::saveMessageAs() {
    if (!checkIdsForSave()) {
        return;
    }
    QString name = prompter_.saveFileName(this, QStringLiteral("Save Network Message As"),
                                          kMessageFilter, QStringLiteral(".MSG"));
    if (name.isEmpty()) {
        return;
    }
    if (QFileInfo::exists(name) &&
        !prompter_.askYesNo(this,
                            QStringLiteral("Are you sure you wish to overwrite the specified "
                                           "Network Message File ?"),
                            QStringLiteral("Network Message File Exists"))) {
        return;
    }
    writeFile(name);
}

void MessageComposer::writeFile(const QString& path) {
    if (!writeMessageFile(path.toStdString(), composed())) {
        prompter_.warn(this, QStringLiteral("Unable to write Network Message File !!"),
                       QStringLiteral("Save Error"));
        return;
    }
    // Only a file that was written becomes the current one: a refused
    // overwrite must never make the next Save Message overwrite it.
    fileName_ = path;
    clearModified();
}

void MessageComposer::loadMessage() {
    if (!confirmDiscard()) {
        return;
    }
    QString name = prompter_.openFileName(this, QStringLiteral("Open Network Message"),
                                          kMessageFilter, QStringLiteral(".MSG"));
    if (name.isEmpty()) {
        return;
    }
    readFile(name);
}

void MessageComposer::readFile(const QString& path) {
    MessageFileRead read = readMessageFile(path.toStdString());
    if (!read.error.empty()) {
        prompter_.warn(this, QString::fromStdString(read.error),
                       QStringLiteral("Network Message Load Error"));
        return;
    }
    removeAllFields();
    objectId_->setText(idText(read.message.objectId));
    messageId_->setText(idText(read.message.messageId));
    for (const auto& field : read.message.fields) {
        TNetField* panel = insertField(fields_.size());
        panel->load(field.type, QString::fromStdString(field.text));
        selectField(panel);
    }
    fileName_ = path;
    for (int k : read.badFields) {
        prompter_.warn(this, QStringLiteral("Field %1 was incorectly specified !!").arg(k),
                       QStringLiteral("Network Message Load Warning"));
    }
    clearModified();
}

}  // namespace busprobe
