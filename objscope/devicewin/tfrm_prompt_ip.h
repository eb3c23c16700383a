// TfrmPromptIP, "Enter IP Address": the address under which the chosen
// device is reached.
#pragma once

#include <QDialog>
#include <cstdint>

class QLineEdit;

namespace objscope {

inline constexpr char kPromptIPCaption[] = "Enter IP Address";

class TfrmPromptIP : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmPromptIP(QWidget* parent = nullptr);

    // IPv4 address, first octet most significant.
    void SetAddress(uint32_t address);
    uint32_t Address() const { return address_; }
    void accept() override;
    void Loopback();

  private:
    QLineEdit* edtIPAddress_;
    uint32_t address_ = 0;
};

}  // namespace objscope
