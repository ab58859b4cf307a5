#include "gui/common/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

#include "core/text/LanguageTable.h"

namespace talvenix::gui {

namespace {

// One translator for the whole program, living as long as the application object.
std::unique_ptr<QTranslator>& Translator() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

}  // namespace

QString QtTranslationsFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

bool QtTranslationsInstalled() { return Translator() != nullptr; }

bool UseQtTranslations(int languageIndex) {
    auto& translator = Translator();
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
    if (languageIndex != text::kChinese) return true;
    auto chinese = std::make_unique<QTranslator>();
    // "qt_zh_CN" pulls in qtbase's texts (buttons, file dialogs) as well.
    if (!chinese->load(QStringLiteral("qt_zh_CN"), QtTranslationsFolder())) return false;
    QCoreApplication::installTranslator(chinese.get());
    translator = std::move(chinese);
    return true;
}

}  // namespace talvenix::gui
