#include "gui/shell/LoginPassword.h"

#include "base/util/TextCodec.h"

#include <QCryptographicHash>

QString CLoginPassword::digest(const QString& password)
{
    const std::string bytes = CTextCodec::ToGbk(password.toStdString());
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Md5);
    return QString::fromLatin1(hash.toHex());
}
