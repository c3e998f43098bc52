#include "platform/linux/text/code_pages.h"

#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace lumivo {
namespace {

constexpr const char* kAnsiCodePage = "GBK";

QStringView View(std::u16string_view text) {
  return {text.data(), static_cast<qsizetype>(text.size())};
}

std::string Bytes(const QByteArray& bytes) { return bytes.toStdString(); }

}  // namespace

std::string Utf16ToGbk(std::u16string_view text) {
  QStringEncoder toGbk(kAnsiCodePage, QStringConverter::Flag::Stateless);
  return Bytes(toGbk.encode(View(text)));
}

// Stateless, so that a lead byte at the end is dropped rather than kept for more input.
std::string GbkToUtf8(std::string_view gbk) {
  QStringDecoder fromGbk(kAnsiCodePage, QStringConverter::Flag::Stateless);
  const QString text =
      fromGbk.decode(QByteArrayView(gbk.data(), static_cast<qsizetype>(gbk.size())));
  return Bytes(text.toUtf8());
}

std::string Utf16ToUtf8(std::u16string_view text) { return Bytes(View(text).toUtf8()); }

}  // namespace lumivo
