#include "script_codec.h"

#include <QStringDecoder>

namespace app {

QString ScriptCodec::toEditor(const std::string& script) {
  const QByteArrayView bytes(script.data(), qsizetype(script.size()));
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  utf8_ = !utf8.hasError();
  if (!utf8_) text = QString::fromLatin1(bytes);
  return text.replace("\r\n", "\n");
}

std::string ScriptCodec::fromEditor(const QString& text) const {
  QString crlf = text;
  crlf.replace('\n', "\r\n");
  return (utf8_ ? crlf.toUtf8() : crlf.toLatin1()).toStdString();
}

}  // namespace app
