#include "devicewin/tfrm_add_object.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/class_catalogue.h"
#include "windows/controls.h"
#include "windows/message_boxes.h"

namespace objscope {

TfrmAddObject::TfrmAddObject(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAddObject");
    setWindowTitle(kAddObjectCaption);
    edtClassID_ = new QComboBox(this);
    edtClassID_->setObjectName("edtClassID");
    edtClassID_->setEditable(true);
    edtClassID_->setInsertPolicy(QComboBox::NoInsert);
    edtClassID_->setToolTip("Select Class or Enter an ID number manually");
    QStringList items;
    for (const auto& row : ClassCatalogue()) {
        if (row.classId > 0)
            items << QString("%1 (%2)").arg(row.displayName).arg(row.classId);
    }
    items.sort();
    edtClassID_->addItems(items);
    edtClassID_->setCurrentIndex(-1);
    edtObjectID_ = new QLineEdit(this);
    edtObjectID_->setObjectName("edtObjectID");
    edtOwnerID_ = new QLineEdit(this);
    edtOwnerID_->setObjectName("edtOwnerID");
    edtBLOBsize_ = new QLineEdit(this);
    edtBLOBsize_->setObjectName("edtBLOBsize");

    auto* form = new QFormLayout;
    const std::pair<const char*, QWidget*> rows[] = {{"Class ID:", edtClassID_},
                                                     {"Object ID:", edtObjectID_},
                                                     {"Owner Object ID:", edtOwnerID_},
                                                     {"Max BLOB Entries:", edtBLOBsize_}};
    for (const auto& [caption, field] : rows) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        form->addRow(label, field);
    }
    auto* ok = Button("btnOK", "&OK", nullptr, this);
    ok->setDefault(true);
    auto* cancel = Button("btnCancel", "&Cancel", nullptr, this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &TfrmAddObject::accept);
    connect(cancel, &QPushButton::clicked, this, &TfrmAddObject::reject);
}

void TfrmAddObject::accept() {
    NewObjectResult result =
        ReadNewObject(edtClassID_->currentText().toStdString(), edtObjectID_->text().toStdString(),
                      edtOwnerID_->text().toStdString(), edtBLOBsize_->text().toStdString());
    if (!result.error.empty()) {
        ShowError(this, result.error);
        return;
    }
    numbers_ = result.numbers;
    QDialog::accept();
}

}  // namespace objscope
