// TfrmExeMethod, "Execute Method": sends any method ID with any data bytes
// to the object selected in the main window and shows the status and the
// reply bytes.
#pragma once

#include <QDialog>
#include <vector>

#include "protocol/tarn_header.h"
#include "windows/device_requests.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

namespace objscope {

inline constexpr char kExeMethodCaption[] = "Execute Method";

class TfrmExeMethod : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmExeMethod(TDeviceRequests& requests, QWidget* parent = nullptr);

    // The selected object and the text of its list line.
    void SetObject(const TarnAddress& address, const QString& lineText);

    void Execute();
    void Clear();
    void ShowReply();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    TDeviceRequests& requests_;
    TarnAddress address_{};
    QLabel* txtObject_;
    QLineEdit* edtMethod_;
    QPlainTextEdit* memDatatoGo_;
    QPlainTextEdit* memResponseBytes_;
    QRadioButton* rbDec_;
    QRadioButton* rbHex_;
    QLabel* txtStatus_;
    std::vector<uint8_t> reply_;
};

}  // namespace objscope
