#include "devicewin/tfrm_prompt_ip.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "settings/settings_device_mapping.h"
#include "windows/controls.h"
#include "windows/message_boxes.h"

namespace objscope {

TfrmPromptIP::TfrmPromptIP(QWidget* parent) : QDialog(parent) {
    setObjectName("frmPromptIP");
    setWindowTitle(kPromptIPCaption);
    edtIPAddress_ = new QLineEdit(this);
    edtIPAddress_->setObjectName("edtIPAddress");
    edtIPAddress_->setAccessibleName("IP Address");
    // The edit mask "999.999.999.999": four dotted parts of up to three digits.
    edtIPAddress_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(R"(\d{0,3}(\.\d{0,3}){0,3})"), edtIPAddress_));
    auto* ok = Button("btnOK", "&OK", nullptr, this);
    ok->setDefault(true);
    auto* cancel = Button("btnCancel", "&Cancel", nullptr, this);
    auto* loopback = Button("btnLoopback", "&Loopback", nullptr, this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(loopback);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edtIPAddress_);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &TfrmPromptIP::accept);
    connect(cancel, &QPushButton::clicked, this, &TfrmPromptIP::reject);
    connect(loopback, &QPushButton::clicked, this, &TfrmPromptIP::Loopback);
}

void TfrmPromptIP::SetAddress(uint32_t address) {
    address_ = address;
    edtIPAddress_->setText(QString::fromStdString(AddressToText(address)));
}

void TfrmPromptIP::Loopback() {
    edtIPAddress_->setText("127.0.0.1");
}

void TfrmPromptIP::accept() {
    auto address = TextToAddress(edtIPAddress_->text().toStdString());
    if (!address) {
        ShowError(this, "Invalid IP Address: each of the four parts must be 0 to 255");
        return;
    }
    address_ = address->address;
    QDialog::accept();
}

}  // namespace objscope
