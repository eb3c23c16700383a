#include "audio/gain/meter_form.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>

#include "audio/gain/gain_objects.h"

namespace objscope::audio {

namespace {

constexpr uint8_t kDb2Type = 132;
constexpr double kMeterFloor = -60;
constexpr int kStripHeight = 15;
constexpr int kStripLeft = 16;  // the options button's place, no drag there
constexpr int kStripButton = 16;
constexpr QSize kFullSize{112, 388};
constexpr QSize kCompactSize{30, 235};
constexpr QRect kFullMeter{20, 20, 64, 220};
constexpr QRect kCompactMeter{4, 12, 16, 200};
constexpr QRect kNameLabel{4, 244, 104, 17};
constexpr QRect kHoldList{4, 263, 104, 22};
constexpr QRect kPanel{0, 286, 112, 102};
constexpr int kCompactButton = 12;
constexpr int kCompactCloseLeft = 18;
constexpr int kStartItem = 1;  // "1 sec"
const QColor kStripColor{0x00, 0x00, 0x80};

const char* const kHoldNames[] = {"1 Second", "2 Seconds", "4 Seconds", "10 Seconds", "None"};
constexpr int kHoldCount = static_cast<int>(std::size(kHoldNames));

QToolButton* StripButton(const char* name, const QString& text, const QString& hint,
                         QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setStyleSheet("color: white;");
    return button;
}

}  // namespace

int PeakHoldItemOfAction(int action) {
    return (action + 1) % kHoldCount;
}

TMeterForm::TMeterForm(TVEKroot& object, TEditorComm* comm, QWidget* parent)
    : TBoundEditorForm(object, comm, "", parent) {
    setObjectName("TMeterForm");
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    // The window's parts take fixed places of their own.
    delete layout();
    if (auto* panel = findChild<QWidget*>("pnlTarnForm"))
        delete panel->layout();
    Body()->setGeometry(QRect(QPoint(0, 0), kFullSize));

    meter_ = LevelMeter("TarnMeter1", {kMeterLevelProperty, kDb2Type, true}, kMeterFloor);
    meter_->setMinimumSize(0, 0);
    name_ = Bound(new TTarnLabel("TarnLabel1", Body()), {kObjectNamePropertyID});
    peakHold_ = new TPeakHoldList(Body());
    peakHold_->setCurrentIndex(kStartItem);
    peakHold_->AddMeter(meter_);
    BuildStrip();
    BuildMenu();
    connect(peakHold_, &QComboBox::currentIndexChanged, this, [this] { TickHoldTime(); });
    TickHoldTime();
    ShowFull();
}

void TMeterForm::BuildStrip() {
    btnOptions_ = StripButton("btnOptions", QString::fromUtf8("\u25BE"), "Options", this);
    btnResize_ = StripButton("btnResize", QString::fromUtf8("\u25A1"), "Compact / full", this);
    btnClose_ = StripButton("btnClose", QString::fromUtf8("\u00D7"), "Close", this);
    connect(btnOptions_, &QToolButton::clicked, this,
            [this] { menu_->popup(btnOptions_->mapToGlobal(QPoint(0, btnOptions_->height()))); });
    connect(btnResize_, &QToolButton::clicked, this, [this] { ToggleSize(); });
    connect(btnClose_, &QToolButton::clicked, this, [this] { close(); });
}

void TMeterForm::BuildMenu() {
    menu_ = new QMenu(this);
    menu_->setObjectName("PopupMenu");
    QMenu* hold = menu_->addMenu("&Peak Hold");
    auto* group = new QActionGroup(this);
    for (int i = 0; i < kHoldCount; ++i) {
        QAction* action = hold->addAction(kHoldNames[i]);
        action->setCheckable(true);
        group->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, i] { peakHold_->setCurrentIndex(PeakHoldItemOfAction(i)); });
        holdActions_.push_back(action);
    }
    menu_->addAction("&Close", this, [this] { close(); });
}

void TMeterForm::TickHoldTime() {
    for (int i = 0; i < kHoldCount; ++i)
        holdActions_[static_cast<size_t>(i)]->setChecked(PeakHoldItemOfAction(i) ==
                                                         peakHold_->currentIndex());
}

