// Property-bound standard controls: each owns one TTarnGuiComW (published as
// Tarn()), shows the value that arrives in its copy and hands the user's
// changes to it, which sends them while the window is connected. The editor
// form registers each control's Tarn() with TTarnFormBase::Bind in creation
// order.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "core/gui_com.h"

namespace objscope {

// A toggling button bound to a Boolean property.
class TTarnButton : public QPushButton {
  public:
    TTarnButton(const QString& name, const QString& caption, QWidget* parent = nullptr);
    TTarnGuiComW& Tarn() { return tarn_; }

  private:
    TTarnGuiComW tarn_;
};

// A check box bound to a Boolean property.
class TTarnCheckBox : public QCheckBox {
  public:
    TTarnCheckBox(const QString& name, const QString& caption, QWidget* parent = nullptr);
    TTarnGuiComW& Tarn() { return tarn_; }

  private:
    TTarnGuiComW tarn_;
};

// A status light showing a Boolean property (display only).
class TTarnLite : public QLabel {
  public:
    TTarnLite(const QString& name, QWidget* parent = nullptr);
    TTarnGuiComW& Tarn() { return tarn_; }
    bool Lit() const { return lit_; }
    QColor LitColor{0xFF, 0x00, 0x00};
    QColor NotLitColor{0x00, 0x80, 0x00};

  private:
    void Show(bool lit);
    TTarnGuiComW tarn_;
    bool lit_ = false;
};

// A label showing a text property; the whole text is its hint.
class TTarnLabel : public QLabel {
  public:
    TTarnLabel(const QString& name, QWidget* parent = nullptr);
    TTarnGuiComW& Tarn() { return tarn_; }

  private:
    TTarnGuiComW tarn_;
};

// The Boolean value of a copy (non-zero numbers are true).
bool BooleanValue(const TTarnGuiComW& tarn);

}  // namespace objscope
