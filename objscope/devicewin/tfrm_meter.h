// TfrmMeter, "Meter": one property of a device object shown live, as a bar
// meter or (a Boolean) as a status light. The property list opens one per
// "Monitor Value"; each keeps its own copy of the object's identity, so no
// other window can pull its object away.
#pragma once

#include <memory>

#include "model/object_root.h"
#include "windows/tarn_form_base.h"

class QComboBox;
class QFrame;
class QLineEdit;

namespace objscope {

class TTarnLite;
class TTarnMeter2;

inline constexpr char kMeterCaption[] = "Meter";

// The meter's own subject, made before the form base that edits it.
struct TMeterSubject {
    std::unique_ptr<TVEKroot> subject = std::make_unique<TVEKroot>();
};

class TfrmMeter : private TMeterSubject, public TTarnFormBase {
  public:
    // `object`: the object the property list shows (its class and address
    // are copied).
    TfrmMeter(const TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    ~TfrmMeter() override;

    // Binds the meter, or for type code 13 the status light, to a copy of
    // the property (its ID and type code); other kinds keep the design
    // binding.
    void BindProperty(const TVEKPropertyBase& property, const QString& name);

    void SetMax();
    void SetMin();

    TTarnMeter2* Meter() const { return TarnMeter1_; }
    TTarnLite* Lite() const { return TarnLite1_; }

  protected:
    void FormShown() override;
    void done(int result) override;

  private:
    void ShowRange();
    void PlaceColourZones();

    std::unique_ptr<TVEKPropertyBase> bound_;  // the window's own copy
    TTarnMeter2* TarnMeter1_;
    TTarnLite* TarnLite1_;
    QFrame* pnlStatus_;
    QComboBox* cboPeakHoldTime_;
    QLineEdit* edtMax_;
    QLineEdit* edtMin_;
};

}  // namespace objscope
