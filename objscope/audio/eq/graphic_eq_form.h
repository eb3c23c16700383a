// TEQ1_3Form, the window of the one-third-octave graphic equaliser: a fixed
// placeholder that says the editor is not there yet. It is no editor form:
// it binds, reads and sends nothing, whatever the opener asks.
#pragma once

#include <QDialog>

#include "model/object_editor.h"
#include "model/object_root.h"

namespace objscope::audio {

class TEQ1_3Form : public QDialog, public TObjectEditor {
  public:
    explicit TEQ1_3Form(TVEKroot& object, QWidget* parent = nullptr);

    void ShowEditorWindow() override;

  protected:
    void done(int result) override;

  private:
    TVEKroot& object_;
};

}  // namespace objscope::audio
