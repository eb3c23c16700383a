// A line edit whose typed characters pass a rule first: the ID and filter
// boxes (four hexadecimal digits), the octets of the IP edit and the value
// edits of the fields. Pasted text (keys, context menu, middle button) goes
// through the same rule character by character, as if typed; drops are
// refused. An accepted key is announced, because it marks the composer
// modified.
#pragma once

#include <QLineEdit>
#include <functional>

namespace busprobe {

class FilteredEdit : public QLineEdit {
    Q_OBJECT

  public:
    // The rule gets the text, the selection and the typed character.
    using Rule = std::function<bool(const QString& text, int selectionStart, int selectionLength,
                                    QChar typed)>;

    explicit FilteredEdit(QWidget* parent = nullptr);
    void setRule(Rule rule) { rule_ = std::move(rule); }
    void setUpperCase(bool upper) { upper_ = upper; }

    // The rule of the ID and filter boxes.
    static Rule hexIdRule();
    // Decimal digits only (the IP edit's octets).
    static Rule digitRule();

    // Inserts `text` at the caret as if each character were typed.
    void insertFiltered(const QString& text);

    // Makes the box just wide enough for `sample` (for example "DDDD").
    void fitWidthTo(const QString& sample);

  signals:
    void keyAccepted();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    // Applies the rule to one character at the caret; false when refused.
    bool accepts(QChar c) const;

    Rule rule_;
    bool upper_ = true;
};

}  // namespace busprobe
