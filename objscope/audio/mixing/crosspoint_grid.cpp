#include "audio/mixing/crosspoint_grid.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolTip>
#include <algorithm>

#include "windows/tarn_controls.h"

namespace objscope::audio {

namespace {

const QColor kFace(0xC0, 0xC0, 0xC0);
const QColor kLight(0xFF, 0xFF, 0xFF);
const QColor kShadow(0x80, 0x80, 0x80);
const QColor kSunkenFace(0xA8, 0xA8, 0xA8);
const QColor kConnected(0x00, 0xB0, 0x00);
const QColor kMuted(0xC0, 0x00, 0x00);
const QString kCrosspointHint = QStringLiteral("Toggle Connection of this Input to this Output");
const QString kMuteHint = QStringLiteral("Toggle this output on or off (muted)");
const QString kEditHint = QStringLiteral("Edit the Mixer Levels for this Row");
const QString kNoName;
const QSize kLargestView(900, 560);  // the most of the grid a window asks room for

// A button face: raised while up, sunken while down.
void PaintBevel(QPainter& painter, const QRect& rect, bool down) {
    painter.fillRect(rect, down ? kSunkenFace : kFace);
    const QColor topLeft = down ? kShadow : kLight;
    const QColor bottomRight = down ? kLight : kShadow;
    painter.setPen(topLeft);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

QString Shortened(const QString& text, int width, const QFontMetrics& metrics) {
    return ShortenToWidth(text, width,
                          [&](const QString& t) { return metrics.horizontalAdvance(t); });
}

}  // namespace

TCrosspointGrid::TCrosspointGrid(const TGridGeometry& geometry, const TCrosspoints& points,
                                 QWidget* parent)
    : QAbstractScrollArea(parent),
      geometry_(geometry),
      points_(points),
      inputNames_(static_cast<size_t>(geometry.inputs)),
      outputNames_(static_cast<size_t>(geometry.outputs)),
      shownInputs_(static_cast<size_t>(geometry.inputs)),
      shownOutputs_(static_cast<size_t>(geometry.outputs)),
      mutes_(static_cast<size_t>(geometry.outputs), 0),
      face_(kFace) {
    setObjectName("grdCrosspoints");
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);
    setFrameShape(QFrame::StyledPanel);
    const QSize content = geometry_.ContentSize();
    // As large as the matrix needs, up to what a screen shows.
    setMinimumSize(std::min(content.width(), 400) + 4, std::min(content.height(), 240) + 4);
    UpdateScrollBars();
}

QSize TCrosspointGrid::sizeHint() const {
    const QSize content = geometry_.ContentSize();
    // Room for the frame and both scroll bars, so a grid that fits shows whole.
    const int extra = 2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    return QSize(std::min(content.width(), kLargestView.width()) + extra,
                 std::min(content.height(), kLargestView.height()) + extra);
}

void TCrosspointGrid::SetInputNames(std::vector<QString> names) {
    names.resize(static_cast<size_t>(geometry_.inputs));
    inputNames_ = std::move(names);
    shownInputs_.assign(inputNames_.size(), {});
    InvalidateCache();
}

void TCrosspointGrid::SetOutputNames(std::vector<QString> names) {
    names.resize(static_cast<size_t>(geometry_.outputs));
    outputNames_ = std::move(names);
    shownOutputs_.assign(outputNames_.size(), {});
    InvalidateCache();
}

// A label as shown (shortened to its room), made on its first paint.
const QString& TCrosspointGrid::ShownLabel(std::vector<std::optional<QString>>& shown, int n,
                                           const std::function<QString()>& make) {
    std::optional<QString>& label = shown.at(static_cast<size_t>(n));
    if (!label)
        label = make();
    return *label;
}

void TCrosspointGrid::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        shownInputs_.assign(inputNames_.size(), {});
        shownOutputs_.assign(outputNames_.size(), {});
        InvalidateCache();
    }
}

const QString& TCrosspointGrid::InputName(int i) const {
    return i >= 0 && i < geometry_.inputs ? inputNames_[static_cast<size_t>(i)] : kNoName;
}

const QString& TCrosspointGrid::OutputName(int o) const {
    return o >= 0 && o < geometry_.outputs ? outputNames_[static_cast<size_t>(o)] : kNoName;
}

void TCrosspointGrid::SetRowMuted(int o, bool muted) {
    if (o < 0 || o >= geometry_.outputs || RowMuted(o) == muted)
        return;
    mutes_[static_cast<size_t>(o)] = muted ? 1 : 0;
    RepaintPart(o, kMuteColumn);
}