void TMeterForm::ToggleSize() {
    if (Compact())
        ShowFull();
    else
        ShowCompact();
}

void TMeterForm::ShowFull() {
    setFixedSize(kFullSize);
    Body()->resize(kFullSize);
    meter_->setGeometry(kFullMeter);
    meter_->SetBorder(true);
    meter_->SetLegend(true);
    meter_->SetTics(true);
    name_->setGeometry(kNameLabel);
    peakHold_->setGeometry(kHoldList);
    if (auto* panel = findChild<QWidget*>("pnlTarnForm")) {
        panel->setGeometry(kPanel);
        const int wide = kPanel.width() - 8;
        findChild<QWidget*>("lblConnection")->setGeometry(4, 2, 64, 16);
        findChild<QWidget*>("OnlineStatusLight")->setGeometry(72, 3, 14, 14);
        findChild<QWidget*>("lblDeviceStatus")->hide();
        OkButton()->setGeometry(4, 22, wide, 24);
        CancelButton()->setGeometry(4, 48, wide, 24);
        HelpButton()->setGeometry(4, 74, wide, 24);
    }
    const TVEKroot* object = Object();
    setWindowTitle(object ? QString::fromStdString(object->ObjectName()) : QString());
    ShowBaseControls(true);
    PlaceStrip();
}

void TMeterForm::ShowCompact() {
    setFixedSize(kCompactSize);
    Body()->resize(kCompactSize);
    meter_->setGeometry(kCompactMeter);
    meter_->SetBorder(false);
    meter_->SetLegend(false);
    meter_->SetTics(false);
    setWindowTitle(QString());
    ShowBaseControls(false);
    PlaceStrip();
}

// Full: options at the left, resize and close at the right. Compact: resize
// and close only (the popup is on the right mouse button).
void TMeterForm::PlaceStrip() {
    const bool full = !Compact();
    btnOptions_->setVisible(full);
    if (full) {
        btnOptions_->setGeometry(0, 0, kStripButton, kStripHeight);
        btnResize_->setGeometry(width() - 2 * kStripButton, 0, kStripButton, kStripHeight);
        btnClose_->setGeometry(width() - kStripButton, 0, kStripButton, kStripHeight);
    } else {
        btnResize_->setGeometry(0, 0, kCompactButton, kCompactButton - 1);
        btnClose_->setGeometry(kCompactCloseLeft, 0, kCompactButton, kCompactButton - 1);
    }
    for (QWidget* button : {btnOptions_, btnResize_, btnClose_})
        button->raise();
    update();
}

void TMeterForm::ShowBaseControls(bool on) {
    name_->setVisible(on);
    peakHold_->setVisible(on);
    if (auto* panel = findChild<QWidget*>("pnlTarnForm"))
        panel->setVisible(on);
}

bool TMeterForm::InDragStrip(QPoint at) const {
    return at.y() >= 0 && at.y() < kStripHeight && at.x() > kStripLeft && at.x() < btnClose_->x();
}

void TMeterForm::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && InDragStrip(event->position().toPoint())) {
        dragging_ = true;
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
        event->accept();
        return;
    }
    TBoundEditorForm::mousePressEvent(event);
}

void TMeterForm::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        move(event->globalPosition().toPoint() - dragOffset_);
        event->accept();
        return;
    }
    TBoundEditorForm::mouseMoveEvent(event);
}

void TMeterForm::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    TBoundEditorForm::mouseReleaseEvent(event);
}

void TMeterForm::contextMenuEvent(QContextMenuEvent* event) {
    menu_->popup(event->globalPos());
}

// The strip that stands in for the title bar, with the caption in it.
void TMeterForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect strip(0, 0, width(), kStripHeight);
    painter.fillRect(strip, kStripColor);
    if (windowTitle().isEmpty())
        return;
    painter.setPen(Qt::white);
    const QRect text = strip.adjusted(kStripLeft + 2, 0, -2 * kStripButton - 2, 0);
    painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                     painter.fontMetrics().elidedText(windowTitle(), Qt::ElideRight, text.width()));
}

}  // namespace objscope::audio
