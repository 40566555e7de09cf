#pragma once

#include <QString>
#include <QStringList>

// Qt's own texts (the file and folder choosers, the standard buttons) in
// Simplified Chinese, whatever language the machine is set to: the program
// speaks Chinese only.
class CQtTranslation
{
public:
    static constexpr const char* kCatalogue = "qtbase_zh_CN";

    // Where the catalogue is looked for, first match wins: "translations"
    // beside the program (a bundled Windows program), the program's
    // installed data folder, then Qt's own translations folder.
    static QStringList folders(const QString& programDir);
    // Loads the catalogue and installs it on the application, once; makes
    // Simplified Chinese the default locale. The folder the catalogue came
    // from, empty when none was found (Qt's texts stay English then).
    static QString install();
};
