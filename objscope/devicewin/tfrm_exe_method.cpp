#include "devicewin/tfrm_exe_method.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "devicewin/method_text.h"
#include "protocol/tarn_status.h"
#include "windows/controls.h"
#include "windows/message_boxes.h"

namespace objscope {

TfrmExeMethod::TfrmExeMethod(TDeviceRequests& requests, QWidget* parent)
    : QDialog(parent), requests_(requests) {
    setObjectName("frmExeMethod");
    setWindowTitle(kExeMethodCaption);
    txtObject_ = new QLabel(this);
    txtObject_->setObjectName("txtObject");
    edtMethod_ = new QLineEdit(this);
    edtMethod_->setObjectName("edtMethod");
    edtMethod_->setToolTip("XmY format or Number ($ for hex)");
    memDatatoGo_ = new QPlainTextEdit(this);
    memDatatoGo_->setObjectName("memDatatoGo");
    memResponseBytes_ = new QPlainTextEdit(this);
    memResponseBytes_->setObjectName("memResponseBytes");
    memResponseBytes_->setReadOnly(true);
    auto* format = new QGroupBox(this);
    format->setObjectName("rbgResponseFormat");
    auto* formatLayout = new QHBoxLayout(format);
    rbDec_ = new QRadioButton("Dec", format);
    rbDec_->setObjectName("rbDec");
    rbHex_ = new QRadioButton("Hex", format);
    rbHex_->setObjectName("rbHex");
    rbDec_->setChecked(true);
    formatLayout->addWidget(rbDec_);
    formatLayout->addWidget(rbHex_);
    txtStatus_ = new QLabel(this);
    txtStatus_->setObjectName("txtStatus");
    auto* execute = Button("btnExecute", "E&xecute Method", nullptr, this);
    auto* clear = Button("btnClear", "&Clear", nullptr, this);

    auto caption = [this](const char* text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        return label;
    };
    auto* layout = new QGridLayout(this);
    layout->addWidget(caption("Object: ", txtObject_), 0, 0);
    layout->addWidget(txtObject_, 0, 1, 1, 2);
    layout->addWidget(caption("Method:", edtMethod_), 1, 0);
    layout->addWidget(edtMethod_, 1, 1);
    layout->addWidget(execute, 1, 2);
    layout->addWidget(caption("Data Bytes (separated by commas):", memDatatoGo_), 2, 0, 1, 2);
    layout->addWidget(clear, 2, 2);
    layout->addWidget(memDatatoGo_, 3, 0, 1, 3);
    layout->addWidget(caption("Response Bytes:", memResponseBytes_), 4, 0, 1, 2);
    layout->addWidget(format, 4, 2);
    layout->addWidget(memResponseBytes_, 5, 0, 1, 3);
    layout->addWidget(caption("Status: ", txtStatus_), 6, 0);
    layout->addWidget(txtStatus_, 6, 1, 1, 2);
    resize(460, 380);

    connect(execute, &QPushButton::clicked, this, &TfrmExeMethod::Execute);
    connect(clear, &QPushButton::clicked, this, &TfrmExeMethod::Clear);
    connect(rbHex_, &QRadioButton::toggled, this, &TfrmExeMethod::ShowReply);
}

void TfrmExeMethod::SetObject(const TarnAddress& address, const QString& lineText) {
    address_ = address;
    txtObject_->setText(lineText);
}

void TfrmExeMethod::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    edtMethod_->setFocus();
}

void TfrmExeMethod::Execute() {
    MethodIdText method = ParseMethodText(edtMethod_->text().toStdString());
    if (!method.ok) {
        ShowError(this, method.error);
        return;
    }
    edtMethod_->setText(QString::fromStdString(MethodPageText(method.id)));
    std::string data = memDatatoGo_->toPlainText().toStdString();
    std::erase(data, '\r');
    std::vector<uint8_t> bytes = DataBytesFromText(data);
    memDatatoGo_->setPlainText(QString::fromStdString(DataBytesText(bytes)));
    txtStatus_->clear();
    reply_.clear();
    ShowReply();
    int32_t result = requests_.ActivateMethod(address_, method.id, bytes, reply_, true);
    txtStatus_->setText(result == 0 ? QString("OK") : QString::fromStdString(StatusText(result)));
    ShowReply();
}

void TfrmExeMethod::ShowReply() {
    memResponseBytes_->setPlainText(
        QString::fromStdString(ReplyBytesText(reply_, rbHex_->isChecked())));
}

void TfrmExeMethod::Clear() {
    memDatatoGo_->clear();
    memDatatoGo_->setFocus();
}

}  // namespace objscope
