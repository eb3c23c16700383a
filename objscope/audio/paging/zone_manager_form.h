// TZoneManagerForm, the zone manager editor ("Zone Manager"): one row per
// bus input, "Bus Input " and its number beside an edit of the input's tag
// field, in the scroll box sbxBusses.
#pragma once

#include <QScrollArea>
#include <vector>

#include "audio/paging/paging_objects.h"
#include "windows/tarn_edit_box.h"
#include "windows/tarn_form_base.h"

namespace objscope::audio {

class TZoneManagerForm : public TTarnFormBase {
  public:
    TZoneManagerForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    ~TZoneManagerForm() override;

    // The tag field edit of bus input i (1-based).
    TTarnEditBox* BusEdit(int i) const { return edits_.at(static_cast<size_t>(i - 1)); }
    int RowCount() const { return static_cast<int>(edits_.size()); }

  private:
    void PlaceFormButtons(QWidget* body);
    void BuildRows(QWidget* rows, int count);

    std::vector<TTarnEditBox*> edits_;
};

}  // namespace objscope::audio
