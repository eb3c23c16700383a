// TMCombinerForm, the editor of matrix routers and combiners ("Matrix
// Router - " or "Matrix Combiner - " and the object's name). The crosspoints
// are one grid widget; each row has its output's mute, name and a button
// that opens the row's internal mixer or selector. Without the device the
// window applies the crosspoint rules itself and OK stores the crosspoints
// into the inputs' mutes; connected, every press, "1-to-1" and change of
// mode, Self-Route or Force 1 goes to the device as a method and the grid
// shows the device's answer (paged, polled for other clients' changes).
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <array>
#include <memory>
#include <span>
#include <vector>

#include "audio/mixing/crosspoint_grid.h"
#include "audio/mixing/crosspoint_rules.h"
#include "audio/mixing/matrix_objects.h"
#include "windows/tarn_controls.h"
#include "windows/tarn_edit_box.h"
#include "windows/tarn_form_base.h"

namespace objscope::audio {

// The message of a press that the device's one-byte numbers cannot carry.
extern const char* const kCrosspointOutOfReach;

class TMCombinerForm : public TTarnFormBase {
  public:
    TMCombinerForm(TVEKroot& object, TEditorComm* comm, QWidget* parent = nullptr);
    ~TMCombinerForm() override;

    bool IsRouter() const { return router_; }
    TCrosspointGrid* Grid() const { return grid_; }
    const TCrosspoints& Points() const { return points_; }
    // Painted grey after the device refused a list or command.
    bool Greyed() const { return greyed_; }
    // Method exchanges made so far (each page counts).
    int Exchanges() const { return exchanges_; }
    // Lists the device's crosspoints now (what the poll timer does).
    bool Relist();
    // The interval of the poll for other clients' changes (ms).
    static constexpr int kPollMs = 1000;

  protected:
    void FormShown() override;
    void done(int result) override;

  private:
    // Building (mcombiner_form.cpp).
    QLayout* BuildControls();
    void BuildRows();
    void LoadPointsFromObject();
    TCrosspointSettings Settings() const;
    void BindRow(TTarnGuiComW& tarn, TVEKroot* object, uint16_t propertyId);

    // User actions.
    void CrosspointPressed(int o, int i);
    void MutePressed(int o);
    void EditPressed(int o);
    void MuteAllClicked();
    void OneToOneClicked();
    void ModeChosen(int mode);
    void SelfRouteClicked(bool on);
    void ForceOneClicked(bool on);
    void ShowMode();
    void RowsChanged();
    void RefreshRow(int o);
    void CommitToObject();

    // The method exchange (mcombiner_device.cpp).
    bool Exchange(std::span<const uint8_t> payload, bool opening);
    bool CollectPages(std::vector<uint8_t> reply, int32_t status,
                      std::vector<std::pair<int, int>>& pairs);
    void ShowListed(const std::vector<std::pair<int, int>>& pairs, bool opening);
    void SetGreyed(bool grey);
    bool Reachable(int o, int i);
    void CancelClicked();
    void RestoreStep(size_t next);
    void FinishRestore();

    TMatrixBase& matrix_;
    bool router_;
    TCrosspoints points_;
    TCrosspointGrid* grid_ = nullptr;
    TTarnButton* btnMuteAll_ = nullptr;
    QPushButton* btnOneToOne_ = nullptr;
    QGroupBox* rbCombiningMode_ = nullptr;
    std::array<QRadioButton*, 4> modeButtons_{};
    TTarnEditBox* edtCombiningMode_ = nullptr;
    TTarnCheckBox* chkSelfRoute_ = nullptr;
    TTarnCheckBox* chkForceOne_ = nullptr;
    // Per row: the output stage's mute, and a router row's selection.
    std::vector<std::unique_ptr<TTarnGuiComW>> rowMutes_;
    std::vector<std::unique_ptr<TTarnGuiComW>> rowSelections_;
    QTimer poll_;
    bool busy_ = false;
    bool greyed_ = false;
    int exchanges_ = 0;
    // Cancel of a connected window: the crosspoints to send back.
    std::vector<TCrosspoints::Point> restore_;
    int unreachable_ = 0;
    bool restoreFailed_ = false;
    class QProgressDialog* progress_ = nullptr;
};

}  // namespace objscope::audio
