// TNetField: one typed field of the composer, a panel with its position
// caption, type label, value edit and the "..." button of the size dialog.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QToolButton>

#include "filtered_edit.h"
#include "net_field.h"

namespace busprobe {

class TNetField : public QFrame {
    Q_OBJECT

  public:
    explicit TNetField(QWidget* parent = nullptr);

    void setPosition(int position);  // 1-based
    FieldType type() const { return type_; }
    // A type change from the size dialog: case, caret and emptying as the
    // composer's rules say; marks the field modified when the type changed.
    void changeType(FieldType type);
    // Loading: type and text without marking anything modified.
    void load(FieldType type, const QString& text);

    QString valueText() const { return edit_->text(); }
    void clearValue() { edit_->clear(); }
    std::vector<uint8_t> bytes() const;

    void setSelected(bool selected);
    bool selected() const { return selected_; }
    bool modified() const { return modified_; }
    void setModified(bool modified) { modified_ = modified; }

    FilteredEdit* valueEdit() const { return edit_; }
    QToolButton* sizeButton() const { return button_; }

  signals:
    void entered(TNetField* field);
    void sizeRequested(TNetField* field);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void showType();

    QLabel* caption_ = nullptr;
    QLabel* label_ = nullptr;
    FilteredEdit* edit_ = nullptr;
    QToolButton* button_ = nullptr;
    FieldType type_ = FieldType::Byte;
    bool selected_ = false;
    bool modified_ = false;
};

}  // namespace busprobe
