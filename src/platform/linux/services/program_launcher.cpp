#include "platform/linux/services/program_launcher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

#include "platform/linux/services/command_lines.h"

namespace lumivo {
namespace {

// Installed, /usr/share/lumivo beside /usr/bin; in the build tree, beside the program.
QString InstructionsFile() {
  const QString programFolder = QCoreApplication::applicationDirPath();
  for (const QString& candidate : {programFolder + QStringLiteral("/../share/lumivo/lumivo.txt"),
                                   programFolder + QStringLiteral("/lumivo.txt")}) {
    if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).canonicalFilePath();
  }
  return {};
}

bool OpenInTextEditor(const QString& file) {
  return !file.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

struct Carrier {
  SystemRequests& requests;

  bool operator()(NoLinuxEquivalent) const { return false; }
  bool operator()(const BrowseDrive& browse) const {
    requests.BrowseDrive(browse.letter);
    return true;
  }
  bool operator()(const BringUpConnection& dial) const {
    requests.BringUpConnection(dial.name);
    return true;
  }
  bool operator()(OpenInstructions) const { return OpenInTextEditor(InstructionsFile()); }
};

}  // namespace

std::optional<std::uint32_t> RunCommandLine(std::u16string_view commandLine,
                                            SystemRequests& requests) {
  if (!std::visit(Carrier{requests}, TranslateCommandLine(commandLine))) return std::nullopt;
  return 0;
}

}  // namespace lumivo
