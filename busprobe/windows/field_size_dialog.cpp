#include "field_size_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "hex_text.h"

namespace busprobe {

TdlgFieldSize::TdlgFieldSize(FieldType type, size_t currentBytes, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("dlgFieldSize"));
    setWindowTitle(QStringLiteral("Field Information"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Field Type"), this);
    group->setObjectName(QStringLiteral("rgFieldType"));
    auto* groupLayout = new QVBoxLayout(group);
    const char* names[] = {"Byte", "Word", "DWord", "Text"};
    for (size_t i = 0; i < types_.size(); ++i) {
        types_[i] = new QRadioButton(QString::fromLatin1(names[i]), group);
        types_[i]->setObjectName(QStringLiteral("rb%1").arg(QString::fromLatin1(names[i])));
        groupLayout->addWidget(types_[i]);
        connect(types_[i], &QRadioButton::toggled, this, [this] { updateListBox(); });
    }
    layout->addWidget(group);
    list_ = new QCheckBox(QStringLiteral("List Field"), this);
    list_->setObjectName(QStringLiteral("chkListField"));
    layout->addWidget(list_);
    auto* form = new QFormLayout;
    length_ = new QLineEdit(this);
    length_->setObjectName(QStringLiteral("edtCurrentLength"));
    length_->setReadOnly(true);
    std::string digits = hexText(static_cast<uint32_t>(currentBytes),
                                 currentBytes > 0xFF ? (currentBytes > 0xFFFF ? 8 : 4) : 2);
    length_->setText(QStringLiteral("0x") + QString::fromStdString(digits));
    form->addRow(QStringLiteral("Current Length (Bytes) :"), length_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    types_[static_cast<size_t>(fieldTypeCode(baseFieldType(type)))]->setChecked(true);
    list_->setChecked(isListType(type));
    updateListBox();
}

void TdlgFieldSize::updateListBox() {
    bool text = types_[3]->isChecked();
    list_->setEnabled(!text);
    if (text) {
        list_->setChecked(false);
    }
}

FieldType TdlgFieldSize::chosenType() const {
    int code = 0;
    for (size_t i = 0; i < types_.size(); ++i) {
        if (types_[i]->isChecked()) {
            code = static_cast<int>(i);
        }
    }
    if (list_->isChecked() && code != fieldTypeCode(FieldType::Text)) {
        code += 4;
    }
    return *fieldTypeFromCode(code);
}

std::optional<FieldType> TdlgFieldSize::ask(FieldType type, size_t currentBytes, QWidget* parent) {
    TdlgFieldSize dialog(type, currentBytes, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.chosenType();
}

}  // namespace busprobe
