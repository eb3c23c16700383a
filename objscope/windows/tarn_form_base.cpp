#include "windows/tarn_form_base.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>

#include "windows/message_boxes.h"
#include "windows/tarn_combo_box.h"
#include "windows/tarn_edit_box.h"
#include "windows/tarn_slider.h"

namespace objscope {

TTarnFormBase::TTarnFormBase(TVEKroot* object, TEditorComm* comm, QWidget* parent)
    : QDialog(parent), binding_(object, comm) {
    setWindowTitle("TarnFormBase");
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    body_ = new QWidget(this);
    layout->addWidget(body_);

    auto* panel = new QWidget(this);
    panel->setObjectName("pnlTarnForm");
    auto* row = new QHBoxLayout(panel);
    lblConnection_ = new QLabel("Connection", panel);
    lblConnection_->setObjectName("lblConnection");
    onlineStatusLight_ = new QLabel(panel);
    onlineStatusLight_->setObjectName("OnlineStatusLight");
    onlineStatusLight_->setFixedSize(14, 14);
    onlineStatusLight_->setToolTip("Frame/Device/Object Status (i.e., Real-Time Control or Not)");
    btnOk_ = new QPushButton("&OK", panel);
    btnOk_->setObjectName("btnOk");
    btnCancel_ = new QPushButton("&Cancel", panel);
    btnCancel_->setObjectName("btnCancel");
    btnHelp_ = new QPushButton("&Help", panel);
    btnHelp_->setObjectName("BtnHelp");
    row->addWidget(lblConnection_);
    row->addWidget(onlineStatusLight_);
    lblDeviceStatus_ = new QLabel(panel);
    lblDeviceStatus_->setObjectName("lblDeviceStatus");
    row->addWidget(lblDeviceStatus_);
    row->addStretch(1);
    row->addWidget(btnOk_);
    row->addWidget(btnCancel_);
    row->addWidget(btnHelp_);
    layout->addWidget(panel);
    ShowConnection(false);

    binding_.ShowWarning = [this](const std::string& text) { ShowMessage(this, text); };
    binding_.ShowRefusal = [this](const std::string& text) {
        lblDeviceStatus_->setText(QString::fromStdString(text));
    };
    // Deferred: the loss is reported from inside the layer's reply handling.
    binding_.OnConnectionLost = [this] {
        QTimer::singleShot(0, this, [this] {
            binding_.DropConnection();
            ShowConnection(false);
        });
    };
    binding_.ProcessPending = [] { QApplication::processEvents(); };
    connect(btnOk_, &QPushButton::clicked, this, &TTarnFormBase::OkClick);
    connect(btnCancel_, &QPushButton::clicked, this, &TTarnFormBase::CancelClick);
}

QString TTarnFormBase::DeviceStatusText() const {
    return lblDeviceStatus_->text();
}

void TTarnFormBase::SetFormCaption(const QString& caption) {
    const TVEKroot* object = Object();
    setWindowTitle(object ? caption + " - " + QString::fromStdString(object->ObjectName())
                          : caption);
}

void TTarnFormBase::SetEditorFlags(bool passThrough, bool readOnly, bool connectNow) {
    binding_.passThrough = passThrough;
    binding_.readOnly = readOnly;
    binding_.connect = connectNow;
}

void TTarnFormBase::ShowEditorWindow() {
    show();
    raise();
    if (shownOnce_)
        return;
    shownOnce_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool connected = binding_.Show();
    btnOk_->setEnabled(!binding_.readOnly);
    ShowConnection(connected);
    QApplication::restoreOverrideCursor();
    FormShown();
}

void TTarnFormBase::ShowConnection(bool lit) {
    onlineStatusLight_->setStyleSheet(lit ? "background: #00C000; border-radius: 7px;"
                                          : "background: #808080; border-radius: 7px;");
    onlineStatusLight_->setProperty("lit", lit);
}

void TTarnFormBase::OkClick() {
    if (!OkConfirmed())
        return;
    binding_.Ok();
    accept();
}

void TTarnFormBase::CancelClick() {
    binding_.Cancel();
    reject();
}

// Every way of closing ends here: the controls disconnect (cancelling their
// registrations), then the object forgets its editor and the window goes.
void TTarnFormBase::done(int result) {
    // The controls disconnect while they are still shown: a hidden control
    // cancels no registration, and hiding the window hides them all.
    const bool first = !closing_;
    closing_ = true;
    if (first)
        binding_.Close();
    QDialog::done(result);
    if (!first)
        return;
    TVEKroot* object = Object();
    if (object && object->Editor() == this) {
        object->ReleaseEditor().release();  // this window, deleted once its events are done
        deleteLater();
    }
}

void TTarnFormBase::DetachFromChildren() {
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
        // The bound controls report user changes through plain callbacks
        // too (they have no meta-object of their own, so a dynamic cast
        // tells them apart).
        if (auto* slider = dynamic_cast<TTarnSlider*>(child)) {
            slider->OnChange = nullptr;
            slider->Tarn().OnValueArrived = nullptr;
        } else if (auto* edit = dynamic_cast<TTarnEditBox*>(child)) {
            edit->OnChange = nullptr;
        } else if (auto* list = dynamic_cast<TTarnComboBox*>(child)) {
            list->OnChange = nullptr;
        }
    }
}

}  // namespace objscope
