// The modal message boxes of the windows. Texts are shown as written, with
// "\r" as a line break. Tests (and the console demo) install their own
// answerer so that no box waits for a person.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace objscope {

enum class BoxKind {
    Information,
    Error,
    Confirmation,
    OkAbortConfirmation,
    OkCancelHelpConfirmation,
    WarningConfirmation
};
enum class BoxAnswer { Ok, Yes, No, Cancel, Abort };

using MessageBoxHandler = std::function<BoxAnswer(BoxKind, const std::string& text)>;

// Replaces the handler (an empty one restores the real boxes); returns the
// previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

void ShowMessage(QWidget* parent, const std::string& text);
void ShowError(QWidget* parent, const std::string& text);
// Yes/No/Cancel; true only for Yes.
bool ConfirmYes(QWidget* parent, const std::string& text);
// A warning with Yes, No and Cancel: the button pressed (Cancel when the
// box was closed).
BoxAnswer AskWarning(QWidget* parent, const std::string& text);

// Yes/No/Cancel, with the answer.
BoxAnswer AskYesNoCancel(QWidget* parent, const std::string& text);
// A confirmation whose accepting button is OK: with Cancel and Help, or with
// Abort. True only for OK (a test handler's Yes counts as OK).
enum class OkButtons { OkCancelHelp, OkAbort };
bool ConfirmOk(QWidget* parent, const std::string& text, OkButtons buttons);

QString DisplayText(const std::string& text);

}  // namespace objscope
