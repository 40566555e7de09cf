// Start-up: the login step, the password dialogs and the settings file.
#include "ShellTestSupport.h"

#include "gui/shell/ChangePasswordDlg.h"
#include "base/util/IniFile.h"
#include "gui/shell/LoginDlg.h"
#include "gui/shell/LoginPassword.h"
#include "gui/shell/MainDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

using namespace shelltest;

namespace {
bool splashVisible()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* login = qobject_cast<CLoginDlg*>(w);
        if (login && login->isSplash() && login->isVisible())
            return true;
    }
    return false;
}
} // namespace

TEST(ShellPassword, DigestIsLowerCaseMd5OfGbkBytes)
{
    EXPECT_EQ(CLoginPassword::digest(QString()), QStringLiteral("d41d8cd98f00b204e9800998ecf8427e"));
    EXPECT_EQ(CLoginPassword::digest(QStringLiteral("abc")), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    // Digests written by the Windows program hash the GBK bytes.
    EXPECT_EQ(CLoginPassword::digest(QStringLiteral("密码")), QStringLiteral("d2293e30f0c964c5f6242486aa8a483c"));
}

class ShellLogin : public ShellTest
{};

TEST_F(ShellLogin, NoPasswordShowsSplashThatClosesItself)
{
    EXPECT_TRUE(CLoginDlg::check(QString()));
    EXPECT_TRUE(splashVisible());
    EXPECT_TRUE(CMessageBox::shownMessages().empty());
    QTest::qWait(CLoginDlg::kSplashMilliseconds + 300);
    EXPECT_FALSE(splashVisible());
}

TEST_F(ShellLogin, SplashNeverHidesAMessage)
{
    // The most recent task is gone: its message comes while the splash,
    // which stays on top, would still be up.
    const std::string gone = str(path(QStringLiteral("gone/旧任务.qz")));
    CRecentTaskList(settings()).add(gone);
    ASSERT_TRUE(CLoginDlg::check(QString()));
    ASSERT_TRUE(splashVisible());
    manager();
    CMainDlg window;
    ASSERT_EQ(CMessageBox::shownTexts().size(), 1);
    EXPECT_FALSE(splashVisible()); // well before its 1.5 s
    QApplication::processEvents(); // the closed splash deletes itself
}

TEST_F(ShellLogin, RightPasswordOpens)
{
    const QString stored = CLoginPassword::digest(QStringLiteral("秘密123"));
    whenModal<CLoginDlg>([](CLoginDlg* dialog) {
        EXPECT_TRUE(dialog->passwordEdit()->isVisible());
        EXPECT_EQ(dialog->passwordEdit()->echoMode(), QLineEdit::Password);
        dialog->passwordEdit()->setText(QStringLiteral("秘密123"));
        dialog->okButton()->click();
    });
    EXPECT_TRUE(CLoginDlg::check(stored));
    EXPECT_TRUE(CMessageBox::shownMessages().empty());
}

TEST_F(ShellLogin, WrongPasswordKeepsAskingAndCancelEnds)
{
    const QString stored = CLoginPassword::digest(QStringLiteral("right"));
    whenModal<CLoginDlg>([](CLoginDlg* dialog) {
        dialog->passwordEdit()->setText(QStringLiteral("wrong"));
        dialog->okButton()->click();
        ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
        EXPECT_EQ(CMessageBox::shownMessages()[0].text, QStringLiteral("密码不正确"));
        EXPECT_EQ(CMessageBox::shownMessages()[0].icon, CMessageBox::Icon::Error);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->passwordEdit()->text(), QStringLiteral("wrong"));
        dialog->cancelButton()->click();
    });
    EXPECT_FALSE(CLoginDlg::check(stored));
}

