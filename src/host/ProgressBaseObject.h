#pragma once

#include <tarvex/host/ToolProgress.h>

#include <string>

namespace Log {

/// Base of every reporting class: sends its texts to the sink that `getProgress` answers;
/// a null sink swallows them.
class ProgressBaseObject
{
public:
    virtual ~ProgressBaseObject();
    /// The sink this object reports to (may be null).
    virtual Tools::ToolProgress* getProgress() const = 0;

    /// A progress message: the current step of a long operation.
    void showMessage(const QString& text) const;
    /// An informational message.
    void showInformational(const QString& text) const;
    /// A warning; the operation goes on.
    void warning(const QString& text) const;
    /// An error that ends the current operation.
    void fatalError(const QString& text) const;

    void showMessage(const std::string& text) const { showMessage(QString::fromStdString(text)); }
    void showInformational(const std::string& text) const { showInformational(QString::fromStdString(text)); }
    void warning(const std::string& text) const { warning(QString::fromStdString(text)); }
    void fatalError(const std::string& text) const { fatalError(QString::fromStdString(text)); }
    void showMessage(const char* text) const { showMessage(QString::fromUtf8(text)); }
    void showInformational(const char* text) const { showInformational(QString::fromUtf8(text)); }
    void warning(const char* text) const { warning(QString::fromUtf8(text)); }
    void fatalError(const char* text) const { fatalError(QString::fromUtf8(text)); }

private:
    void post(Tools::ToolProgress::Kind kind, const QString& text) const;
};

} // namespace Log
