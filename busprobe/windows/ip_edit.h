// TVEKIPEdit: an IPv4 address typed into four octet boxes, with the keys
// that move between them. Reads as dotted text and as a host-order address.
#pragma once

#include <QFrame>
#include <QLineEdit>
#include <array>
#include <stdexcept>

namespace busprobe {

class EIPEditError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TVEKIPEdit : public QFrame {
    Q_OBJECT

  public:
    explicit TVEKIPEdit(QWidget* parent = nullptr);

    QString text() const;
    // Throws EIPEditError when an octet is below -1 or above 255 (text that
    // is not a number counts as -1 and is taken).
    void setText(const QString& text);
    uint32_t address() const;

    QLineEdit* octet(int index) const { return boxes_[static_cast<size_t>(index)]; }

  signals:
    void Ononchange();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void octetChanged(int index);
    void focusOctet(int index, bool caretAtEnd);
    int indexOf(QObject* box) const;

    std::array<QLineEdit*, 4> boxes_{};
};

}  // namespace busprobe
