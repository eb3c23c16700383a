// TPropGrid: the two-column property grid. Column 0 holds the indented label
// (with the property tag when tags are on), column 1 the value text. Each row
// remembers the property it shows and the object that owns it. Selecting a
// row opens the value editor (a masked line) or the Boolean editor (False /
// True) over its value cell; leaving the editor or pressing Enter stores the
// normalised text in the cell. Only what the user typed or chose is stored:
// the arrow keys move between the rows (also out of an open editor) and
// change no value. Properties change only through ApplyAll.
#pragma once

#include <QTableWidget>
#include <functional>
#include <vector>

#include "model/object_root.h"

class QComboBox;
class QLineEdit;

namespace objscope {

class TPropGrid : public QTableWidget {
    Q_OBJECT

  public:
    explicit TPropGrid(QWidget* parent = nullptr);
    ~TPropGrid() override;

    // Program-wide: labels carry the property tag (the property list window
    // switches it on).
    static void SetPropertyTagsOn(bool on);
    static bool PropertyTagsOn();

    void SetShowReadOnly(bool on) { showReadOnly_ = on; }
    void SetFixedHeader(bool on) { fixedHeader_ = on; }
    void SetEditDone(std::function<void(int row)> callback) { editDone_ = std::move(callback); }

    // Clears every row and fills the grid with the object and (indented)
    // the objects it contains.
    void ShowObject(TVEKroot& object);
    // Parses every value cell from row 1 on into its property.
    void ApplyAll();
    // Removes every row and both editors' state.
    void ClearRows();

    TVEKPropertyBase* RowProperty(int row) const;
    TVEKroot* RowObject(int row) const;
    QString CellText(int column, int row) const;
    void SetCellText(int column, int row, const QString& text);

    QLineEdit* ValueEditor() const { return valueEditor_; }
    QComboBox* BooleanEditor() const { return booleanEditor_; }

    // Opens the matching editor for the row (hides both without property).
    void SelectCell(int row);
    // Stores the editor's normalised text in its cell and hides it.
    void FinishEditing();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct RowData {
        TVEKPropertyBase* property = nullptr;
        TVEKroot* object = nullptr;
    };

    void AddRow(const QString& label, const QString& value, RowData data);
    void AddObjectRows(TVEKroot& object, int level);
    void ShowValueIcon(int row);
    void PlaceEditor(QWidget* editor, int row);
    void HideEditors();
    // Keys of an open editor that belong to the grid; true when handled.
    bool EditorKey(QKeyEvent& key);
    void MoveCurrentRow(int by);

    std::vector<RowData> rows_;
    QLineEdit* valueEditor_;
    QComboBox* booleanEditor_;
    int editRow_ = -1;
    bool booleanChosen_ = false;  // the user chose an item of the Boolean editor
    bool finishing_ = false;
    bool filling_ = false;
    bool showReadOnly_ = false;
    bool fixedHeader_ = false;
    std::function<void(int)> editDone_;
};

}  // namespace objscope
