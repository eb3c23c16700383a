// Ends the Qt event loop on SIGTERM, SIGINT and SIGHUP (logout, a service
// stop, Ctrl+C, a closed terminal), so the program leaves through the same
// path as Exit and every open log gets its closing block. The handler only
// writes a byte into a socket pair; the GUI thread reads it and quits.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace busprobe {

class QuitOnSignal : public QObject {
    Q_OBJECT

  public:
    explicit QuitOnSignal(QObject* parent = nullptr);
    ~QuitOnSignal() override;

    // The signal that arrived last (0 while none did).
    int lastSignal() const { return last_; }

  private:
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
    int last_ = 0;
};

}  // namespace busprobe
