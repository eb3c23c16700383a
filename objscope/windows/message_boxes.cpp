#include "windows/message_boxes.h"

#include <QMessageBox>

#include "windows/application_title.h"

namespace objscope {
namespace {

MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}

BoxAnswer YesNoCancel(QMessageBox::StandardButton answer) {
    return answer == QMessageBox::Yes  ? BoxAnswer::Yes
           : answer == QMessageBox::No ? BoxAnswer::No
                                       : BoxAnswer::Cancel;
}

BoxAnswer Ask(QWidget* parent, BoxKind kind, const std::string& text) {
    if (Handler())
        return Handler()(kind, text);
    QString title = ApplicationTitle();
    switch (kind) {
        case BoxKind::Information:
            QMessageBox::information(parent, title, DisplayText(text));
            return BoxAnswer::Ok;
        case BoxKind::Error:
            QMessageBox::critical(parent, title, DisplayText(text));
            return BoxAnswer::Ok;
        case BoxKind::Confirmation: {
            auto answer = QMessageBox::question(
                parent, title, DisplayText(text),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
            return YesNoCancel(answer);
        }
        case BoxKind::WarningConfirmation: {
            auto answer = QMessageBox::warning(
                parent, title, DisplayText(text),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
            return YesNoCancel(answer);
        }
        case BoxKind::OkAbortConfirmation: {
            auto answer =
                QMessageBox::question(parent, title, DisplayText(text),
                                      QMessageBox::Ok | QMessageBox::Abort, QMessageBox::Ok);
            return answer == QMessageBox::Ok ? BoxAnswer::Ok : BoxAnswer::Abort;
        }
        case BoxKind::OkCancelHelpConfirmation: {
            QMessageBox box(QMessageBox::Question, title, DisplayText(text),
                            QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Help, parent);
            box.setDefaultButton(QMessageBox::Ok);
            // Help answers nothing: the question stays until OK or Cancel.
            while (true) {
                const int answer = box.exec();
                if (answer != QMessageBox::Help)
                    return answer == QMessageBox::Ok ? BoxAnswer::Ok : BoxAnswer::Cancel;
            }
        }
    }
    return BoxAnswer::Cancel;
}

}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

void ShowMessage(QWidget* parent, const std::string& text) {
    Ask(parent, BoxKind::Information, text);
}

void ShowError(QWidget* parent, const std::string& text) {
    Ask(parent, BoxKind::Error, text);
}

bool ConfirmYes(QWidget* parent, const std::string& text) {
    return Ask(parent, BoxKind::Confirmation, text) == BoxAnswer::Yes;
}

BoxAnswer AskWarning(QWidget* parent, const std::string& text) {
    return Ask(parent, BoxKind::WarningConfirmation, text);
}

BoxAnswer AskYesNoCancel(QWidget* parent, const std::string& text) {
    return Ask(parent, BoxKind::Confirmation, text);
}

bool ConfirmOk(QWidget* parent, const std::string& text, OkButtons buttons) {
    const BoxKind kind = buttons == OkButtons::OkAbort ? BoxKind::OkAbortConfirmation
                                                       : BoxKind::OkCancelHelpConfirmation;
    const BoxAnswer answer = Ask(parent, kind, text);
    return answer == BoxAnswer::Ok || answer == BoxAnswer::Yes;
}

QString DisplayText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace('\r', '\n');
    return shown;
}

}  // namespace objscope
