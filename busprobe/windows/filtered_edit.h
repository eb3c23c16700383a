// A line edit whose typed characters pass a rule first: the ID and filter
// boxes (four hexadecimal digits) and the value edits of the fields. An
// accepted key is announced, because it marks the composer modified.
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

  signals:
    void keyAccepted();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    Rule rule_;
    bool upper_ = true;
};

}  // namespace busprobe
