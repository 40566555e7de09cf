#include "gui/shell/LoginDlg.h"

#include "gui/shell/LoginPassword.h"
#include "gui/common/MessageBox.h"
#include "gui/shell/ProgramInfo.h"
#include "gui/shell/UIResources.h"
#include "gui/common/UICore.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {
constexpr int kWidth = 500;
constexpr int kHeight = 290;
constexpr int kBandHeight = 120;
// Where the password box sits in the picture.
const QRect kEditRect(150, 178, 200, 28);

void centre(QWidget* widget)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        widget->move(available.center() - QPoint(widget->width() / 2, widget->height() / 2));
    }
}
} // namespace

bool CLoginDlg::check(const QString& stored)
{
    if (stored.isEmpty()) {
        // The splash closes itself; Qt deletes it then.
        auto* splash = new CLoginDlg(stored);
        splash->setAttribute(Qt::WA_DeleteOnClose);
        splash->setProperty(CMessageBox::kSplashProperty, true);
        centre(splash);
        splash->show();
        splash->raise();
        QTimer::singleShot(kSplashMilliseconds, splash, &QWidget::close);
        return true;
    }
    CLoginDlg dialog(stored);
    centre(&dialog);
    return dialog.exec() == QDialog::Accepted;
}

CLoginDlg::CLoginDlg(const QString& stored, QWidget* parent) : QDialog(parent), m_stored(stored)
{
    setFixedSize(kWidth, kHeight);
    setFont(CUIResources::instance()->defaultFont());
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setFrame(false);
    m_ok = new QPushButton(QStringLiteral("登录"), this);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_password->hide();
    m_ok->hide();
    m_cancel->hide();

    m_editFrame = kEditRect;
    m_labelRect = kEditRect.translated(0, -(kEditRect.height() - 4));
    if (isSplash()) {
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        return;
    }

    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(CProgramInfo::baseTitle());
    m_password->setGeometry(kEditRect.adjusted(3, 4, -3, -2));
    m_ok->setGeometry(kEditRect.right() - 170 + 1, kEditRect.bottom() + 22, 80, 28);
    m_cancel->setGeometry(kEditRect.right() - 80 + 1, kEditRect.bottom() + 22, 80, 28);
    m_ok->setDefault(true);
    m_password->show();
    m_ok->show();
    m_cancel->show();
    m_password->setFocus();
    CUICore::instance()->SetAllChildWindowFont(this);
    connect(m_ok, &QPushButton::clicked, this, &CLoginDlg::onOk);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CLoginDlg::onOk()
{
    if (CLoginPassword::digest(m_password->text()) == m_stored) {
        accept();
        return;
    }
    CMessageBox::error(this, QStringLiteral("密码不正确"));
}

void CLoginDlg::paintEvent(QPaintEvent*)
{
    CUIResources* resources = CUIResources::instance();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    painter.fillRect(rect(), QColor(246, 249, 253));
    QLinearGradient band(0, 0, 0, kBandHeight);
    band.setColorAt(0, CUIResources::bandTop());
    band.setColorAt(1, CUIResources::bandBottom());
    painter.fillRect(QRect(0, 0, width(), kBandHeight), band);
    painter.setPen(QPen(QColor(255, 255, 255, 30), 16));
    painter.setBrush(Qt::NoBrush);
    painter.setClipRect(QRect(0, 0, width(), kBandHeight));
    for (int i = 0; i < 3; ++i)
        painter.drawEllipse(QPoint(width() - 60, 20), 50 + i * 40, 50 + i * 40);
    painter.setClipping(false);

    painter.drawPixmap(30, 28, resources->picture(QStringLiteral("logo"), QSize(64, 64)));
    QFont title = resources->yaheiFont();
    title.setPointSize(22);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(108, 28, width() - 120, 40), Qt::AlignLeft | Qt::AlignVCenter, CProgramInfo::name());
    painter.setFont(resources->defaultFont());
    painter.setPen(QColor(220, 232, 248));
    painter.drawText(QRect(110, 68, width() - 120, 24), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("版本 ") + CProgramInfo::version());
    painter.setPen(QColor(176, 196, 222));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    if (isSplash()) {
        painter.setPen(QColor(90, 110, 140));
        painter.drawText(QRect(0, kBandHeight + 40, width(), 40), Qt::AlignCenter,
                         QStringLiteral("正在启动，请稍候……"));
        return;
    }
    painter.setPen(QColor(128, 128, 128));
    painter.setBrush(Qt::white);
    painter.drawRect(m_editFrame.adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawText(m_labelRect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("请输入登录密码："));
}
