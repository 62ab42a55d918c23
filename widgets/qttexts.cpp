// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/qttexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tarnwel {

bool useChineseQtTexts(const QString& directory) {
    const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
    // Numbers and dates that Qt formats follow the program's language too.
    QLocale::setDefault(chinese);
    const QString from =
        directory.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : directory;
    // The application keeps it for its whole life.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"), from) &&
        QCoreApplication::installTranslator(translator))
        return true;
    delete translator;
    return false;
}

} // namespace tarnwel
