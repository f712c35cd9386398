// SPDX-License-Identifier: MIT

#include "qt/application.h"

#include <QApplication>
#include <QDirIterator>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <QtDebug>

namespace vorlane {

void SetUpApplication(QApplication& app) {
    QApplication::setApplicationName(QStringLiteral("Vorlane"));
    auto* translator = new QTranslator(&app);
    const QString directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), directory)) {
        QApplication::installTranslator(translator);
    } else {
        qWarning("Qt's Chinese translation (qtbase_zh_CN) is missing from %s",
                 qPrintable(directory));
    }
}

QIcon ApplicationIcon() {
    QIcon icon;
    QDirIterator files(QStringLiteral(":/icons"), {QStringLiteral("*.png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) icon.addFile(files.next());
    return icon;
}

}  // namespace vorlane
