// TPageZoneForm, the page zone editor ("Page Zone - " and the zone's name):
// the page bus's polarity, level and name at the left, the program inputs
// on pages of four strips (polarity, mute, ducking value and priorities, a
// level slider and the name), the output stage's polarity, mute, level and
// name at the right, and the zone number and state at the top. A page's
// strips are built when the page is first shown.
#pragma once

#include <QGroupBox>
#include <QTabWidget>
#include <memory>
#include <vector>

#include "audio/paging/paging_objects.h"
#include "audio/paging/strip_pages.h"
#include "windows/tarn_controls.h"
#include "windows/tarn_edit_box.h"
#include "windows/tarn_slider.h"

namespace objscope::audio {

// The controls of one input strip (all bound to the input's object).
struct TZoneStrip {
    TTarnButton* polarity = nullptr;
    TTarnButton* mute = nullptr;
    TTarnEditBox* ducking = nullptr;
    TTarnEditBox* duckPriority = nullptr;
    TTarnEditBox* mutePriority = nullptr;
    TTarnSlider* level = nullptr;
    TTarnLabel* name = nullptr;
    bool bound = false;  // false for an empty slot
    // Enabled while bound and the window is not read only.
    void Enable(bool on) const;
};

class TPageZoneForm : public TTarnFormBase {
  public:
    TPageZoneForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    ~TPageZoneForm() override;

    QTabWidget* InputPages() const { return pagInputs_; }
    const TStripPages& Pages() const { return *pages_; }
    // The strip of input m (1-based); empty until its page was built.
    const TZoneStrip& Strip(int m) const { return strips_.at(static_cast<size_t>(m - 1)); }

  protected:
    void FormShown() override;

  private:
    void BuildPageBus(QWidget* body);
    int BuildInputs(QWidget* body);
    void BuildOutput(QWidget* body, int left);
    void BuildZoneFields(QWidget* body, int width);
    void BuildStrips(QWidget* page, int first, int last);
    void BuildStrip(QWidget* page, int m);
    // The editor's object number of input m, or -1 for an empty slot.
    int ObjectNumberOf(int m);
    void BindDesigned(TTarnGuiComW& tarn, uint16_t object, uint16_t id, uint8_t type);

    TU32PageZone& zone_;
    QTabWidget* pagInputs_ = nullptr;
    std::unique_ptr<TStripPages> pages_;
    std::vector<TZoneStrip> strips_;
    TTarnSlider* sldOutput_ = nullptr;
    bool shown_ = false;
};

}  // namespace objscope::audio
