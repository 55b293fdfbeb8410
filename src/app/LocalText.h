#pragma once
// The core's texts and paths are bytes in the system's 8-bit encoding: the windows show them as
// Qt texts and give what is typed or chosen back the same way.

#include <QString>

#include <string>

namespace kestrune::app {

inline QString Local(const std::string& text) {
    return QString::fromLocal8Bit(text.c_str());
}
inline std::string Local8(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

}  // namespace kestrune::app
