#include "audio/eq/graphic_eq_form.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

namespace objscope::audio {

namespace {

constexpr int kClientWidth = 281;
constexpr int kClientHeight = 140;
constexpr int kFontPixels = 19;
const QPoint kLabelAt(48, 52);

}  // namespace

TEQ1_3Form::TEQ1_3Form(TVEKroot& object, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      object_(object) {
    setObjectName("TEQ1_3Form");
    setWindowTitle("One Third Octave EQ");
    setFixedSize(kClientWidth, kClientHeight);
    auto* label = new QLabel("Under Construction", this);
    label->setObjectName("lblUnderConstruction");
    QFont font = label->font();
    font.setBold(true);
    font.setPixelSize(kFontPixels);
    label->setFont(font);
    label->adjustSize();
    label->move(kLabelAt);
}

void TEQ1_3Form::ShowEditorWindow() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
}

// Closing: the object forgets its window, which goes once its events are done.
void TEQ1_3Form::done(int result) {
    QDialog::done(result);
    if (object_.Editor() == this) {
        object_.ReleaseEditor().release();
        deleteLater();
    }
}

}  // namespace objscope::audio
