#include "gui/shell/QtTranslation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#ifndef QUILLON_DATA_FROM_BIN
#define QUILLON_DATA_FROM_BIN "../share/quillon"
#endif

QStringList CQtTranslation::folders(const QString& programDir)
{
    QStringList folders;
    if (!programDir.isEmpty()) {
        const QDir program(programDir);
        folders << QDir::cleanPath(program.absoluteFilePath(QStringLiteral("translations")))
                << QDir::cleanPath(program.absoluteFilePath(QStringLiteral(QUILLON_DATA_FROM_BIN)
                                                            + QStringLiteral("/translations")));
    }
    folders << QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    folders.removeDuplicates();
    return folders;
}

QString CQtTranslation::install()
{
    // Dates, numbers and the texts Qt takes from the locale, also where the
    // machine has no Chinese locale (LANG=C or none at all).
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return {};
    static QString loadedFrom;
    if (!loadedFrom.isEmpty())
        return loadedFrom;
    const QString catalogue = QString::fromLatin1(kCatalogue);
    for (const QString& folder : folders(QCoreApplication::applicationDirPath())) {
        if (!QFileInfo(folder + QLatin1Char('/') + catalogue + QStringLiteral(".qm")).isFile())
            continue;
        // Owned by the application, which outlives every window.
        auto* translator = new QTranslator(application);
        if (translator->load(catalogue, folder) && QCoreApplication::installTranslator(translator)) {
            loadedFrom = folder;
            return loadedFrom;
        }
        delete translator;
    }
    return {};
}
