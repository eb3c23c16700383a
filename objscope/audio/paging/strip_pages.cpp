#include "audio/paging/strip_pages.h"

#include <algorithm>

namespace objscope::audio {

int StripPageCount(int inputs, int perPage) {
    return inputs <= 0 ? 0 : (inputs - 1) / perPage + 1;
}

QString StripPageCaption(int first, int last) {
    return first == last ? QString::number(first)
                         : QString::number(first) + "-" + QString::number(last);
}

TStripPages::TStripPages(QTabWidget* tabs, int inputs, int perPage, BuildPage build)
    : tabs_(tabs), inputs_(inputs), perPage_(perPage), build_(std::move(build)) {
    const int pages = StripPageCount(inputs, perPage);
    built_.assign(static_cast<size_t>(pages), false);
    for (int k = 0; k < pages; ++k) {
        const int first = k * perPage + 1;
        const int last = std::min(first + perPage - 1, inputs);
        auto* page = new QWidget(tabs);
        page->setObjectName("tabInputs" + QString::number(k + 1));
        tabs->addTab(page, StripPageCaption(first, last));
    }
    shown_ = QObject::connect(tabs, &QTabWidget::currentChanged, tabs,
                              [this](int index) { EnsureBuilt(index); });
}

// The tabs outlive this object while the window is taken down.
TStripPages::~TStripPages() {
    QObject::disconnect(shown_);
}

void TStripPages::EnsureBuilt(int index) {
    if (index < 0 || index >= PageCount() || Built(index))
        return;
    built_[static_cast<size_t>(index)] = true;
    const int first = index * perPage_ + 1;
    build_(Page(index), first, std::min(first + perPage_ - 1, inputs_));
}

int ObjectNumberIn(const ObjectList& objects, const TVEKroot* object) {
    if (!object)
        return -1;
    const auto found = std::find(objects.begin(), objects.end(), object);
    return found == objects.end() ? -1 : static_cast<int>(found - objects.begin());
}

void BindStripControl(TTarnFormBase& form, QWidget* control, TTarnGuiComW& tarn, bool formShown) {
    if (control)
        tarn.owner.visible = [control] { return !control->isHidden(); };
    form.Bind(tarn);
    if (!formShown)
        return;
    TTarnFormBinding& binding = form.Binding();
    tarn.Notify(TBindingCode::kAttach, binding);
    tarn.Notify(form.Connected() ? TBindingCode::kConnect : TBindingCode::kDisconnect, binding);
}

}  // namespace objscope::audio