TEST_F(ShellLogin, UpperCaseDigestRefusedAtLoginButAcceptedWhenChanging)
{
    const QString upper = CLoginPassword::digest(QStringLiteral("pw")).toUpper();
    whenModal<CLoginDlg>([](CLoginDlg* dialog) {
        dialog->passwordEdit()->setText(QStringLiteral("pw"));
        dialog->okButton()->click();
        dialog->cancelButton()->click();
    });
    EXPECT_FALSE(CLoginDlg::check(upper));
    EXPECT_EQ(CMessageBox::shownTexts(), QStringList{QStringLiteral("密码不正确")});

    CMessageBox::clearTestState();
    CIniFile::WriteString(settings(), "SYSTEM", "Auth", str(upper));
    CChangePasswordDlg dialog(settings());
    dialog.oldPasswordEdit()->setText(QStringLiteral("pw"));
    dialog.newPasswordEdit()->setText(QStringLiteral("new"));
    dialog.repeatPasswordEdit()->setText(QStringLiteral("new"));
    dialog.onOk();
    EXPECT_EQ(CMessageBox::shownTexts(), QStringList{QStringLiteral("修改密码成功")});
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(ShellLogin, ChangePasswordChecks)
{
    auto attempt = [this](const QString& oldPw, const QString& newPw, const QString& repeat) {
        CMessageBox::clearTestState();
        CChangePasswordDlg dialog(settings());
        dialog.oldPasswordEdit()->setText(oldPw);
        dialog.newPasswordEdit()->setText(newPw);
        dialog.repeatPasswordEdit()->setText(repeat);
        dialog.onOk();
        EXPECT_EQ(CMessageBox::shownMessages().size(), 1u);
        return CMessageBox::shownMessages().empty() ? QString() : CMessageBox::shownMessages()[0].text;
    };
    auto stored = [this] { return QString::fromStdString(CIniFile::ReadString(settings(), "SYSTEM", "Auth", "")); };

    // No password yet: an empty old password and no new one is refused.
    EXPECT_EQ(attempt({}, {}, {}), QStringLiteral("请输入新密码"));
    EXPECT_EQ(attempt(QStringLiteral("x"), QStringLiteral("a"), QStringLiteral("a")), QStringLiteral("原密码不正确"));
    EXPECT_EQ(CMessageBox::shownMessages()[0].caption, QStringLiteral("Lumo智能分班系统"));
    EXPECT_EQ(attempt({}, QStringLiteral("abc"), QStringLiteral("abd")),
              QStringLiteral("两次输入的新密码不一致，请检查后重新输入"));
    EXPECT_TRUE(stored().isEmpty());

    // Repetition compared without case; the new box's text is what counts.
    EXPECT_EQ(attempt({}, QStringLiteral("Secret"), QStringLiteral("sECRET")), QStringLiteral("修改密码成功"));
    EXPECT_EQ(stored(), CLoginPassword::digest(QStringLiteral("Secret")));

    // With a password: the old one must match, then an empty new one removes it.
    EXPECT_EQ(attempt({}, {}, {}), QStringLiteral("原密码不正确"));
    EXPECT_EQ(attempt(QStringLiteral("secret"), {}, {}), QStringLiteral("原密码不正确"));
    EXPECT_EQ(attempt(QStringLiteral("Secret"), {}, {}), QStringLiteral("修改密码成功"));
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(ShellLogin, SettingsDefaultsWithoutFile)
{
    CTaskManager* m = manager();
    EXPECT_EQ(m->settingsPath(), settings());
    EXPECT_EQ(m->lastPage(), 1);
    EXPECT_EQ(m->school().name, "演示学校");
    EXPECT_TRUE(m->recentTasks().isEmpty());
    EXPECT_TRUE(m->exportSettings().showSchoolName);
    EXPECT_FALSE(m->exportSettings().subjectNameOnly);
    EXPECT_FALSE(m->exportSettings().showHeadTeacherName);
    EXPECT_FALSE(m->exportSettings().folder.empty());
    EXPECT_TRUE(m->printSettings().normalPrint);
    EXPECT_TRUE(m->printSettings().showSchoolName);
    EXPECT_FALSE(m->printSettings().showDateInfo);
    EXPECT_EQ(m->schoolTableType(), 0);
    EXPECT_EQ(m->tableFont().faceName, "微软雅黑");
    EXPECT_EQ(m->tableFont().height, -16);
    EXPECT_EQ(m->tableFont().weight, 400);
    // Reading writes nothing.
    EXPECT_FALSE(QFile::exists(m_settings));
}

TEST_F(ShellLogin, SettingsAreReadAndWrittenBack)
{
    const std::string ini = settings();
    CIniFile::WriteString(ini, "Common", "SchoolName", "第一中学");
    CIniFile::WriteString(ini, "Common", "LastPage", "3x");
    CIniFile::WriteString(ini, "Export", "Folder", str(path(QStringLiteral("missing"))));
    CIniFile::WriteString(ini, "Export", "ShowSchoolName", "0");
    CIniFile::WriteString(ini, "Print", "ShowDateInfo", "2");
    CIniFile::WriteString(ini, "TableFont", "Name", "一二三四五六七八九十一二三四五六七八九十");
    CIniFile::WriteString(ini, "SchoolTable", "Type", "2");
    CTaskManager* m = manager();
    EXPECT_EQ(m->school().name, "第一中学");
    EXPECT_EQ(m->lastPage(), 3);
    EXPECT_NE(m->exportSettings().folder, str(path(QStringLiteral("missing"))));
    EXPECT_FALSE(m->exportSettings().showSchoolName);
    EXPECT_TRUE(m->printSettings().showDateInfo);
    EXPECT_EQ(m->schoolTableType(), 2);
    // At most 31 bytes of the GBK name: 15 characters.
    EXPECT_EQ(QString::fromStdString(m->tableFont().faceName).size(), 15);

    m->printSettings().normalPrint = false;
    m->tableFont().weight = 700;
    m->setSchoolTableShowFullName(true);
    m->writePrintSettings();
    m->writeTableFont();
    m->writeSchoolTableSettings();
    m->writeLastPage(4);
    EXPECT_EQ(CIniFile::ReadString(ini, "Print", "NormalPrint", ""), "0");
    EXPECT_EQ(CIniFile::ReadString(ini, "Print", "ShowDateInfo", ""), "1");
    EXPECT_EQ(CIniFile::ReadString(ini, "TableFont", "Weight", ""), "700");
    EXPECT_EQ(CIniFile::ReadString(ini, "SchoolTable", "ShowFullName", ""), "1");
    EXPECT_EQ(CIniFile::ReadString(ini, "Common", "LastPage", ""), "4");

    CIniFile::WriteString(ini, "Common", "LastPage", "abc");
    CTaskManager::release();
    EXPECT_EQ(manager()->lastPage(), 0);
}
