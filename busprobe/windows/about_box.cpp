#include "about_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "hubclient.h"

namespace busprobe {
namespace {

QString versionLine(int32_t registration, uint32_t flags) {
    const char* text = registration > 0 ? GetVEKBaseVersion(registration, flags) : nullptr;
    return text != nullptr ? QString::fromLatin1(text).trimmed() : QString();
}

}  // namespace

TdlgAboutBox::TdlgAboutBox(int32_t registration, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgAboutBox"));
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    QString library = versionLine(registration, 1);
    QString server = versionLine(registration, 2);
    if (library.isEmpty() && server.isEmpty()) {
        library = QStringLiteral(" * UNABLE TO REGISTER WITH VEK BASE *");
        server = QStringLiteral("* NETWORK SUPPORT NOT AVAILABLE !!!! *");
    }
    const std::pair<const char*, QString> lines[] = {
        {"lblProduct", QStringLiteral("VEK Network Testing Utility (32 Bit)")},
        {"lblVersion", QStringLiteral("Ver: ") + QStringLiteral(VEK_BUSPROBE_VERSION)},
        {"lblLibraryVersion", library},
        {"lblServerVersion", server}};
    for (const auto& [name, text] : lines) {
        auto* label = new QLabel(text, this);
        label->setObjectName(QString::fromLatin1(name));
        layout->addWidget(label);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

}  // namespace busprobe
