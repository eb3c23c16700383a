// A choice list that edits a number through a hidden bound edit, the way
// the automatic mixer's windows keep their combos: the hidden edit holds the
// property (bound, registered, sent), the list shows item value - offset and
// follows every value that arrives. A hidden edit counts as visible while the
// control it stands in for is not hidden, so it reads, sends and registers
// like that control.
#pragma once

#include <QComboBox>
#include <functional>

#include "windows/tarn_edit_box.h"
#include "windows/tarn_form_base.h"

namespace objscope::audio {

// Makes `edit` a hidden bound edit standing in for `standIn`.
void MakeHiddenEdit(TTarnEditBox& edit, const QWidget& standIn);

// The number a bound edit's copy holds (0 when it holds none).
int HeldNumber(const TTarnGuiComW& tarn);

class TChoiceField {
  public:
    TChoiceField(QComboBox* list, TTarnEditBox* hidden, int offset);
    // The list and the edit may outlive this object while their window is
    // taken down: nothing of theirs calls it afterwards.
    ~TChoiceField();
    TChoiceField(const TChoiceField&) = delete;
    TChoiceField& operator=(const TChoiceField&) = delete;

    // Sets the value (as a user's choice: sent while connected) and shows it.
    void SetValue(int value);
    int Value() const { return HeldNumber(hidden_->Tarn()); }
    QComboBox* List() const { return list_; }
    TTarnEditBox* Hidden() const { return hidden_; }
    // Called after a value arrived or was chosen.
    std::function<void(int value)> OnValue;

  private:
    void Show();

    QComboBox* list_;
    TTarnEditBox* hidden_;
    int offset_;
    QMetaObject::Connection chosen_;
};

// Ends the value handlers of the window's bound edits and labels (what the
// windows that chain their own handlers call from their destructors).
void CutValueHandlers(QWidget& window);

}  // namespace objscope::audio
