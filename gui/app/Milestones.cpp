#include "gui/app/Milestones.h"

#include <QFile>
#include <chrono>
#include <memory>
#include <mutex>

namespace talvenix::gui {

namespace {

struct MilestoneFile {
    MilestoneFile() {
        const QString path = qEnvironmentVariable("TALVENIX_MILESTONES");
        if (path.isEmpty()) return;
        file = std::make_unique<QFile>(path);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) file.reset();
    }
    std::mutex mutex;
    std::unique_ptr<QFile> file;  // null when the variable is unset or the file cannot be opened
};

MilestoneFile& File() {
    static MilestoneFile instance;
    return instance;
}

}  // namespace

void Milestone(const char* name, const QString& detail) {
    MilestoneFile& f = File();
    if (!f.file) return;
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count();
    QByteArray line = QByteArray(name) + ' ' + QByteArray::number(static_cast<qint64>(ns));
    if (!detail.isEmpty()) line += ' ' + detail.toUtf8();
    line += '\n';
    std::lock_guard lock(f.mutex);
    f.file->write(line);
    f.file->flush();  // the reader polls the file while we run
}

}  // namespace talvenix::gui
