// A fresh folder under the test's private temporary folder, removed at the
// end of the test, and small file helpers.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>

namespace busprobe::testing {

class TempFolder {
  public:
    std::string path(const std::string& name) const {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }

  private:
    QTemporaryDir dir_;
};

inline std::string readFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll().toStdString();
}

inline void writeFile(const std::string& path, const std::string& text) {
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text.data(), static_cast<qint64>(text.size()));
}

}  // namespace busprobe::testing
