// Property-bound standard controls: each owns one TTarnGuiComW (published as
// Tarn()), shows the value that arrives in its copy and hands the user's
// changes to it, which sends them while the window is connected. The editor
// form registers each control's Tarn() with TTarnFormBase::Bind in creation
// order. The edit box, combo box, slider and meter have files of their own.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <functional>

#include "binding/gui_com.h"

namespace objscope {

// A toggling button bound to a Boolean property: 75 x 25, its caption the
// component's name until the form gives it one.
class TTarnButton : public QPushButton {
  public:
    explicit TTarnButton(const QString& name, QWidget* parent = nullptr);
    TTarnButton(const QString& name, const QString& caption, QWidget* parent = nullptr);
    TTarnGuiComW& Tarn() { return tarn_; }
    QSize sizeHint() const override;

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

// A status light showing a Boolean property (display only): a round light
// in LitColor (red) when lit, NotLitColor (green) when not, with the Glyph
// drawn over it when one is set.
class TTarnLite : public QWidget {
  public:
    explicit TTarnLite(const QString& name, QWidget* parent = nullptr);
    TTarnGuiComW& Tarn() { return tarn_; }
    bool Lit() const { return lit_; }
    void SetLit(bool lit);
    QColor LitColor() const { return litColor_; }
    void SetLitColor(const QColor& color);
    QColor NotLitColor() const { return notLitColor_; }
    void SetNotLitColor(const QColor& color);
    QPixmap Glyph() const { return glyph_; }
    void SetGlyph(const QPixmap& glyph);
    // The colour the light shows now.
    QColor ShownColor() const { return lit_ ? litColor_ : notLitColor_; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    TTarnGuiComW tarn_;
    bool lit_ = false;
    QColor litColor_{0xFF, 0x00, 0x00};
    QColor notLitColor_{0x00, 0x80, 0x00};
    QPixmap glyph_;
};

// A label showing a text property; a text wider than the label is
// shortened with "..." and the whole text is its hint.
class TTarnLabel : public QLabel {
  public:
    explicit TTarnLabel(const QString& name, QWidget* parent = nullptr);
    TTarnGuiComW& Tarn() { return tarn_; }
    // The whole text of the property (the label may show it shortened).
    QString WholeText() const { return whole_; }
    // A layout offers the whole text's width and may squeeze the label down
    // to "...".
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ShowShortened();

    TTarnGuiComW tarn_;
    QString whole_;
};

// The Boolean value of a copy (non-zero numbers are true).
bool BooleanValue(const TTarnGuiComW& tarn);

// A text shortened to `width` as `measure` measures it: when wider, "..."
// is appended and the character before it deleted until the text fits; a
// width that does not even take "..." shows "...".
QString ShortenToWidth(const QString& text, int width,
                       const std::function<int(const QString&)>& measure);

}  // namespace objscope
