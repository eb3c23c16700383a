// TdlgAboutBox: product, version and the two lines hubclient reports (or
// the two "not available" lines without a registration).
#pragma once

#include <QDialog>
#include <cstdint>

namespace busprobe {

class TdlgAboutBox : public QDialog {
    Q_OBJECT

  public:
    TdlgAboutBox(int32_t registration, QWidget* parent = nullptr);
};

}  // namespace busprobe
