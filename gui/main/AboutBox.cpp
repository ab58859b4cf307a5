#include "gui/main/AboutBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/common/Texts.h"

namespace talvenix::gui {

QDialog* ShowAboutBox(QWidget* parent, const QString& versionText) {
    auto* about = new QDialog(parent);
    about->setObjectName(QStringLiteral("AboutBox"));
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowTitle(FileText("GUANYU_TITLE"));
    about->setStyleSheet(
        QStringLiteral("QDialog{background:#15171C;} QLabel{color:#E4E4E4;}"
                       "QPushButton{background:#1E2128; color:#E4E4E4; border:1px solid #343944;"
                       "border-radius:3px; padding:4px 18px;} QPushButton:hover{border-color:#00B4FF;}"));
    auto* layout = new QVBoxLayout(about);
    auto* intro = new QLabel(FileText("GUANYU_JIESHAO") + QStringLiteral("\n") + versionText, about);
    auto* rights = new QLabel(FileText("GUANYU_BANQUAN"), about);
    rights->setStyleSheet(QStringLiteral("color:#8C93A0;"));
    auto* ok = new QPushButton(FileText("GUANYU_OK"), about);
    QObject::connect(ok, &QPushButton::clicked, about, &QDialog::close);
    layout->addWidget(intro);
    layout->addWidget(rights);
    auto* row = new QHBoxLayout();
    row->addStretch();
    row->addWidget(ok);
    layout->addLayout(row);
    about->show();
    return about;
}

}  // namespace talvenix::gui
