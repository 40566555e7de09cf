// Qt's own texts in Chinese whatever the machine's language, and the
// program started without any locale.
#include "gui/shell/QtTranslation.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTranslator>

#include <gtest/gtest.h>

TEST(QtTranslation, CatalogueIsLookedForBesideTheProgramFirst)
{
    const QStringList folders = CQtTranslation::folders(QStringLiteral("/opt/quillon/bin"));
    ASSERT_GE(folders.size(), 3);
    EXPECT_EQ(folders[0], QStringLiteral("/opt/quillon/bin/translations"));
    EXPECT_EQ(folders[1], QStringLiteral("/opt/quillon/share/quillon/translations"));
    EXPECT_EQ(folders.last(), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

TEST(QtTranslation, StandardButtonsAndFileChooserSpeakChinese)
{
    const QLocale before;
    const QString folder = CQtTranslation::install();
    ASSERT_FALSE(folder.isEmpty()) << "qtbase_zh_CN.qm was not found";
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/qtbase_zh_CN.qm")));
    EXPECT_EQ(QLocale().language(), QLocale::Chinese);

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')).left(2),
              QStringLiteral("取消"));
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));

    // The other tests of this program see Qt as it was.
    for (QTranslator* translator : qApp->findChildren<QTranslator*>())
        if (QCoreApplication::removeTranslator(translator))
            delete translator;
    QLocale::setDefault(before);
}

#ifdef QUILLON_APP_PATH
// The program with no locale at all and with the plain C locale: it starts
// and writes its Chinese name as UTF-8.
TEST(QtTranslation, ProgramRunsWithoutLocale)
{
    for (const char* lang : {"", "C"}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANG", "LC_ALL", "LC_CTYPE", "LC_MESSAGES", "LANGUAGE"})
            environment.remove(QString::fromLatin1(name));
        if (*lang)
            environment.insert(QStringLiteral("LANG"), QString::fromLatin1(lang));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QUILLON_APP_PATH), {QStringLiteral("--help")});
        ASSERT_TRUE(program.waitForFinished(20000)) << lang;
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << lang;
        EXPECT_EQ(program.exitCode(), 0) << lang;
        const QString output = QString::fromUtf8(program.readAllStandardOutput());
        EXPECT_TRUE(output.contains(QStringLiteral("Lumo智能分班系统"))) << lang << ": " << output.toStdString();
    }
}
#endif