bool TCrosspointGrid::RowMuted(int o) const {
    return o >= 0 && o < geometry_.outputs && mutes_[static_cast<size_t>(o)] != 0;
}

void TCrosspointGrid::SetFaceColor(const QColor& color) {
    if (color == face_)
        return;
    face_ = color;
    InvalidateCache();
}

void TCrosspointGrid::InvalidateCache() {
    cacheValid_ = false;
    viewport()->update();
}

QPoint TCrosspointGrid::Scroll() const {
    return QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

void TCrosspointGrid::UpdateScrollBars() {
    const QSize content = geometry_.ContentSize();
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - view.width()));
    horizontalScrollBar()->setSingleStep(geometry_.columnPitch);
    horizontalScrollBar()->setPageStep(std::max(1, view.width() - geometry_.RowHeaderWidth()));
    verticalScrollBar()->setRange(0, std::max(0, content.height() - view.height()));
    verticalScrollBar()->setSingleStep(geometry_.rowPitch);
    verticalScrollBar()->setPageStep(std::max(1, view.height() - geometry_.labelHeight));
}

// ---- painting ----

// The two faces of a crosspoint, drawn once per pixel ratio and copied.
void TCrosspointGrid::MakeCellFaces(qreal ratio) {
    if (!cellUp_.isNull() && cellUp_.devicePixelRatio() == ratio)
        return;
    const QSize size(geometry_.cellWidth, geometry_.cellHeight);
    for (bool up : {true, false}) {
        QPixmap face(size * ratio);
        face.setDevicePixelRatio(ratio);
        face.fill(face_);
        QPainter painter(&face);
        const QRect cell(QPoint(0, 0), size);
        PaintBevel(painter, cell.adjusted(0, 0, -1, -1), !up);
        if (up) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(kConnected);
            painter.drawEllipse(QRectF(cell).center(), 4, 4);
        }
        painter.end();
        (up ? cellUp_ : cellDown_) = face;
    }
}

void TCrosspointGrid::PaintCellInto(QPainter& painter, int o, int i) {
    const QRect cell = geometry_.CellRect(o, i, Scroll());
    painter.drawPixmap(cell.topLeft(), points_.Connected(o, i) ? cellUp_ : cellDown_);
    if (hasFocus() && o == focusRow_ && i == focusColumn_) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(cell.adjusted(2, 2, -3, -3));
    }
    ++cellsPainted_;
}

void TCrosspointGrid::PaintRowHeader(QPainter& painter, int o) {
    const QPoint scroll = Scroll();
    const bool focusHere = hasFocus() && o == focusRow_;
    const QRect mute = geometry_.MuteRect(o, scroll);
    PaintBevel(painter, mute.adjusted(0, 0, -1, -1), RowMuted(o));
    painter.setPen(RowMuted(o) ? kMuted : Qt::black);
    painter.drawText(mute, Qt::AlignCenter, QStringLiteral("M"));
    const QRect name = geometry_.NameRect(o, scroll);
    painter.setPen(Qt::black);
    painter.drawText(name.adjusted(2, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     ShownLabel(shownOutputs_, o, [&] {
                         return Shortened(QString::number(o + 1) + "  " + OutputName(o),
                                          name.width() - 2, painter.fontMetrics());
                     }));
    const QRect edit = geometry_.EditRect(o, scroll);
    PaintBevel(painter, edit.adjusted(0, 0, -1, -1), false);
    painter.setPen(Qt::black);
    painter.drawText(edit, Qt::AlignCenter, QStringLiteral("..."));
    if (focusHere && (focusColumn_ == kMuteColumn || focusColumn_ == kEditColumn)) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect((focusColumn_ == kMuteColumn ? mute : edit).adjusted(2, 2, -3, -3));
    }
}

// Input labels read upwards, shortened with "..." to the label's height.
void TCrosspointGrid::PaintInputLabel(QPainter& painter, int i) {
    const QRect label = geometry_.InputLabelRect(i, Scroll());
    const QFontMetrics metrics = painter.fontMetrics();
    const int room = label.height() - 6;
    painter.save();
    painter.translate(label.left() + (label.width() + metrics.ascent() - metrics.descent()) / 2,
                      label.bottom() - 3);
    painter.rotate(-90);
    painter.setPen(Qt::black);
    painter.drawText(
        0, 0, ShownLabel(shownInputs_, i, [&] { return Shortened(InputName(i), room, metrics); }));
    painter.restore();
}

