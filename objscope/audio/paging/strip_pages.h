// Editors with many input strips keep them on the tabs of a page control and
// build a page's strips the first time the page is shown, so a window with
// 72 inputs opens with one page of controls. Controls made after the window
// was shown are bound late: attached to the window and connected (or left
// offline) as the window's own controls were when it opened.
#pragma once

#include <QString>
#include <QTabWidget>
#include <functional>
#include <vector>

#include "windows/tarn_form_base.h"

namespace objscope::audio {

// The captions the strips' small polarity and mute buttons show.
inline QString PolarityGlyphText() {
    return QString(QChar(0x00D8));
}
inline QString MuteGlyphText() {
    return QStringLiteral("M");
}

// Pages for `inputs` inputs of `perPage` each (none for no inputs).
int StripPageCount(int inputs, int perPage);
// A tab's caption: "first-last", or the single number.
QString StripPageCaption(int first, int last);

class TStripPages {
  public:
    // Builds strips first..last (1-based input numbers) on a page.
    using BuildPage = std::function<void(QWidget* page, int first, int last)>;

    // Adds the tabs to `tabs`; builds nothing yet.
    TStripPages(QTabWidget* tabs, int inputs, int perPage, BuildPage build);
    ~TStripPages();
    TStripPages(const TStripPages&) = delete;
    TStripPages& operator=(const TStripPages&) = delete;

    // Builds page `index` unless it was built (what showing it does).
    void EnsureBuilt(int index);
    bool Built(int index) const { return built_.at(static_cast<size_t>(index)); }
    int PageCount() const { return static_cast<int>(built_.size()); }
    // The page and the strip position that input m (1-based) sits at.
    int PageOf(int m) const { return (m - 1) / perPage_; }
    int PositionOf(int m) const { return (m - 1) % perPage_; }
    QWidget* Page(int index) const { return tabs_->widget(index); }

  private:
    QTabWidget* tabs_;
    int inputs_;
    int perPage_;
    BuildPage build_;
    std::vector<bool> built_;
    QMetaObject::Connection shown_;
};

// The number an editor's object list gives `object` (0 is the edited
// object), or -1 when the list does not hold it.
int ObjectNumberIn(const ObjectList& objects, const TVEKroot* object);

// Binds a strip control's communication object to the form; once the form
// has been shown, also attaches it and connects it the way the form's own
// controls were (or leaves it offline). A strip control counts as visible
// while it is not hidden itself, also on a page that is not on top: it
// still sends what Cancel restores there. Without a control (a hidden edit
// standing in for a list) the binding keeps the visibility it was given.
void BindStripControl(TTarnFormBase& form, QWidget* control, TTarnGuiComW& tarn, bool formShown);

}  // namespace objscope::audio
