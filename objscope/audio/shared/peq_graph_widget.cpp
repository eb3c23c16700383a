#include "audio/shared/peq_graph_widget.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "audio/shared/peq_graph_geometry.h"

namespace objscope::audio {

TPeqGraphWidget::TPeqGraphWidget(QWidget* parent) : QWidget(parent) {
    setObjectName("PaintBoxGraph");
    setFixedSize(peq_graph::kWidth, peq_graph::kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    SetDisplay(display_);
}

void TPeqGraphWidget::SetDisplay(const PeqDisplay& display) {
    display_ = display;
    const qreal ratio = devicePixelRatioF();
    background_ =
        QImage(QSize(peq_graph::kWidth, peq_graph::kHeight) * ratio, QImage::Format_RGB32);
    background_.setDevicePixelRatio(ratio);
    PeqGraphPainter::PaintBackground(background_, display_);
    update();
}

void TPeqGraphWidget::SetFrame(PeqFrame frame) {
    frame_ = std::move(frame);
    update();
}

void TPeqGraphWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, background_);
    if (PaintFrame)
        PaintFrame(painter, display_);
    else
        PeqGraphPainter::PaintFrame(painter, display_, frame_);
}

void TPeqGraphWidget::mousePressEvent(QMouseEvent* event) {
    if (OnPress)
        OnPress(event->position().toPoint());
}

void TPeqGraphWidget::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        if (OnDrag)
            OnDrag(event->position().toPoint());
    } else if (event->buttons() == Qt::NoButton && OnHover) {
        OnHover(event->position().toPoint());
    }
}

void TPeqGraphWidget::leaveEvent(QEvent*) {
    if (OnHover)
        OnHover(std::nullopt);
}

void TPeqGraphWidget::mouseReleaseEvent(QMouseEvent*) {
    if (OnRelease)
        OnRelease();
}

GraphWithKeys AddGraphWithKeys(QWidget* parent, QVBoxLayout* layout, QObject* keys) {
    auto* hiddenEdit = new QLineEdit(parent);
    hiddenEdit->setObjectName("HiddenEdit");
    hiddenEdit->setFrame(false);
    hiddenEdit->setFixedSize(1, 1);
    hiddenEdit->installEventFilter(keys);
    layout->addWidget(hiddenEdit);
    auto* graph = new TPeqGraphWidget(parent);
    layout->addWidget(graph);
    return {hiddenEdit, graph};
}

}  // namespace objscope::audio
