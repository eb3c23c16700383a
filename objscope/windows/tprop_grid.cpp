#include "windows/tprop_grid.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <utility>

#include "model/class_catalogue.h"
#include "windows/boolean_images.h"
#include "windows/edit_mask.h"
#include "windows/prop_grid_rules.h"

namespace objscope {
namespace {

constexpr int kDefaultColumnWidth = 125;
constexpr int kDefaultRowHeight = 18;
constexpr int kInitialRows = 32;

bool propertyTags = false;

QString Indent(int level) {
    return QString(3 * level, ' ');
}

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

TPropGrid::TPropGrid(QWidget* parent)
    : QTableWidget(kInitialRows, 2, parent),
      valueEditor_(new QLineEdit(viewport())),
      booleanEditor_(new QComboBox(viewport())) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setDefaultSectionSize(kDefaultColumnWidth);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setDefaultSectionSize(kDefaultRowHeight);
    verticalHeader()->setMinimumSectionSize(kDefaultRowHeight);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette face = palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    setPalette(face);
    setAlternatingRowColors(false);
    rows_.resize(kInitialRows);

    valueEditor_->setObjectName("valueEditor");
    valueEditor_->hide();
    valueEditor_->setFrame(false);
    booleanEditor_->setObjectName("booleanEditor");
    booleanEditor_->addItems({"False", "True"});
    booleanEditor_->hide();

    connect(valueEditor_, &QLineEdit::editingFinished, this, &TPropGrid::FinishEditing);
    connect(booleanEditor_, QOverload<int>::of(&QComboBox::activated), this, [this](int) {
        booleanChosen_ = true;
        FinishEditing();
    });
    valueEditor_->installEventFilter(this);
    booleanEditor_->installEventFilter(this);
    connect(this, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { SelectCell(row); });
}

TPropGrid::~TPropGrid() {
    valueEditor_->disconnect(this);
    booleanEditor_->disconnect(this);
    rows_.clear();
}

void TPropGrid::SetPropertyTagsOn(bool on) {
    propertyTags = on;
}

bool TPropGrid::PropertyTagsOn() {
    return propertyTags;
}

void TPropGrid::ClearRows() {
    HideEditors();
    filling_ = true;
    setCurrentCell(-1, -1);
    filling_ = false;
    clearContents();
    setRowCount(0);
    rows_.clear();
}

void TPropGrid::AddRow(const QString& label, const QString& value, RowData data) {
    int row = rowCount();
    setRowCount(row + 1);
    rows_.push_back(data);
    SetCellText(0, row, label);
    SetCellText(1, row, value);
    ShowValueIcon(row);
}

void TPropGrid::ShowValueIcon(int row) {
    TVEKPropertyBase* property = RowProperty(row);
    QTableWidgetItem* cell = item(row, 1);
    if (!cell || !property || EditorKindFor(*property) != GridEditorKind::Boolean)
        return;
    bool on = cell->text() == "True";
    cell->setIcon(BooleanImagePixmap(on ? BooleanImage::My_Check : BooleanImage::My_X));
}

void TPropGrid::ShowObject(TVEKroot& object) {
    ClearRows();
    // Rows appear one by one; the current cell moving along with them is no
    // selection by the user and opens no editor.
    filling_ = true;
    AddObjectRows(object, 0);
    setCurrentCell(-1, -1);
    filling_ = false;
    if (fixedHeader_ && rowCount() > 0) {
        for (int column = 0; column < 2; ++column) {
            QTableWidgetItem* cell = item(0, column);
            cell->setFlags(Qt::ItemIsEnabled);
            cell->setBackground(palette().button());
            QFont bold = cell->font();
            bold.setBold(true);
            cell->setFont(bold);
        }
    }
}

void TPropGrid::AddObjectRows(TVEKroot& object, int level) {
    QString indent = Indent(level);
    AddRow(indent + ">>" + Text(object.ObjectName()), "(" + Text(object.ClassName()) + ")",
           {nullptr, nullptr});
    if (propertyTags) {
        AddRow(indent + "   [Class ID]", QString::number(object.ClassID()),
               {&object.ClassIDProperty(), nullptr});
        AddRow(indent + "   [Obj Handle]", QString::number(object.ObjHandle()),
               {&object.ObjHandleProperty(), nullptr});
        AddRow(indent + "   [Owner Handle]", QString::number(object.OwnerHandle()),
               {&object.OwnerHandleProperty(), nullptr});
    }
    for (const auto& property : object.Properties()) {
        if (property->ReadOnly() && !showReadOnly_)
            continue;
        QString label = indent + Text(property->Name());
        if (propertyTags)
            label += Text(PropertyTag(property->PropertyID()));
        AddRow(label, Text(GridValueText(*property)), {property.get(), &object});
    }
    ObjectList contained;
    object.CollectObjects(contained);
    for (size_t i = 1; i < contained.size(); ++i)
        AddObjectRows(*contained[i], level + 1);
}

void TPropGrid::ApplyAll() {
    FinishEditing();
    for (int row = 1; row < rowCount(); ++row) {
        if (TVEKPropertyBase* property = RowProperty(row))
            ParseCellIntoProperty(*property, CellText(1, row).toStdString());
    }
}

TVEKPropertyBase* TPropGrid::RowProperty(int row) const {
    return row >= 0 && static_cast<size_t>(row) < rows_.size() ? rows_[row].property : nullptr;
}

TVEKroot* TPropGrid::RowObject(int row) const {
    return row >= 0 && static_cast<size_t>(row) < rows_.size() ? rows_[row].object : nullptr;
}

QString TPropGrid::CellText(int column, int row) const {
    QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void TPropGrid::SetCellText(int column, int row, const QString& text) {
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        setItem(row, column, cell);
    }
    cell->setText(text);
}

void TPropGrid::SelectCell(int row) {
    if (filling_)
        return;
    if (editRow_ >= 0 && editRow_ != row)
        FinishEditing();
    TVEKPropertyBase* property = RowProperty(row);
    if (!property || (fixedHeader_ && row == 0)) {
        HideEditors();
        return;
    }
    editRow_ = row;
    booleanChosen_ = false;
    QString cell = CellText(1, row);
    if (EditorKindFor(*property) == GridEditorKind::Boolean) {
        valueEditor_->hide();
        booleanEditor_->setCurrentIndex(cell == "False" ? 0 : 1);
        PlaceEditor(booleanEditor_, row);
        return;
    }
    booleanEditor_->hide();
    std::string mask = EditMaskFor(*property);
    delete valueEditor_->validator();
    valueEditor_->setValidator(mask.empty() ? nullptr : new TEditMaskValidator(mask, valueEditor_));
    valueEditor_->setText(Text(EditorStartText(*property, cell.toStdString())));
    valueEditor_->setModified(false);
    PlaceEditor(valueEditor_, row);
}

void TPropGrid::PlaceEditor(QWidget* editor, int row) {
    QRect cell = visualRect(model()->index(row, 1));
    int width = viewport()->width() - columnWidth(0);
    editor->setGeometry(cell.left() + 1, cell.top() + 1, width, rowHeight(row) - 1);
    editor->show();
    editor->setFocus();
}

void TPropGrid::FinishEditing() {
    if (finishing_ || editRow_ < 0)
        return;
    finishing_ = true;
    int row = editRow_;
    TVEKPropertyBase* property = RowProperty(row);
    bool changed = false;
    // An editor the user only passed through keeps the cell as it is: its
    // start text is the cell's number without its unit, and a normalised
    // copy of that need not be the text shown.
    const bool boolean = booleanEditor_->isVisible();
    const bool edited = boolean ? booleanChosen_ : valueEditor_->isModified();
    if (property && edited) {
        std::string text = boolean
                               ? booleanEditor_->currentText().toStdString()
                               : NormaliseEditedText(*property, valueEditor_->text().toStdString());
        changed = CellText(1, row) != Text(text);
        SetCellText(1, row, Text(text));
        ShowValueIcon(row);
    }
    HideEditors();
    finishing_ = false;
    // Only a real change is reported: walking through the rows must not
    // send every value it passes.
    if (changed && editDone_)
        editDone_(row);
}

void TPropGrid::HideEditors() {
    editRow_ = -1;
    // A focused editor that hides hands the focus on, and the table would
    // move its current cell for that: the grid takes the focus first, and
    // nothing that moves meanwhile counts as a selection.
    bool wasFilling = std::exchange(filling_, true);
    if (valueEditor_->hasFocus() || booleanEditor_->hasFocus())
        setFocus();
    valueEditor_->hide();
    booleanEditor_->hide();
    filling_ = wasFilling;
}

void TPropGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    setColumnWidth(1, std::max(0, viewport()->width() - columnWidth(0)));
    if (editRow_ >= 0) {
        QWidget* editor =
            booleanEditor_->isVisible() ? static_cast<QWidget*>(booleanEditor_) : valueEditor_;
        if (editor->isVisible())
            PlaceEditor(editor, editRow_);
    }
}

