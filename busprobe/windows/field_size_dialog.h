// TdlgFieldSize ("Field Information"): the type of one field, shown as its
// base type with "List Field" ticked for the list types.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <array>
#include <optional>

#include "net_field.h"

namespace busprobe {

class TdlgFieldSize : public QDialog {
    Q_OBJECT

  public:
    TdlgFieldSize(FieldType type, size_t currentBytes, QWidget* parent = nullptr);

    // The chosen type (base type + 4 for a list).
    FieldType chosenType() const;

    // Runs the dialog; nullopt when cancelled.
    static std::optional<FieldType> ask(FieldType type, size_t currentBytes, QWidget* parent);

  private:
    void updateListBox();

    std::array<QRadioButton*, 4> types_{};
    QCheckBox* list_ = nullptr;
    QLineEdit* length_ = nullptr;
};

}  // namespace busprobe
