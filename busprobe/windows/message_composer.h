// The message tester in the lower half of the main window: node address,
// object and message ID, the typed fields, sending through hubclient, the
// automatic reply, and the message files.
#pragma once

#include <QCheckBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "captured_message.h"
#include "filtered_edit.h"
#include "ip_edit.h"
#include "message_file.h"
#include "net_field_panel.h"
#include "prompter.h"
#include "traffic_handler.h"

namespace busprobe {

class MessageComposer : public QWidget {
    Q_OBJECT

  public:
    MessageComposer(Prompter& prompter, TrafficHandler& handler, QWidget* parent = nullptr);

    void setRegistration(int32_t registration) { registration_ = registration; }

    bool isModified() const;
    void markModified() { modified_ = true; }
    const QString& fileName() const { return fileName_; }

    ComposedMessage composed() const;
    const std::vector<TNetField*>& fields() const { return fields_; }
    TNetField* selectedField() const;

    // The automatic reply: called for every notification.
    void answerIfWanted(const CapturedMessage& m);

    QPushButton* sendButton() const { return send_; }

  public slots:
    void addField();
    void deleteField();
    void clearFields();
    // Returns true when the message went out.
    bool sendFields();
    void newMessage();
    void loadMessage();
    void saveMessage();
    void saveMessageAs();

  signals:
    void modifiedByKey();

  private:
    // One of the repeats after the first (the repeat timer's tick).
    void sendRepeat();
    struct ReplyTo {
        uint32_t address = 0;
        uint16_t messageNumber = 0;
    };
    // Sends the composed message, or the automatic reply to a request.
    bool send(const std::optional<ReplyTo>& reply);
    TNetField* insertField(size_t index);
    void selectField(TNetField* field);
    void layoutFields();
    void editFieldType(TNetField* field);
    bool confirmDiscard();
    bool checkIdsForSave();
    void writeFile(const QString& path);
    void readFile(const QString& path);
    void removeAllFields();
    void clearModified();

    Prompter& prompter_;
    TrafficHandler& handler_;
    int32_t registration_ = 0;
    TVEKIPEdit* nodeAddress_ = nullptr;
    FilteredEdit* objectId_ = nullptr;
    FilteredEdit* messageId_ = nullptr;
    QCheckBox* response_ = nullptr;
    QPushButton* send_ = nullptr;
    QSpinBox* repeat_ = nullptr;
    QSpinBox* interval_ = nullptr;
    QTimer* repeatTimer_ = nullptr;
    int remaining_ = 0;
    QScrollArea* scroll_ = nullptr;
    QWidget* fieldBox_ = nullptr;
    std::vector<TNetField*> fields_;
    QString fileName_;
    bool modified_ = false;
};

}  // namespace busprobe