bool TPropGrid::eventFilter(QObject* watched, QEvent* event) {
    const bool editor = watched == valueEditor_ || watched == booleanEditor_;
    if (editor && event->type() == QEvent::KeyPress && EditorKey(*static_cast<QKeyEvent*>(event)))
        return true;
    // The wheel over the Boolean editor scrolls the grid; it chooses nothing.
    if (watched == booleanEditor_ && event->type() == QEvent::Wheel) {
        QCoreApplication::sendEvent(viewport(), event);
        return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

bool TPropGrid::EditorKey(QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier)
        return false;  // Alt+Down opens the Boolean list, for example
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Stores and leaves the editor; the grid must not see this key,
            // it would open the editor again at once.
            FinishEditing();
            return true;
        case Qt::Key_Up:
            MoveCurrentRow(-1);
            return true;
        case Qt::Key_Down:
            MoveCurrentRow(1);
            return true;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            const int page = std::max(1, viewport()->height() / std::max(1, rowHeight(0)) - 1);
            MoveCurrentRow(key.key() == Qt::Key_PageUp ? -page : page);
            return true;
        }
        default:
            return false;
    }
}

void TPropGrid::MoveCurrentRow(int by) {
    const int first = fixedHeader_ ? 1 : 0;
    const int from = editRow_ >= 0 ? editRow_ : currentRow();
    const int to = std::clamp(from + by, first, std::max(first, rowCount() - 1));
    if (to == from || to >= rowCount())
        return;
    setCurrentCell(to, 0);
}

void TPropGrid::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && editRow_ < 0) {
        SelectCell(currentRow());
        return;
    }
    QTableWidget::keyPressEvent(event);
}

}  // namespace objscope
