// The questions, warnings and file choices of the monitor's windows go
// through one object, so tests can answer them without modal boxes.
#pragma once

#include <QString>

class QWidget;

namespace busprobe {

class Prompter {
  public:
    virtual ~Prompter() = default;
    virtual bool askYesNo(QWidget* parent, const QString& text, const QString& caption);
    virtual void warn(QWidget* parent, const QString& text, const QString& caption);
    // Empty when cancelled. `filter` in the form "Name (*.EXT)|*.EXT|...".
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& defaultSuffix);
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& defaultSuffix);
};

}  // namespace busprobe
