// TTarnFormBase: the base window of every object editor. It owns the OK,
// Cancel and Help buttons and the "Connection" light, knows the object it
// edits, checks the connection to the device when it opens, and drives the
// bound controls through TTarnFormBinding (the binding notification goes to
// every bound control in creation order). Editors add their controls to
// Body() and register each control's TTarnGuiComW with Bind().
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <memory>

#include "binding/editor_form_binding.h"
#include "model/object_editor.h"

namespace objscope {

class TTarnFormBase : public QDialog, public TObjectEditor {
  public:
    TTarnFormBase(TVEKroot* object, TEditorComm* comm, QWidget* parent = nullptr);

    // TObjectEditor
    void SetEditorFlags(bool passThrough, bool readOnly, bool connect) override;
    void ShowEditorWindow() override;

    void Bind(TTarnGuiComW& control) { binding_.AddControl(control); }
    TTarnFormBinding& Binding() { return binding_; }
    TVEKroot* Object() const { return binding_.Object(); }
    bool Connected() const { return binding_.connect; }
    QWidget* Body() const { return body_; }
    QPushButton* OkButton() const { return btnOk_; }
    QPushButton* CancelButton() const { return btnCancel_; }
    QPushButton* HelpButton() const { return btnHelp_; }
    // The text of the device's last refusal of a value ("" when none).
    QString DeviceStatusText() const;
    // The caption: the form's caption, " - " and the object's name.
    void SetFormCaption(const QString& caption);

  protected:
    // Called after the bindings attached and the connection was decided.
    virtual void FormShown() {}
    // Asked when OK is pressed, before anything is committed: false
    // abandons the OK and the window stays open.
    virtual bool OkConfirmed() { return true; }
    void done(int result) override;
    // Cuts every signal and control callback of the window's widgets to
    // this form. A derived editor calls it from its destructor: Qt deletes
    // (and first hides, which ends editing in the fields) the children only
    // after the editor's own part is gone, and nothing may reach it then.
    void DetachFromChildren();

  private:
    void ShowConnection(bool lit);
    void OkClick();
    void CancelClick();

    TTarnFormBinding binding_;
    QWidget* body_ = nullptr;
    QPushButton* btnOk_ = nullptr;
    QPushButton* btnCancel_ = nullptr;
    QPushButton* btnHelp_ = nullptr;
    QLabel* lblConnection_ = nullptr;
    QLabel* onlineStatusLight_ = nullptr;
    QLabel* lblDeviceStatus_ = nullptr;  // the last refusal of a value by the device
    bool shownOnce_ = false;
    bool closing_ = false;
};

}  // namespace objscope
