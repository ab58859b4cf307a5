// A start-up resource of the skin (layout file, background, mask or state picture) that is
// missing or unreadable. The program reports the file by name and exits non-zero.
#pragma once

#include <QString>
#include <stdexcept>

namespace talvenix::gui {

class SkinError : public std::runtime_error {
public:
    explicit SkinError(const QString& file)
        : std::runtime_error(("missing or unreadable skin file: " + file).toStdString()), file_(file) {}
    const QString& File() const { return file_; }

private:
    QString file_;
};

}  // namespace talvenix::gui
