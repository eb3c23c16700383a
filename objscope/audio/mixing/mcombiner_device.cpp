// The matrix editor's exchange with the device: method 3073 on the matrix,
// its paged connection list, the grey face of a refusal, and Cancel, which
// sends the crosspoints back one by one.
#include <QApplication>
#include <QProgressDialog>
#include <QTimer>
#include <string>

#include "audio/mixing/mcombiner_form.h"
#include "protocol/tarn_method_codec.h"
#include "protocol/tarn_status.h"
#include "windows/message_boxes.h"

namespace objscope::audio {

namespace {

// A byte names inputs and outputs 1 to 255.
constexpr int kLargestNumber = 255;
// A list of more pairs than a matrix holds is not believed.
constexpr size_t kMostPairs = 256 * 256;
constexpr size_t kNamedLimit = 10;  // crosspoints named in the report

bool StatusAccepted(int32_t status) {
    return status == kStatusOk || status == kStatusPartialResponse;
}

std::string PointText(const TCrosspoints::Point& p) {
    return "Input " + std::to_string(p.i + 1) + " to Output " + std::to_string(p.o + 1);
}

}  // namespace

const char* const kCrosspointOutOfReach =
    "Inputs and outputs above 255 cannot be named in the device's crosspoint commands:\r"
    "this crosspoint cannot be changed from here.";

bool TMCombinerForm::Relist() {
    return Connected() && Exchange(matrixListPayload(0), false);
}

bool TMCombinerForm::Reachable(int o, int i) {
    if (o < kLargestNumber && i < kLargestNumber)
        return true;
    ShowMessage(this, kCrosspointOutOfReach);
    return false;
}

// Sends a command (or list request) and follows the pages of its answer.
// Only a complete answer changes the grid: the first page's reset waits
// until every page has arrived, and a refusal anywhere leaves it as it was.
bool TMCombinerForm::Exchange(std::span<const uint8_t> payload, bool opening) {
    if (busy_ || !Binding().Comm())
        return false;
    busy_ = true;
    const TarnAddress address{matrix_.NetHandle(), matrix_.DevHandle(), matrix_.ObjHandle()};
    std::vector<uint8_t> reply;
    ++exchanges_;
    int32_t status =
        Binding().Comm()->ActivateMethod(address, kMethodMatrixCommand, payload, reply, true);
    std::vector<std::pair<int, int>> pairs;
    const bool complete = CollectPages(std::move(reply), status, pairs);
    if (complete)
        ShowListed(pairs, opening);
    SetGreyed(!complete);
    busy_ = false;
    return complete;
}

// Pages while the status says more follows; a page without pairs ends it.
bool TMCombinerForm::CollectPages(std::vector<uint8_t> reply, int32_t status,
                                  std::vector<std::pair<int, int>>& pairs) {
    const TarnAddress address{matrix_.NetHandle(), matrix_.DevHandle(), matrix_.ObjHandle()};
    size_t received = 0;
    while (true) {
        if (!StatusAccepted(status))
            return false;
        const std::vector<Crosspoint> page = decodeMatrixPairs(reply);
        for (const Crosspoint& p : page)
            pairs.emplace_back(p.output - 1, p.input - 1);
        received += page.size();
        if (status != kStatusPartialResponse || page.empty() || received >= kMostPairs)
            return true;
        ++exchanges_;
        status = Binding().Comm()->ActivateMethod(
            address, kMethodMatrixCommand, matrixListPayload(static_cast<uint16_t>(received)),
            reply, true);
    }
}

// Every crosspoint down, then each listed one up (pairs outside the grid
// are skipped); on opening the copies follow.
void TMCombinerForm::ShowListed(const std::vector<std::pair<int, int>>& pairs, bool opening) {
    points_.DisconnectAllButtons();
    if (opening)
        points_.SetAllCopies(false);
    for (const auto& [o, i] : pairs) {
        points_.SetButton(o, i, true);
        if (opening)
            points_.SetCopy(o, i, true);
    }
    grid_->Sync();
}

void TMCombinerForm::SetGreyed(bool grey) {
    if (grey == greyed_)
        return;
    greyed_ = grey;
    QPalette face = QApplication::palette(this);
    if (grey)
        face.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    setPalette(face);
    setAutoFillBackground(grey);
    grid_->SetFaceColor(grey ? QColor(0x80, 0x80, 0x80) : QColor(0xC0, 0xC0, 0xC0));
}

// ---- Cancel ----

// Connected, Cancel first returns the device to the crosspoints the window
// opened with: one command per differing crosspoint, paced by the event
// loop with a progress dialog, stopping at the first refusal; then the
// list is read again and whatever still differs is reported.
void TMCombinerForm::CancelClicked() {
    if (!Connected() || Binding().readOnly) {
        Binding().Cancel();
        reject();
        return;
    }
    poll_.stop();
    restore_ = points_.ChangedFromCopies();
    unreachable_ = 0;
    restoreFailed_ = false;
    if (restore_.empty()) {
        FinishRestore();
        return;
    }
    progress_ = new QProgressDialog("Restoring the crosspoints...", "Stop", 0,
                                    static_cast<int>(restore_.size()), this);
    progress_->setObjectName("dlgRestoreCrosspoints");
    progress_->setWindowTitle(windowTitle());
    progress_->setMinimumDuration(0);
    progress_->setValue(0);
    QTimer::singleShot(0, this, [this] { RestoreStep(0); });
}

void TMCombinerForm::RestoreStep(size_t next) {
    if (next >= restore_.size() || restoreFailed_ || (progress_ && progress_->wasCanceled())) {
        FinishRestore();
        return;
    }
    const TCrosspoints::Point p = restore_[next];
    const bool wanted = points_.CopyConnected(p.o, p.i);
    // The device's rules may have put it back already.
    if (points_.Connected(p.o, p.i) != wanted) {
        if (p.o >= kLargestNumber || p.i >= kLargestNumber)
            ++unreachable_;
        else if (!Exchange(matrixCrosspointPayload(wanted, static_cast<uint8_t>(p.i + 1),
                                                   static_cast<uint8_t>(p.o + 1)),
                           false))
            restoreFailed_ = true;
    }
    if (progress_)
        progress_->setValue(static_cast<int>(next + 1));
    QTimer::singleShot(0, this, [this, next] { RestoreStep(next + 1); });
}

void TMCombinerForm::FinishRestore() {
    if (progress_) {
        progress_->deleteLater();
        progress_ = nullptr;
    }
    if (!restore_.empty())
        Exchange(matrixListPayload(0), false);
    const auto left = points_.ChangedFromCopies();
    if (!left.empty()) {
        std::string text = std::to_string(left.size()) +
                           " crosspoint(s) could not be returned to the state the window opened "
                           "with:";
        for (size_t k = 0; k < left.size() && k < kNamedLimit; ++k)
            text += "\r" + PointText(left[k]);
        if (left.size() > kNamedLimit)
            text += "\r...";
        ShowMessage(this, text);
    }
    Binding().Cancel();
    reject();
}

}  // namespace objscope::audio