void TCrosspointGrid::RenderCache() {
    const qreal ratio = devicePixelRatioF();
    const QSize view = viewport()->size();
    if (cache_.size() != view * ratio) {
        cache_ = QPixmap(view * ratio);
        cache_.setDevicePixelRatio(ratio);
    }
    cache_.fill(face_);
    MakeCellFaces(ratio);
    cellsPainted_ = 0;
    QPainter painter(&cache_);
    painter.setFont(font());
    const QPoint scroll = Scroll();
    const auto rows = geometry_.VisibleRows(view, scroll);
    const auto columns = geometry_.VisibleColumns(view, scroll);
    const QRect cells = geometry_.CellArea(view);
    painter.setClipRect(cells);
    for (int o = rows.first; o <= rows.last; ++o) {
        for (int i = columns.first; i <= columns.last; ++i)
            PaintCellInto(painter, o, i);
    }
    painter.setClipRect(QRect(0, cells.top(), geometry_.RowHeaderWidth(), cells.height()));
    for (int o = rows.first; o <= rows.last; ++o)
        PaintRowHeader(painter, o);
    painter.setClipRect(QRect(cells.left(), 0, cells.width(), geometry_.labelHeight));
    for (int i = columns.first; i <= columns.last; ++i)
        PaintInputLabel(painter, i);
    painter.setClipping(false);
    painter.setPen(kShadow);
    painter.drawLine(0, geometry_.labelHeight - 1, view.width(), geometry_.labelHeight - 1);
    painter.drawLine(geometry_.RowHeaderWidth() - 1, 0, geometry_.RowHeaderWidth() - 1,
                     view.height());
    painter.setPen(Qt::black);
    painter.drawText(QRect(4, 0, geometry_.RowHeaderWidth() - 8, geometry_.labelHeight - 4),
                     Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("Outputs \\ Inputs"));
    shown_ = points_.Buttons();
    cacheValid_ = true;
}

void TCrosspointGrid::paintEvent(QPaintEvent* event) {
    if (!cacheValid_)
        RenderCache();
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    const qreal ratio = cache_.devicePixelRatio();
    painter.drawPixmap(dirty, cache_,
                       QRectF(dirty.topLeft() * ratio, dirty.size() * ratio).toRect());
}

// One part of a row (a crosspoint or a row header button) into the cache.
void TCrosspointGrid::RepaintPart(int o, int column) {
    if (!cacheValid_) {
        viewport()->update();
        return;
    }
    const QPoint scroll = Scroll();
    QPainter painter(&cache_);
    painter.setFont(font());
    if (column >= 0) {
        painter.setClipRect(geometry_.CellArea(viewport()->size()));
        PaintCellInto(painter, o, column);
        if (column < geometry_.inputs)
            shown_[static_cast<size_t>(o) * geometry_.inputs + column] =
                points_.Connected(o, column) ? 1 : 0;
    } else {
        const QRect cells = geometry_.CellArea(viewport()->size());
        painter.setClipRect(QRect(0, cells.top(), geometry_.RowHeaderWidth(), cells.height()));
        painter.fillRect(
            QRect(0, geometry_.RowY(o, scroll), geometry_.RowHeaderWidth() - 1, geometry_.rowPitch),
            face_);
        PaintRowHeader(painter, o);
    }
    viewport()->update(geometry_.FocusRect(o, column, scroll).adjusted(-1, -1, 1, 1));
}

void TCrosspointGrid::Sync() {
    if (!cacheValid_) {
        viewport()->update();
        return;
    }
    const std::vector<uint8_t>& now = points_.Buttons();
    const QSize view = viewport()->size();
    const QPoint scroll = Scroll();
    const auto rows = geometry_.VisibleRows(view, scroll);
    const auto columns = geometry_.VisibleColumns(view, scroll);
    cellsPainted_ = 0;
    for (size_t cell = 0; cell < now.size(); ++cell) {
        if (now[cell] == shown_[cell])
            continue;
        shown_[cell] = now[cell];
        const int o = static_cast<int>(cell / static_cast<size_t>(geometry_.inputs));
        const int i = static_cast<int>(cell % static_cast<size_t>(geometry_.inputs));
        if (o >= rows.first && o <= rows.last && i >= columns.first && i <= columns.last)
            RepaintPart(o, i);
    }
}

void TCrosspointGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    InvalidateCache();
}

void TCrosspointGrid::scrollContentsBy(int, int) {
    InvalidateCache();
}

// ---- focus, keys and mouse ----

void TCrosspointGrid::SetFocusCell(int o, int column) {
    o = std::clamp(o, 0, std::max(0, geometry_.outputs - 1));
    column = std::clamp(column, kMuteColumn, std::max(0, geometry_.inputs - 1));
    const int oldRow = focusRow_;
    const int oldColumn = focusColumn_;
    focusRow_ = o;
    focusColumn_ = column;
    ShowCell(o, column);
    if (geometry_.outputs > 0) {
        RepaintPart(oldRow, oldColumn);
        RepaintPart(o, column);
    }
}

