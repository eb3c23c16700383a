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

// Number of times `what` occurs in `text`.
inline size_t countOf(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

inline void writeFile(const std::string& path, const std::string& text) {
    QFile file(QString::fromStdString(path));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text.data(), static_cast<qint64>(text.size()));
}

}  // namespace busprobe::testing
