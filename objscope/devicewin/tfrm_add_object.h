// TfrmAddObject, "Object to Add...": the four numbers of a new object.
#pragma once

#include <QDialog>

#include "devicewin/add_object_text.h"

class QComboBox;
class QLineEdit;

namespace objscope {

inline constexpr char kAddObjectCaption[] = "Object to Add...";

class TfrmAddObject : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmAddObject(QWidget* parent = nullptr);

    // The numbers of the last OK.
    const NewObjectNumbers& Numbers() const { return numbers_; }
    void accept() override;

  private:
    QComboBox* edtClassID_;
    QLineEdit* edtObjectID_;
    QLineEdit* edtOwnerID_;
    QLineEdit* edtBLOBsize_;
    NewObjectNumbers numbers_;
};

}  // namespace objscope