QRect TCrosspointGrid::ShowCell(int o, int column) {
    const QRect cells = geometry_.CellArea(viewport()->size());
    QRect rect = geometry_.FocusRect(o, column, Scroll());
    if (rect.top() < cells.top())
        verticalScrollBar()->setValue(verticalScrollBar()->value() - (cells.top() - rect.top()));
    else if (rect.bottom() > cells.bottom())
        verticalScrollBar()->setValue(verticalScrollBar()->value() + rect.bottom() -
                                      cells.bottom());
    if (column >= 0) {
        if (rect.left() < cells.left())
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() -
                                            (cells.left() - rect.left()));
        else if (rect.right() > cells.right())
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() + rect.right() -
                                            cells.right());
    }
    return geometry_.FocusRect(o, column, Scroll());
}

void TCrosspointGrid::MoveFocus(int rows, int columns) {
    SetFocusCell(focusRow_ + rows, focusColumn_ + columns);
}

void TCrosspointGrid::Activate(int o, int column) {
    if (o < 0 || o >= geometry_.outputs)
        return;
    if (column == kMuteColumn) {
        if (OnMute)
            OnMute(o);
    } else if (column == kEditColumn) {
        if (OnEdit)
            OnEdit(o);
    } else if (column >= 0 && column < geometry_.inputs && OnCrosspoint) {
        OnCrosspoint(o, column);
    }
}

void TCrosspointGrid::keyPressEvent(QKeyEvent* event) {
    const int pageRows =
        std::max(1, (viewport()->height() - geometry_.labelHeight) / geometry_.rowPitch - 1);
    switch (event->key()) {
        case Qt::Key_Left:
            MoveFocus(0, -1);
            break;
        case Qt::Key_Right:
            MoveFocus(0, 1);
            break;
        case Qt::Key_Up:
            MoveFocus(-1, 0);
            break;
        case Qt::Key_Down:
            MoveFocus(1, 0);
            break;
        case Qt::Key_PageUp:
            MoveFocus(-pageRows, 0);
            break;
        case Qt::Key_PageDown:
            MoveFocus(pageRows, 0);
            break;
        case Qt::Key_Home:
            SetFocusCell(event->modifiers() & Qt::ControlModifier ? 0 : focusRow_, 0);
            break;
        case Qt::Key_End:
            SetFocusCell(
                event->modifiers() & Qt::ControlModifier ? geometry_.outputs - 1 : focusRow_,
                geometry_.inputs - 1);
            break;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Activate(focusRow_, focusColumn_);
            break;
        default:
            QAbstractScrollArea::keyPressEvent(event);
            return;
    }
    event->accept();
}

void TCrosspointGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const auto hit = geometry_.HitAt(event->position().toPoint(), Scroll());
    using Part = TGridGeometry::Part;
    int column = hit.i;
    if (hit.part == Part::kMute)
        column = kMuteColumn;
    else if (hit.part == Part::kEdit)
        column = kEditColumn;
    else if (hit.part != Part::kCrosspoint)
        return;
    SetFocusCell(hit.o, column);
    Activate(hit.o, column);
}

QString TCrosspointGrid::ToolTipAt(QPoint at) const {
    const auto hit = geometry_.HitAt(at, Scroll());
    const auto named = [](const char* what, int n, const QString& name) {
        return QString("%1 %2").arg(what).arg(n) + (name.isEmpty() ? QString() : " (" + name + ")");
    };
    switch (hit.part) {
        case TGridGeometry::Part::kCrosspoint:
            return kCrosspointHint + "\n" + named("Input", hit.i + 1, InputName(hit.i)) + " to " +
                   named("Output", hit.o + 1, OutputName(hit.o));
        case TGridGeometry::Part::kMute:
            return kMuteHint;
        case TGridGeometry::Part::kEdit:
            return kEditHint;
        case TGridGeometry::Part::kName:
            return OutputName(hit.o);
        case TGridGeometry::Part::kInputLabel:
            return InputName(hit.i);
        default:
            return {};
    }
}

bool TCrosspointGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = ToolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, viewport());
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void TCrosspointGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (geometry_.outputs > 0)
        RepaintPart(focusRow_, focusColumn_);
}

void TCrosspointGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (geometry_.outputs > 0)
        RepaintPart(focusRow_, focusColumn_);
}

}  // namespace objscope::audio
