// TfrmPropertyList, "Object Properties": every property of one object in the
// property grid, edited in place and sent to the device (one object or the
// same property in a series of objects), exported as CSV, labelled with the
// device's text descriptions. Created once and hidden, not destroyed, when
// closed.
#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

#include "binding/editor_comm.h"
#include "model/object_root_plus.h"
#include "settings/vek_list.h"
#include "windows/device_requests.h"

class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QTimer;

namespace objscope {

class TfrmMeter;
class TfrmViewBLOB;
class TPropGrid;

class TfrmPropertyList : public QDialog {
    Q_OBJECT

  public:
    // `deviceText` gives the main window's device box text (for "T").
    TfrmPropertyList(TDeviceRequests& requests, std::function<QString()> deviceText,
                     QWidget* parent = nullptr);
    ~TfrmPropertyList() override;

    // Listed-object mode: a copy of the record's identity is the work object
    // whose properties are requested when the window shows.
    void SetListedObject(const TVEKroot& record);
    // Full-object mode: the complete object (owned by the main window, valid
    // until its next listing) is shown as it is.
    void SetFullObject(TVEKroot* object);

    TPropGrid* Grid() const { return grid_; }
    // True while a "get all properties" request is under way.
    bool Loading() const { return loading_; }

    // The operations behind the buttons (also used by tests).
    void Refresh();
    void SetProp();
    // Set Prop for one row (AutoSet sends the row that was edited).
    void SetPropForRow(int row);
    void SetMulti();
    void SetAll();
    void ExportTo(const QString& fileName);
    void LoadTextDescriptions();
    // "Monitor Value" (also a double-click on the grid): a meter window for
    // the current row's property; "BLOB Data": the data window of the
    // shown object. Each is a new window, returned for the caller.
    TfrmMeter* MonitorValue();
    TfrmViewBLOB* OpenBlobData();
    // The editor communication the meter windows bind through.
    void SetEditorComm(TEditorComm* comm) { editorComm_ = comm; }

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void BuildLayout();
    void RequestProperties();
    void AbandonRequest();
    void PropertiesArrived();
    void ShowSubject();
    void Export();
    void HideMultiPanel();
    // The row's property link; shows the row messages and answers
    // nothing when the row cannot be sent.
    std::optional<TTarn_Property_Link> LinkForSending(int row);
    TVEKroot* Subject() const;

    TDeviceRequests& requests_;
    std::function<QString()> deviceText_;
    TEditorComm* editorComm_ = nullptr;
    TPropGrid* grid_;
    QPushButton* btnMonitor_;
    QPushButton* btnRefresh_;
    QPushButton* btnSetProp_;
    QPushButton* btnSetMulti_;
    QPushButton* btnExport_;
    QPushButton* btnGetText_;
    QPushButton* btnClose_;
    QPushButton* btnBLOB_;
    QCheckBox* chkAutoSet_;
    QFrame* pnlMulti_;
    QLineEdit* edtObjIDInc_;
    QLineEdit* edtNumbObjs_;
    QPushButton* btnSetAll_;
    QTimer* textTimer_;

    std::unique_ptr<TVEKRootPlus> work_;
    TVEKroot* full_ = nullptr;
    TVEKList<TVEKPropertyBase> arrived_;
    // One token per properties request: a request whose token is gone (the
    // window hid or asked again) no longer writes into `arrived_`.
    std::shared_ptr<bool> requestToken_;
    bool loading_ = false;
    bool textsLoaded_ = false;
    int topRow_ = 1;
    int currentRow_ = 1;
};

}  // namespace objscope
