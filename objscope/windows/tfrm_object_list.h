// TfrmObjectList, "Obj/Cl Viewer - v6.5.3": the main window. The user picks
// a device, lists its objects (with class names or their own names) or its
// classes, uploads every object with all its properties, runs the
// device-wide commands and opens the property list of the selected entry.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <optional>

#include "model/object_root.h"
#include "settings/vek_list.h"
#include "windows/device_requests.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace objscope {

class TfrmAddObject;
class TfrmEOBTest;
class TfrmExeMethod;
class TfrmPromptIP;
class TfrmPropertyList;
class TfrmTestMgr;
class TPanelSetView;

inline constexpr char kObjectListCaption[] = "Obj/Cl Viewer - v6.5.3";
inline constexpr char kApplicationTitle[] = "Tarn Property Viewer";

class TfrmObjectList : public QMainWindow {
    Q_OBJECT

  public:
    // `devices`: the device numbers offered by the settings file.
    TfrmObjectList(TDeviceRequests& requests, const std::vector<uint16_t>& devices,
                   QWidget* parent = nullptr);
    ~TfrmObjectList() override;

    void SetPropertyList(TfrmPropertyList* window) { propertyList_ = window; }

    // The device number of the device box; nothing (after telling the user)
    // when it is above 65535.
    std::optional<uint16_t> DeviceNumber();
    QString DeviceText() const;

    // The operations behind the controls (also used by tests and the
    // console demo).
    void GetObjects();
    void GetClasses();
    void GetObjectsWithNames();
    void UploadObjects();
    void ViewProperties();
    void EditObject();
    void MakePermanent();
    void SoftReset();
    void ResetWithDefaultObjects();
    void DeleteObject();
    void SetLoopback();
    void ToggleSettings();
    void ApplySettings();
    void DeviceChanged();

    // Whole-device work (tfrm_object_list_device.cpp): object set files and
    // the windows of new objects, methods, tests and the IP address. Without
    // a path the file dialogs ask.
    void UploadObjectsToFile(const QString& path = {});
    void DownloadObjectsFromFile(const QString& path = {});
    void CompareObjectsWithFile(const QString& path = {});
    void AddObject();
    void DoMethod();
    void ShowTestManager();
    void ShowEOBTest();
    void PromptIPAddress();
    TfrmPromptIP* PromptIP() const { return frmPromptIP_; }
    TfrmTestMgr* TestManager() const { return frmTestMgr_; }
    TfrmExeMethod* ExeMethod() const { return frmExeMethod_; }
    TfrmAddObject* AddObjectWindow() const { return frmAddObject_; }
    TfrmEOBTest* EOBTest() const { return frmEOBTest_; }
    // The lines of the last Compare Objs with File (the window shows them).
    const QStringList& ComparisonLines() const { return comparison_; }

    // True while a listing or the upload is under way.
    bool Busy() const { return waiting_ || uploading_; }
    const TVEKList<TVEKroot>& Objects() const { return objects_; }
    QListWidget* List() const { return lstObjects_; }

  signals:
    // The window was closed: closing it ends the program.
    void Closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildDeviceWindows();
    // The object set flows: busy from start to end, the panel's Cancel and
    // a closing window stop them.
    bool BeginSetFlow();
    void EndSetFlow();
    void ListUploadedObjects();
    void ShowComparison(const QStringList& lines);
    void BuildLayout();
    void BuildMoreMenu();
    void SetTabOrder();
    void SetMappedAddress(uint16_t device, const std::string& text);
    QWidget* BuildTopRow();
    QWidget* BuildSettingsPanel();
    QWidget* BuildUploadPanel();
    void StartListing(const char* label);
    // Objects mode with an empty list and object records; Get Objects and
    // "T" hide the Test button first, the upload keeps it.
    void BeginObjectsListing(bool fullObjects);
    void ObjectsListed();
    void NamedListArrived();
    void FullUpload();
    void UploadProperties(std::vector<std::unique_ptr<TVEKroot>>& built);
    void HandOwnedObjects(std::vector<std::unique_ptr<TVEKroot>>& built);
    void RefillFromObjects(bool netTotal);
    void SetBusyButtonsEnabled(bool on);
    void NormalCursor();
    void ShowTestButtons(const TVEKroot& object, bool eob);
    void UpdateApplicationTitle();
    void ScrollToLast();
    Liveness Alive() const;

    TDeviceRequests& requests_;
    TfrmPropertyList* propertyList_ = nullptr;

    QComboBox* cboDevices_;
    QLineEdit* edtIPAddress_;
    QPushButton* btnLoopback_;
    QPushButton* btnGetObjects_;
    QPushButton* btnGetClasses_;
    QPushButton* btnGetText_;
    QToolButton* btnMore_;
    QMenu* pmuMoreMenu_;
    QPushButton* btnEdit_;
    QPushButton* btnUploadObjects_;
    QPushButton* btnDoMethod_;
    QPushButton* btnViewProperties_;
    QPushButton* btnMakePerm_;
    QPushButton* btnReset_;
    QPushButton* btnTest_;
    QPushButton* btnEOBTest_;
    QPushButton* btnClose_;
    QToolButton* imgSettings_;
    QFrame* pnlSettings_;
    QLineEdit* edtTimeout_;
    QPushButton* btnOKsettings_;
    QListWidget* lstObjects_;
    QLabel* lblListTitle_;
    QLabel* lblTotal_;
    QFrame* pnlUpload_;
    QLabel* lblUploading_;
    QProgressBar* pbUploadProgress_;
    QPushButton* btnCancelUpload_;
    QFrame* pnlMakePerm_;

    TVEKList<TVEKroot> objects_;
    TVEKList<TVEKroot> blobObjects_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    bool objectsMode_ = true;
    bool fullObjects_ = false;
    bool waiting_ = false;
    bool uploading_ = false;
    bool cancelUpload_ = false;
    bool closeAfterUpload_ = false;
    bool setFlow_ = false;  // an object set flow is running
    QElapsedTimer namedListStart_;
    uint16_t testTag_ = 0;
    uint16_t eobTestTag_ = 0;

    TfrmPromptIP* frmPromptIP_ = nullptr;
    TfrmTestMgr* frmTestMgr_ = nullptr;
    TfrmExeMethod* frmExeMethod_ = nullptr;
    TfrmAddObject* frmAddObject_ = nullptr;
    TfrmEOBTest* frmEOBTest_ = nullptr;
    std::unique_ptr<TPanelSetView> setView_;
    QStringList comparison_;
};

}  // namespace objscope
